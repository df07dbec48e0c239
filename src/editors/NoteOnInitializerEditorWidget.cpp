#include "editors/NoteOnInitializerEditorWidget.h"

#include "model/edits/ModelEdits.h"
#include "model/initializers/MIDIPatchInitializer.h"
#include "model/routing/MIDIPatchTarget.h"
#include "widgets/NoteNameCombo.h"
#include "widgets/ValueEntryLineEdit.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>

NoteOnInitializerEditorWidget::NoteOnInitializerEditorWidget(MIDIPatchInitializer* initializer,
                                                             QWidget* parent)
    : InitializerValueEditorWidget(initializer, parent)
{
    _noteOff.reserve(3);
    _sendLabel = new QLabel(QStringLiteral("Send Note"), this);
    _noteCombo = new NoteNameCombo(this);
    _noteCombo->setToolTip(QStringLiteral("Note"));
    _velocityLabel = new QLabel(QStringLiteral("With Velocity"), this);
    _layout->addWidget(_sendLabel);
    _layout->addWidget(_noteCombo);
    _layout->addWidget(_velocityLabel);
    _addValueControls();
    if (!_initializer)
        return;
    {
        const QSignalBlocker blocker(_noteCombo);
        _noteCombo->setCurrentIndex(_initializer->getByte1());
    }
    connect(_noteCombo, &QComboBox::activated, this, &NoteOnInitializerEditorWidget::_noteActivatedSLOT);
    connect(_field, &QLineEdit::editingFinished, this,
            &NoteOnInitializerEditorWidget::_velocityEditingFinishedSLOT);
}

NoteOnInitializerEditorWidget::~NoteOnInitializerEditorWidget()
{
    _endSoundingNote();
}

void NoteOnInitializerEditorWidget::_endSoundingNote()
{
    if (_soundingNote < 0)
        return;
    setNoteOffMessage(&_noteOff, BYTE(_soundingNote), 127);
    _soundingNote = -1;
    // The patch sends what its initializers ask to be heard, on its own port and channel; the
    // initializer may have been taken out of it meanwhile (removed, kept for undo).
    if (_soundingPatch)
        _soundingPatch->deliverInitializerMessage(&_noteOff);
    _soundingPatch.clear();
}

void NoteOnInitializerEditorWidget::_noteSounded()
{
    if (_initializer && _initializer->getByte2() > 0) {
        _soundingNote = _initializer->getByte1();
        _soundingPatch = _initializer->getParentMIDIPatchTarget();
    }
}

void NoteOnInitializerEditorWidget::_noteActivatedSLOT(int note)
{
    if (!_initializer || note < 0 || note > 127)
        return;
    _endSoundingNote();
    ModelEdits::set(static_cast<MIDIPatchInitializer*>(_initializer), &MIDIPatchInitializer::setByte1,
                    BYTE(note), QStringLiteral("Parameter"), SettingsEditCommand::kByte1);
    _noteSounded();
}

void NoteOnInitializerEditorWidget::_commitByte2(BYTE value)
{
    if (!_initializer)
        return;
    _endSoundingNote();
    ModelEdits::set(static_cast<MIDIPatchInitializer*>(_initializer), &MIDIPatchInitializer::setByte2, value,
                    QStringLiteral("Parameter"), SettingsEditCommand::kByte2);
    _noteSounded();
}

void NoteOnInitializerEditorWidget::_velocityEditingFinishedSLOT()
{
    _valueFieldEditingFinished();
}
