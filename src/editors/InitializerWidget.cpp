#include "editors/InitializerWidget.h"

#include "editors/InitializerEditorDialog.h"
#include "editors/ModifierKeys.h"
#include "model/edits/ModelEdits.h"
#include "model/initializers/InitializerRegistry.h"
#include "model/initializers/InitializerRegistryEntry.h"
#include "model/initializers/MIDIPatchInitializer.h"
#include "model/routing/MIDIPatchTarget.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTimer>
#include <memory>

InitializerWidget::InitializerWidget(MIDIPatchInitializer* initializer, QWidget* parent)
    : ObjectIndicatorWidget(parent), _initializer(initializer)
{
    setWhatsThis(QStringLiteral("<b>Initializer indicator.</b>  Click to edit the initializer."));
    if (_initializer == nullptr)
        return;
    if (const InitializerRegistryEntry* entry =
            InitializerRegistry::GetInstance()->getRegistryEntryNamed(_initializer->getName()))
        setIcon(QIcon(entry->getIconPath()));
    setToolTip(_initializer->getDescriptionString());
    connect(this, &QPushButton::clicked, this, &InitializerWidget::_clickedSLOT);
}

MIDIPatchInitializer* InitializerWidget::getMIDIPatchInitializer() const
{
    return _initializer.data();
}

void InitializerWidget::enterEvent(QEnterEvent* event)
{
    if (_initializer)
        setToolTip(_initializer->getDescriptionString());
    ObjectIndicatorWidget::enterEvent(event);
}

void InitializerWidget::_clickedSLOT()
{
    if (_initializer)
        editMIDIPatchInitializer(_initializer, this);
}

void InitializerWidget::contextMenuEvent(QContextMenuEvent* event)
{
    event->accept();
    if (!_initializer || _initializer->getParentMIDIPatchTarget() == nullptr)
        return;
    QPointer<InitializerWidget> self(this);
    // No parent: the panel holding this may be deleted while the menu is open (an input switched
    // from a port), and the menu must outlive it until exec returns; its entries then do nothing.
    auto menuOwner = std::make_unique<QMenu>();
    QMenu& menu = *menuOwner;
    QAction* remove = menu.addAction(QIcon(QStringLiteral(":/icons/remove_16x16.png")),
                                     QStringLiteral("Remove ") + _initializer->getDescriptionString());
    connect(remove, &QAction::triggered, this, &InitializerWidget::_removeTriggeredSLOT);
    menu.exec(event->globalPos());
}

void InitializerWidget::_removeTriggeredSLOT()
{
    _removeModifiers = significantModifiers(QApplication::keyboardModifiers());
    // The removal deletes this button: run it after the menu has fully closed.
    if (_removeModifiers == Qt::ShiftModifier)
        QTimer::singleShot(0, this, &InitializerWidget::_removeAllMPIsSLOT);
    else if (_removeModifiers == Qt::AltModifier)
        QTimer::singleShot(0, this, &InitializerWidget::_removeMPIsFromHereOnSLOT);
    else
        QTimer::singleShot(0, this, &InitializerWidget::_removeThisMPISLOT);
}

void InitializerWidget::removeWithModifiers(Qt::KeyboardModifiers modifiers)
{
    modifiers = significantModifiers(modifiers);
    if (modifiers == Qt::ShiftModifier)
        _removeAllMPIsSLOT();
    else if (modifiers == Qt::AltModifier)
        _removeMPIsFromHereOnSLOT();
    else
        _removeThisMPISLOT();
}

void InitializerWidget::_removeThisMPISLOT()
{
    if (!_initializer)
        return;
    if (_initializer->getParentMIDIPatchTarget())
        ModelEdits::remove(_initializer.data(), false);
}

void InitializerWidget::_removeAllMPIsSLOT()
{
    if (!_initializer)
        return;
    if (MIDIPatchTarget* patch = _initializer->getParentMIDIPatchTarget())
        ModelEdits::removeAll<MIDIPatchInitializer>(patch);
}

void InitializerWidget::_removeMPIsFromHereOnSLOT()
{
    if (!_initializer)
        return;
    if (_initializer->getParentMIDIPatchTarget())
        ModelEdits::remove(_initializer.data(), true);
}
