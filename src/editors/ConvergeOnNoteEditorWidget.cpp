#include "editors/ConvergeOnNoteEditorWidget.h"

#include "model/edits/ModelEdits.h"
#include "model/transforms/MIDIDataTransform.h"
#include "widgets/NoteNameCombo.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>

ConvergeOnNoteEditorWidget::ConvergeOnNoteEditorWidget(MIDIDataTransform* transform, QWidget* parent)
    : QWidget(parent), _transform(transform)
{
    _layout = new QHBoxLayout(this);
    _layout->setContentsMargins(0, 0, 0, 0);
    _label = new QLabel(QStringLiteral("Converge All Notes On"), this);
    _noteCombo = new NoteNameCombo(this);
    _noteCombo->setToolTip(QStringLiteral("Target Note"));
    _layout->addStretch();
    _layout->addWidget(_label);
    _layout->addWidget(_noteCombo);
    _layout->addStretch();
    if (_transform) {
        const QSignalBlocker blocker(_noteCombo);
        _noteCombo->setCurrentIndex(_transform->getByte1());
    }
    connect(_noteCombo, &QComboBox::activated, this, &ConvergeOnNoteEditorWidget::_noteActivatedSLOT);
}

void ConvergeOnNoteEditorWidget::_noteActivatedSLOT(int note)
{
    if (_transform && note >= 0)
        ModelEdits::set(static_cast<MIDIDataTransform*>(_transform), &MIDIDataTransform::setByte1, BYTE(note),
                        QStringLiteral("Parameter"), SettingsEditCommand::kByte1);
}
