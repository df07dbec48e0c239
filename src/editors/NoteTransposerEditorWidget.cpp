#include "editors/NoteTransposerEditorWidget.h"

#include "editors/ValueFieldSupport.h"
#include "model/edits/ModelEdits.h"
#include "model/transforms/MIDIDataTransform.h"
#include "widgets/ValueEntryLineEdit.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>

NoteTransposerEditorWidget::NoteTransposerEditorWidget(MIDIDataTransform* transform, QWidget* parent)
    : QWidget(parent), _transform(transform)
{
    _buildUI();
    _setWidgetValuesFromData();
    _makeConnections();
    _octavesField->setFocus();
    _octavesField->selectAll();
}

void NoteTransposerEditorWidget::_buildUI()
{
    _layout = new QHBoxLayout(this);
    _layout->setContentsMargins(0, 0, 0, 0);
    auto makeField = [this](int limit) {
        auto* field = new ValueEntryLineEdit(this);
        field->setIntMinMax(-limit, limit);
        field->setWidthForNumDigits(3);
        return field;
    };
    _transposeLabel = new QLabel(QStringLiteral("Transpose Notes By"), this);
    _octavesField = makeField(kMaxOctaves);
    _octavesField->setToolTip(QStringLiteral("Octaves"));
    _octavesLabel = new QLabel(QStringLiteral("Octave(s) and"), this);
    _semitonesField = makeField(kMaxSemitones);
    _semitonesField->setToolTip(QStringLiteral("Semitones"));
    _semitonesLabel = new QLabel(QStringLiteral("Semitone(s)"), this);
    _layout->addStretch();
    _layout->addWidget(_transposeLabel);
    _layout->addWidget(_octavesField);
    _layout->addWidget(_octavesLabel);
    _layout->addWidget(_semitonesField);
    _layout->addWidget(_semitonesLabel);
    _layout->addStretch();
}

void NoteTransposerEditorWidget::_makeConnections()
{
    connect(_octavesField, &QLineEdit::editingFinished, this,
            &NoteTransposerEditorWidget::_octavesTransposeEditingFinishedSLOT);
    connect(_semitonesField, &QLineEdit::editingFinished, this,
            &NoteTransposerEditorWidget::_semitonesTransposeEditingFinishedSLOT);
    restoreFieldOnFocusOutWhenUnacceptable(_octavesField, [this] { _showOctaves(); });
    restoreFieldOnFocusOutWhenUnacceptable(_semitonesField, [this] { _showSemitones(); });
}

void NoteTransposerEditorWidget::_setWidgetValuesFromData()
{
    _showOctaves();
    _showSemitones();
}

void NoteTransposerEditorWidget::_showOctaves()
{
    if (_transform)
        showValueInField(_octavesField, _transform->getInt2(), -kMaxOctaves, kMaxOctaves);
}

void NoteTransposerEditorWidget::_showSemitones()
{
    if (_transform)
        showValueInField(_semitonesField, _transform->getInt1(), -kMaxSemitones, kMaxSemitones);
}

void NoteTransposerEditorWidget::_refuse(ValueEntryLineEdit* field, const QString& text)
{
    QPointer<NoteTransposerEditorWidget> self(this);
    QMessageBox::critical(this, QStringLiteral("Value Error"), text, QMessageBox::Ok);
    if (!self)
        return;
    if (field == _octavesField)
        _showOctaves();
    else
        _showSemitones();
    field->selectAll();
}

void NoteTransposerEditorWidget::_octavesTransposeEditingFinishedSLOT()
{
    if (!_transform)
        return;
    if (_octavesField->isModified() && fieldTextIsUnreadable(_octavesField)) {
        _refuse(_octavesField,
                QStringLiteral("Invalid octave transpose amount.  Please enter an integer value."));
        return;
    }
    if (const auto octaves = committedFieldValue(_octavesField, -kMaxOctaves, kMaxOctaves))
        ModelEdits::set(static_cast<MIDIDataTransform*>(_transform), &MIDIDataTransform::setInt2, *octaves,
                        QStringLiteral("Parameter"), SettingsEditCommand::kInt2);
    _showOctaves();
}

void NoteTransposerEditorWidget::_semitonesTransposeEditingFinishedSLOT()
{
    if (!_transform)
        return;
    if (_semitonesField->isModified() && fieldTextIsUnreadable(_semitonesField)) {
        _refuse(_semitonesField,
                QStringLiteral("Invalid semitone transpose amount.  Please enter an integer value."));
        return;
    }
    if (const auto semitones = committedFieldValue(_semitonesField, -kMaxSemitones, kMaxSemitones))
        ModelEdits::set(static_cast<MIDIDataTransform*>(_transform), &MIDIDataTransform::setInt1, *semitones,
                        QStringLiteral("Parameter"), SettingsEditCommand::kInt1);
    _showSemitones();
}
