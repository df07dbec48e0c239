#pragma once

#include "midi/MIDITypes.h"
#include "widgets/MIDIControlSlider.h"

/// A slider for one controller (the modulation slider is controller 1): 0 to 127, reports the
/// user's moves, follows incoming values of its own controller. No spring. GUI thread only.
class MIDICCSlider : public MIDIControlSlider
{
    Q_OBJECT

public:
    MIDICCSlider(BYTE ccNum, QWidget* parent);

public slots:
    BYTE getCCNum() const { return _ccNum; }
    void setCCNum(BYTE ccNum);
    void setCurrentValue(BYTE value);
    BYTE getCurrentValue() const { return BYTE(value()); }
    /// Ignored unless the controller is this slider's.
    void setValueFromControlMessage(int ccNum, int value);

signals:
    void ccNumChangedTo(BYTE ccNum);
    void userChangedValueTo(BYTE newVal);
    void userChangedValueTo(BYTE ccNum, BYTE newVal);

private slots:
    void _userMovedSliderToSLOT(int value);

private:
    BYTE _ccNum;
};
