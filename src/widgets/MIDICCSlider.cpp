#include "widgets/MIDICCSlider.h"

MIDICCSlider::MIDICCSlider(BYTE ccNum, QWidget* parent) : MIDIControlSlider(0, 127, parent), _ccNum(ccNum)
{
    connect(this, &MIDIControlSlider::userMovedSliderTo, this, &MIDICCSlider::_userMovedSliderToSLOT);
}

void MIDICCSlider::setCCNum(BYTE ccNum)
{
    if (ccNum == _ccNum)
        return;
    _ccNum = ccNum;
    emit ccNumChangedTo(_ccNum);
}

void MIDICCSlider::setCurrentValue(BYTE value)
{
    showValueFromModel(value);
}

void MIDICCSlider::setValueFromControlMessage(int ccNum, int value)
{
    if (ccNum == _ccNum)
        showValueFromModel(value);
}

void MIDICCSlider::_userMovedSliderToSLOT(int value)
{
    emit userChangedValueTo(BYTE(value));
    emit userChangedValueTo(_ccNum, BYTE(value));
}
