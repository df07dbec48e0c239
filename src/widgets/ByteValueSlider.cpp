#include "widgets/ByteValueSlider.h"

ByteValueSlider::ByteValueSlider(Qt::Orientation orientation, QWidget* parent) : QSlider(orientation, parent)
{
    setRange(0, 127);
    setTracking(true);
    connect(this, &QSlider::valueChanged, this, [this](int value) { emit byteValueChangedTo(BYTE(value)); });
}

void ByteValueSlider::setByteValue(BYTE newVal)
{
    setValue(newVal);
}
