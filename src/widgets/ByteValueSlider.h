#pragma once

#include "midi/MIDITypes.h"

#include <QSlider>

/// Stand-in until the value widgets are merged: a 0 to 127 slider.
class ByteValueSlider : public QSlider
{
    Q_OBJECT

public:
    ByteValueSlider(Qt::Orientation orientation, QWidget* parent = nullptr);

public slots:
    void setByteValue(BYTE newVal) { setValue(newVal); }

signals:
    void byteValueChangedTo(BYTE newVal);
};
