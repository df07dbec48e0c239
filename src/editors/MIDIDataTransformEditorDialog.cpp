#include "editors/MIDIDataTransformEditorDialog.h"

#include "editors/EditorFonts.h"
#include "model/edits/ModelEdits.h"
#include "model/transforms/MIDIDataTransform.h"
#include "model/transforms/TransformRegistry.h"
#include "model/transforms/TransformRegistryEntry.h"
#include "widgets/ActivityIndicator.h"
#include "widgets/DropShadowLabel.h"
#include "widgets/LookAndFeel.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

MIDIDataTransformEditorDialog::MIDIDataTransformEditorDialog(MIDIDataTransform* transform, QWidget* parent)
    : QDialog(parent, Qt::Tool), _transform(transform)
{
    _buildUI();
    _makeConnections();
    if (_transform)
        _mdtBypassedChangedToSLOT(_transform->isBypassed());
}

void MIDIDataTransformEditorDialog::_buildUI()
{
    const TransformRegistryEntry* entry =
        _transform
            ? TransformRegistry::GetInstance()->getRegistryEntryForTransformNamed(_transform->getName())
            : nullptr;
    const QString iconPath = entry ? entry->getIconPath() : QString();

    _layout = new QVBoxLayout(this);
    _headerLayout = new QHBoxLayout();
    _activityIndicator = new ActivityIndicator(this);
    _activityIndicator->setFixedSize(12, 12);
    _activityIndicator->setToolTip(QStringLiteral("Transform Activity Indicator"));
    _activityIndicator->setWhatsThis(QStringLiteral(
        "<b>Transform activity indicator.</b>  Blinks when this transform operates on any MIDI data."));
    _iconLabel = new QLabel(this);
    const QPixmap icon(iconPath);
    if (!icon.isNull()) {
        _iconLabel->setPixmap(icon);
        _iconLabel->setFixedSize(icon.size());
    }
    _nameLabel = new DropShadowLabel(this);
    _nameLabel->setTextFormat(Qt::PlainText);
    _nameLabel->setFont(boldTitleFont());
    _nameLabel->setText(_transform ? _transform->getName() : QString());
    _nameLabel->setToolTip(QStringLiteral("Transform Name"));
    _nameLabel->setWhatsThis(
        QStringLiteral("<b>Transform name label.</b>  Gives the name/type of this transform."));
    _bypassButton = new QPushButton(QStringLiteral("Bypass"), this);
    _bypassButton->setDefault(false);
    _bypassButton->setAutoDefault(false);
    _bypassButton->setFocusPolicy(Qt::NoFocus);
    _bypassButton->setToolTip(QStringLiteral("Bypass Toggle"));
    _bypassButton->setWhatsThis(
        QStringLiteral("<b>Bypass toggle button.</b>  Click to toggle the bypass state of this transform."));
    _headerLayout->addWidget(_activityIndicator, 0, Qt::AlignVCenter);
    _headerLayout->addWidget(_iconLabel, 0, Qt::AlignVCenter);
    _headerLayout->addWidget(_nameLabel, 1, Qt::AlignVCenter);
    _headerLayout->addSpacing(10);
    _headerLayout->addStretch();
    _headerLayout->addWidget(_bypassButton, 0, Qt::AlignVCenter);
    _layout->addLayout(_headerLayout);
    _layout->addSpacing(10);

    _editorWidget = _transform ? createEditorForTransform(_transform, this) : nullptr;
    if (_editorWidget != nullptr) {
        setWindowTitle(QStringLiteral("Edit ") + _transform->getName());
    } else {
        setWindowTitle(QStringLiteral("Edit (unknown transform type)"));
        _editorWidget = new QLabel(QStringLiteral("(unknown transform type)"), this);
    }
    _layout->addWidget(_editorWidget);
    _layout->addSpacing(7);

    _buttonBox = new QDialogButtonBox(QDialogButtonBox::Close, this);
    _buttonBox->setCenterButtons(true);
    QPushButton* close = getCloseButton();
    close->setToolTip(QStringLiteral("Close"));
    close->setWhatsThis(QStringLiteral("<b>Close button.</b>  Click to close this transform editor.  "
                                       "<b>Shift+click</b> to close all open transform editors."));
    _layout->addWidget(_buttonBox);
    if (!icon.isNull())
        setWindowIcon(QIcon(iconPath));
}

void MIDIDataTransformEditorDialog::_makeConnections()
{
    connect(_buttonBox, &QDialogButtonBox::rejected, this, &MIDIDataTransformEditorDialog::reject);
    if (!_transform)
        return;
    connect(_bypassButton, &QPushButton::clicked, _transform.data(), [this] {
        ModelEdits::act(_transform.data(), &MIDIDataTransform::toggleBypass, QStringLiteral("Toggle Bypass"));
    });
    connect(_transform, &MIDIDataTransform::bypassChangedTo, this,
            &MIDIDataTransformEditorDialog::_mdtBypassedChangedToSLOT);
    // handledAMessage is emitted on the MIDI thread: the lamp blinks through a queued call.
    connect(_transform, &MIDIDataTransform::handledAMessage, _activityIndicator, &ActivityIndicator::blink,
            Qt::QueuedConnection);
    connect(_transform, &BaseMIDIObject::nameChangedTo, _nameLabel, &QLabel::setText);
}

MIDIDataTransform* MIDIDataTransformEditorDialog::getMIDIDataTransform() const
{
    return _transform.data();
}

QPushButton* MIDIDataTransformEditorDialog::getCloseButton() const
{
    return _buttonBox->button(QDialogButtonBox::Close);
}

void MIDIDataTransformEditorDialog::forgetTransform()
{
    _transform = nullptr;
}

void MIDIDataTransformEditorDialog::_storePosition()
{
    if (_transform && isVisible())
        _transform->setEditorPosition(pos());
}

void MIDIDataTransformEditorDialog::moveEvent(QMoveEvent* event)
{
    QDialog::moveEvent(event);
    _storePosition();
}

void MIDIDataTransformEditorDialog::reject()
{
    // Closing runs once: a close that arrives while this one is being handled (the manager
    // closing every editor because Shift is held) must not start over.
    if (_closing)
        return;
    _closing = true;
    _storePosition();
    MIDIDataTransform* transform = _transform;
    if (QApplication::keyboardModifiers() == Qt::ShiftModifier)
        emit closeAllRequested();
    emit dialogClosed(transform);
    QDialog::reject();
}

void MIDIDataTransformEditorDialog::_mdtBypassedChangedToSLOT(bool bypassed)
{
    _bypassButton->setPalette(bypassed ? getMuteButtonMutedPalette() : palette());
    _bypassButton->setBackgroundRole(QPalette::Button);
}
