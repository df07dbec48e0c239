#include "editors/InitializerValueEditorWidget.h"

#include "editors/ValueFieldSupport.h"
#include "model/edits/ModelEdits.h"
#include "model/initializers/MIDIPatchInitializer.h"
#include "widgets/ByteValueSlider.h"
#include "widgets/ValueEntryLineEdit.h"

#include <QHBoxLayout>
#include <QSignalBlocker>

InitializerValueEditorWidget::InitializerValueEditorWidget(MIDIPatchInitializer* initializer, QWidget* parent)
    : QWidget(parent), _initializer(initializer)
{
    _layout = new QHBoxLayout(this);
}

MIDIPatchInitializer* InitializerValueEditorWidget::getMIDIPatchInitializer() const
{
    return _initializer.data();
}

void InitializerValueEditorWidget::_addValueControls()
{
    _slider = new ByteValueSlider(Qt::Horizontal, this);
    _slider->setFixedWidth(125);
    _field = new ValueEntryLineEdit(this);
    _field->setIntMinMax(0, 127);
    _field->setWidthForNumDigits(3);
    _slider->setToolTip(QStringLiteral("Value"));
    _field->setToolTip(QStringLiteral("Value"));
    _layout->addWidget(_slider);
    _layout->addWidget(_field);
    if (!_initializer)
        return;
    _byte2ChangedToSLOT(_initializer->getByte2());
    connect(_slider, &ByteValueSlider::byteValueChangedTo, this, [this](BYTE value) { _commitByte2(value); });
    connect(_initializer, &MIDIPatchInitializer::byte2ValueChangedTo, this,
            &InitializerValueEditorWidget::_byte2ChangedToSLOT);
    restoreFieldOnFocusOutWhenUnacceptable(_field, [this] {
        if (_initializer)
            _byte2ChangedToSLOT(_initializer->getByte2());
    });
}

void InitializerValueEditorWidget::_commitByte2(BYTE value)
{
    if (_initializer)
        ModelEdits::set(static_cast<MIDIPatchInitializer*>(_initializer), &MIDIPatchInitializer::setByte2,
                        value, QStringLiteral("Parameter"), SettingsEditCommand::kByte2);
}

void InitializerValueEditorWidget::_valueFieldEditingFinished()
{
    if (!_initializer)
        return;
    if (const auto value = committedFieldValue(_field, 0, 127))
        _commitByte2(BYTE(*value));
    if (_initializer)
        _byte2ChangedToSLOT(_initializer->getByte2());
}

void InitializerValueEditorWidget::_byte2ChangedToSLOT(BYTE value)
{
    {
        const QSignalBlocker blocker(_slider);
        _slider->setValue(value);
    }
    showValueInField(_field, value, 0, 127);
}
