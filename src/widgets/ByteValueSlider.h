#pragma once

#include "midi/MIDITypes.h"

#include <QSlider>

/// A slider for a MIDI data byte, 0 to 127, that reports every change of its value, by the user
/// (also while dragging) or by setByteValue. GUI thread only.
class ByteValueSlider : public QSlider
{
    Q_OBJECT

public:
    ByteValueSlider(Qt::Orientation orientation, QWidget* parent);

    BYTE getByteValue() const { return BYTE(value()); }

public slots:
    void setByteValue(BYTE newVal);

signals:
    void byteValueChangedTo(BYTE newVal);
};
