#include "editors/VelocityFilterEditorWidget.h"

#include "editors/ValueFieldSupport.h"
#include "model/edits/ModelEdits.h"
#include "model/transforms/MIDIDataTransform.h"
#include "widgets/NoWheelComboBox.h"
#include "widgets/ValueEntryLineEdit.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>

VelocityFilterEditorWidget::VelocityFilterEditorWidget(MIDIDataTransform* transform, QWidget* parent)
    : QWidget(parent), _transform(transform)
{
    _layout = new QHBoxLayout(this);
    _label = new QLabel(QStringLiteral("Ignore Notes With Velocities"), this);
    _directionCombo = new NoWheelComboBox(this);
    _directionCombo->addItems({QStringLiteral("Below"), QStringLiteral("Above")});
    _velocityField = new ValueEntryLineEdit(this);
    _velocityField->setIntMinMax(0, 127);
    _velocityField->setWidthForNumDigits(3);
    _velocityField->setToolTip(QStringLiteral("Velocity Threshold"));
    _directionCombo->setToolTip(QStringLiteral("Ignore Below Or Above"));
    _layout->addWidget(_label);
    _layout->addWidget(_directionCombo);
    _layout->addWidget(_velocityField);
    if (_transform == nullptr)
        return;
    _byte1ChangedToSLOT(_transform->getByte1());
    _byte2ChangedToSLOT(_transform->getByte2());
    connect(_directionCombo, &QComboBox::activated, this,
            &VelocityFilterEditorWidget::_aboveOrBelowActivatedSLOT);
    connect(_velocityField, &QLineEdit::editingFinished, this,
            &VelocityFilterEditorWidget::_velEditingFinishedSLOT);
    connect(_transform, &MIDIDataTransform::byte1ValueChangedTo, this,
            &VelocityFilterEditorWidget::_byte1ChangedToSLOT);
    connect(_transform, &MIDIDataTransform::byte2ValueChangedTo, this,
            &VelocityFilterEditorWidget::_byte2ChangedToSLOT);
    restoreFieldOnFocusOutWhenUnacceptable(_velocityField, [this] {
        if (_transform)
            _byte1ChangedToSLOT(_transform->getByte1());
    });
}

void VelocityFilterEditorWidget::_aboveOrBelowActivatedSLOT(int index)
{
    if (_transform && index >= 0)
        ModelEdits::set(static_cast<MIDIDataTransform*>(_transform), &MIDIDataTransform::setByte2,
                        BYTE(index), QStringLiteral("Parameter"), SettingsEditCommand::kByte2);
}

void VelocityFilterEditorWidget::_velEditingFinishedSLOT()
{
    if (!_transform)
        return;
    if (const auto velocity = committedFieldValue(_velocityField, 0, 127))
        ModelEdits::set(static_cast<MIDIDataTransform*>(_transform), &MIDIDataTransform::setByte1,
                        BYTE(*velocity), QStringLiteral("Parameter"), SettingsEditCommand::kByte1);
    _byte1ChangedToSLOT(_transform->getByte1());
}

void VelocityFilterEditorWidget::_byte1ChangedToSLOT(BYTE value)
{
    showValueInField(_velocityField, value, 0, 127);
}

void VelocityFilterEditorWidget::_byte2ChangedToSLOT(BYTE value)
{
    const QSignalBlocker blocker(_directionCombo);
    _directionCombo->setCurrentIndex(value < _directionCombo->count() ? int(value) : -1);
}
