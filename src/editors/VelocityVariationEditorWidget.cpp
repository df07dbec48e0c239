#include "editors/VelocityVariationEditorWidget.h"

#include "editors/ValueFieldSupport.h"
#include "model/edits/ModelEdits.h"
#include "model/transforms/VelocityVariation.h"
#include "widgets/NoWheelComboBox.h"
#include "widgets/ValueEntryLineEdit.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>

VelocityVariationEditorWidget::VelocityVariationEditorWidget(MIDIDataTransform* transform, QWidget* parent)
    : QWidget(parent), _transform(transform)
{
    _layout = new QHBoxLayout(this);
    _label = new QLabel(QStringLiteral("Vary Note Velocities By"), this);
    _amountField = new ValueEntryLineEdit(this);
    _amountField->setIntMinMax(0, 127);
    _amountField->setWidthForNumDigits(3);
    _amountField->setToolTip(QStringLiteral("Variation Amount"));
    _typeCombo = new NoWheelComboBox(this);
    _typeCombo->addItems({QStringLiteral("Above"), QStringLiteral("Below"), QStringLiteral("Above & Below")});
    _typeCombo->setToolTip(QStringLiteral("Variation Direction"));
    _tailLabel = new QLabel(QStringLiteral("The Initial Velocities"), this);
    _layout->addWidget(_label);
    _layout->addWidget(_amountField);
    _layout->addWidget(_typeCombo);
    _layout->addWidget(_tailLabel);
    if (_transform == nullptr)
        return;
    _byte1ChangedToSLOT(_transform->getByte1());
    _byte2ChangedToSLOT(_transform->getByte2());
    connect(_amountField, &QLineEdit::editingFinished, this,
            &VelocityVariationEditorWidget::_variationEditingFinishedSLOT);
    connect(_typeCombo, &QComboBox::activated, this,
            &VelocityVariationEditorWidget::_variationTypeActivatedSLOT);
    connect(_transform, &MIDIDataTransform::byte1ValueChangedTo, this,
            &VelocityVariationEditorWidget::_byte1ChangedToSLOT);
    connect(_transform, &MIDIDataTransform::byte2ValueChangedTo, this,
            &VelocityVariationEditorWidget::_byte2ChangedToSLOT);
    restoreFieldOnFocusOutWhenUnacceptable(_amountField, [this] {
        if (_transform)
            _byte1ChangedToSLOT(_transform->getByte1());
    });
}

void VelocityVariationEditorWidget::_variationEditingFinishedSLOT()
{
    if (!_transform)
        return;
    if (const auto amount = committedFieldValue(_amountField, 0, 127)) {
        if (auto* variation = qobject_cast<VelocityVariation*>(_transform.data()))
            variation->setVariationAmount(BYTE(*amount));
        else
            ModelEdits::set(static_cast<MIDIDataTransform*>(_transform), &MIDIDataTransform::setByte1,
                            BYTE(*amount), QStringLiteral("Parameter"), SettingsEditCommand::kByte1);
    }
    _byte1ChangedToSLOT(_transform->getByte1());
}

void VelocityVariationEditorWidget::_variationTypeActivatedSLOT(int index)
{
    if (!_transform || index < 0)
        return;
    if (auto* variation = qobject_cast<VelocityVariation*>(_transform.data()))
        variation->setVariationType(static_cast<VelocityVariation::VariationType>(index));
    else
        ModelEdits::set(static_cast<MIDIDataTransform*>(_transform), &MIDIDataTransform::setByte2,
                        BYTE(index), QStringLiteral("Parameter"), SettingsEditCommand::kByte2);
}

void VelocityVariationEditorWidget::_byte1ChangedToSLOT(BYTE value)
{
    showValueInField(_amountField, value, 0, 127);
}

void VelocityVariationEditorWidget::_byte2ChangedToSLOT(BYTE value)
{
    const QSignalBlocker blocker(_typeCombo);
    _typeCombo->setCurrentIndex(value < _typeCombo->count() ? int(value) : -1);
}
