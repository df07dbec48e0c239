// The initializer editors of one or two choices: Note Off, Program Change, Volume and CC.

#include "editors/CCInitializerEditorWidget.h"

#include "editors/ControllerCombo.h"
#include "editors/NoteOffInitializerEditorWidget.h"
#include "editors/ProgChgInitializerEditorWidget.h"
#include "editors/VolumeInitializerEditorWidget.h"
#include "model/edits/ModelEdits.h"
#include "model/initializers/MIDIPatchInitializer.h"
#include "widgets/NoWheelComboBox.h"
#include "widgets/NoteNameCombo.h"
#include "widgets/ValueEntryLineEdit.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>

NoteOffInitializerEditorWidget::NoteOffInitializerEditorWidget(MIDIPatchInitializer* initializer,
                                                               QWidget* parent)
    : QWidget(parent), _initializer(initializer)
{
    _layout = new QHBoxLayout(this);
    _label = new QLabel(QStringLiteral("Turn Off Note"), this);
    _noteCombo = new NoteNameCombo(this);
    _noteCombo->setToolTip(QStringLiteral("Note"));
    _layout->addWidget(_label);
    _layout->addWidget(_noteCombo);
    if (!_initializer)
        return;
    {
        const QSignalBlocker blocker(_noteCombo);
        _noteCombo->setCurrentIndex(_initializer->getByte1());
    }
    connect(_noteCombo, &QComboBox::activated, this, &NoteOffInitializerEditorWidget::_noteActivatedSLOT);
}

void NoteOffInitializerEditorWidget::_noteActivatedSLOT(int note)
{
    if (_initializer && note >= 0 && note <= 127)
        ModelEdits::set(static_cast<MIDIPatchInitializer*>(_initializer), &MIDIPatchInitializer::setByte1,
                        BYTE(note), QStringLiteral("Parameter"), SettingsEditCommand::kByte1);
}

ProgChgInitializerEditorWidget::ProgChgInitializerEditorWidget(MIDIPatchInitializer* initializer,
                                                               QWidget* parent)
    : QWidget(parent), _initializer(initializer)
{
    _layout = new QHBoxLayout(this);
    _label = new QLabel(QStringLiteral("Send PC#"), this);
    _programCombo = new NoWheelComboBox(this);
    for (int program = 0; program < 128; ++program)
        _programCombo->addItem(QString::number(program + 1));
    _programCombo->setMaxVisibleItems(20);
    _programCombo->setToolTip(QStringLiteral("Program Number"));
    _layout->addWidget(_label);
    _layout->addWidget(_programCombo);
    if (!_initializer)
        return;
    {
        const QSignalBlocker blocker(_programCombo);
        _programCombo->setCurrentIndex(_initializer->getByte1());
    }
    connect(_programCombo, &QComboBox::activated, this, &ProgChgInitializerEditorWidget::_pcActivatedSLOT);
}

void ProgChgInitializerEditorWidget::_pcActivatedSLOT(int index)
{
    if (_initializer && index >= 0 && index <= 127)
        ModelEdits::set(static_cast<MIDIPatchInitializer*>(_initializer), &MIDIPatchInitializer::setByte1,
                        BYTE(index), QStringLiteral("Parameter"), SettingsEditCommand::kByte1);
}

VolumeInitializerEditorWidget::VolumeInitializerEditorWidget(MIDIPatchInitializer* initializer,
                                                             QWidget* parent)
    : InitializerValueEditorWidget(initializer, parent)
{
    _label = new QLabel(QStringLiteral("Send Volume"), this);
    _layout->addWidget(_label);
    _addValueControls();
    if (!_initializer)
        return;
    connect(_field, &QLineEdit::editingFinished, this,
            &VolumeInitializerEditorWidget::_volumeEditingFinishedSLOT);
}

CCInitializerEditorWidget::CCInitializerEditorWidget(MIDIPatchInitializer* initializer, QWidget* parent)
    : InitializerValueEditorWidget(initializer, parent)
{
    _sendLabel = new QLabel(QStringLiteral("Send"), this);
    _ccCombo = createControllerCombo(this);
    _valueLabel = new QLabel(QStringLiteral("With Value"), this);
    _layout->addWidget(_sendLabel);
    _layout->addWidget(_ccCombo);
    _layout->addWidget(_valueLabel);
    _addValueControls();
    if (!_initializer)
        return;
    showControllerInCombo(_ccCombo, _initializer->getByte1());
    connect(_ccCombo, &QComboBox::activated, this, &CCInitializerEditorWidget::_ccActivatedSLOT);
    connect(_field, &QLineEdit::editingFinished, this, &CCInitializerEditorWidget::_valueEditingFinishedSLOT);
}

void CCInitializerEditorWidget::_ccActivatedSLOT(int ccNum)
{
    if (_initializer && ccNum >= 0)
        ModelEdits::set(static_cast<MIDIPatchInitializer*>(_initializer), &MIDIPatchInitializer::setByte1,
                        BYTE(ccNum), QStringLiteral("Parameter"), SettingsEditCommand::kByte1);
}
