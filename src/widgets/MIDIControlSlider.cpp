#include "widgets/MIDIControlSlider.h"

MIDIControlSlider::MIDIControlSlider(int minimum, int maximum, QWidget* parent)
    : QSlider(Qt::Vertical, parent)
{
    setTracking(true);
    setRange(minimum, maximum);
    connect(this, &QSlider::sliderMoved, this, &MIDIControlSlider::_sliderMovedSLOT);
    connect(this, &QSlider::actionTriggered, this, &MIDIControlSlider::_actionTriggeredSLOT);
}

void MIDIControlSlider::showValueFromModel(int value)
{
    if (isSliderDown())
        return;
    _settingFromModel = true;
    setValue(value);
    _settingFromModel = false;
}

void MIDIControlSlider::_sliderMovedSLOT(int value)
{
    if (!_settingFromModel)
        emit userMovedSliderTo(value);
}

void MIDIControlSlider::_actionTriggeredSLOT(int action)
{
    // Drags arrive through sliderMoved. Every other action is a key, a wheel turn or a click in
    // the groove: the slider is about to take the new position, so send it.
    if (isSliderDown() || action == QAbstractSlider::SliderNoAction)
        return;
    emit userMovedSliderTo(sliderPosition());
    _userSteppedSlider();
}
