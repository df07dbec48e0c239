#include "editors/TransformWidget.h"

#include "editors/ModifierKeys.h"
#include "editors/TransformDialogManager.h"
#include "model/edits/ModelEdits.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/transforms/MIDIDataTransform.h"
#include "model/transforms/TransformRegistry.h"
#include "model/transforms/TransformRegistryEntry.h"
#include "widgets/LookAndFeel.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QTimer>
#include <memory>

TransformWidget::TransformWidget(MIDIDataTransform* transform, QWidget* parent)
    : ObjectIndicatorWidget(parent), _transform(transform)
{
    setWhatsThis(
        QStringLiteral("<b>Transform indicator.</b>  Click to edit the transform.  <b>Shift+click</b> "
                       "to edit all transforms.  <b>Ctrl+click</b> to toggle the transform's bypass "
                       "state."));
    if (_transform == nullptr)
        return;
    if (const TransformRegistryEntry* entry =
            TransformRegistry::GetInstance()->getRegistryEntryForTransformNamed(_transform->getName()))
        setIcon(QIcon(entry->getIconPath()));
    setToolTip(_transform->getDescriptionString());
    _bypassChangedToSLOT(_transform->isBypassed());
    connect(this, &QPushButton::clicked, this, &TransformWidget::_clickedSLOT);
    connect(_transform, &MIDIDataTransform::bypassChangedTo, this, &TransformWidget::_bypassChangedToSLOT);
}

MIDIDataTransform* TransformWidget::getMIDIDataTransform() const
{
    return _transform.data();
}

void TransformWidget::enterEvent(QEnterEvent* event)
{
    if (_transform)
        setToolTip(_transform->getDescriptionString());
    ObjectIndicatorWidget::enterEvent(event);
}

void TransformWidget::_bypassChangedToSLOT(bool bypassed)
{
    if (bypassed)
        setPalette(getMuteButtonMutedPalette());
    else
        setPalette(parentWidget() ? parentWidget()->palette() : QApplication::palette());
    if (_transform)
        setToolTip(_transform->getDescriptionString());
}

void TransformWidget::mouseReleaseEvent(QMouseEvent* event)
{
    // The keys held as the button comes up decide what the click does.
    _clickModifiers = event->modifiers();
    QPointer<TransformWidget> self(this);
    ObjectIndicatorWidget::mouseReleaseEvent(event);
    if (self)
        _clickModifiers.reset();
}

void TransformWidget::_clickedSLOT()
{
    actOnClickWithModifiers(_clickModifiers.value_or(QApplication::keyboardModifiers()));
}

void TransformWidget::actOnClickWithModifiers(Qt::KeyboardModifiers modifiers)
{
    if (!_transform)
        return;
    auto* patch = qobject_cast<MIDIPatchTarget*>(_transform->parent());
    modifiers = significantModifiers(modifiers);
    if (modifiers == Qt::ControlModifier) {
        ModelEdits::act(_transform.data(), &MIDIDataTransform::toggleBypass, QStringLiteral("Toggle Bypass"));
    } else if (modifiers == (Qt::ControlModifier | Qt::ShiftModifier) && patch) {
        const bool bypass = !_transform->isBypassed();
        ModelEdits::changeSettings(QStringLiteral("Bypass All Transforms of ") +
                                       ModelEdits::describeObject(patch),
                                   patch, [patch = QPointer<MIDIPatchTarget>(patch), bypass] {
                                       if (patch)
                                           patch->setBypassStateForTransforms(bypass, nullptr);
                                   });
    } else if (modifiers == (Qt::ControlModifier | Qt::AltModifier) && patch) {
        const bool bypass = !_transform->isBypassed();
        ModelEdits::changeSettings(
            QStringLiteral("Bypass Transforms from ") + ModelEdits::describeObject(_transform), patch,
            [patch = QPointer<MIDIPatchTarget>(patch), from = _transform, bypass] {
                if (patch && from)
                    patch->setBypassStateForTransforms(bypass, from);
            });
    } else if (modifiers == Qt::ShiftModifier && patch) {
        editAllMIDIDataTransforms(patch);
    } else if (modifiers == Qt::AltModifier && patch) {
        editMIDIThisAndRemainingDataTransforms(patch, _transform);
    } else {
        editMIDIDataTransform(_transform);
    }
}

void TransformWidget::removeWithModifiers(Qt::KeyboardModifiers modifiers)
{
    if (!_transform)
        return;
    auto* patch = qobject_cast<MIDIPatchTarget*>(_transform->parent());
    if (patch == nullptr || !patch->hasMIDIDataTransform(_transform))
        return;
    modifiers = significantModifiers(modifiers);
    if (modifiers == Qt::ShiftModifier)
        ModelEdits::removeAll<MIDIDataTransform>(patch);
    else
        ModelEdits::remove(_transform.data(), modifiers == Qt::AltModifier);
}

void TransformWidget::contextMenuEvent(QContextMenuEvent* event)
{
    event->accept();
    if (!_transform || qobject_cast<MIDIPatchTarget*>(_transform->parent()) == nullptr)
        return;
    // No parent: the panel holding this may be deleted while the menu is open (an input switched
    // from a port), and the menu must outlive it until exec returns; its entries then do nothing.
    auto menuOwner = std::make_unique<QMenu>();
    QMenu& menu = *menuOwner;
    QAction* remove = menu.addAction(QIcon(QStringLiteral(":/icons/remove_16x16.png")),
                                     QStringLiteral("Remove ") + _transform->getDescriptionString());
    connect(remove, &QAction::triggered, this, [this] {
        const Qt::KeyboardModifiers modifiers = QApplication::keyboardModifiers();
        // The removal deletes this button: run it after the menu has fully closed.
        QTimer::singleShot(0, this, [this, modifiers] { removeWithModifiers(modifiers); });
    });
    menu.exec(event->globalPos());
}
