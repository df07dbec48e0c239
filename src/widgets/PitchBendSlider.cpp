#include "widgets/PitchBendSlider.h"

#include <QSignalBlocker>

PitchBendSlider::PitchBendSlider(QWidget* parent) : MIDIControlSlider(0, 16383, parent)
{
    setValue(kPitchBendCentre);
    setPageStep(1024);
    setSingleStep(128);
    _returnTimer.setInterval(20);
    connect(this, &MIDIControlSlider::userMovedSliderTo, this, &PitchBendSlider::_userMovedSliderToSLOT);
    connect(this, &QSlider::sliderPressed, &_returnTimer, &QTimer::stop);
    connect(this, &QSlider::sliderReleased, this, &PitchBendSlider::_startReturnSLOT);
    connect(&_returnTimer, &QTimer::timeout, this, &PitchBendSlider::_returnTickSLOT);
}

void PitchBendSlider::setCurrentValue(pitchBendValue_t value)
{
    showValueFromModel(value);
}

void PitchBendSlider::setValueFromPitchBendMessage(int value)
{
    showValueFromModel(value);
}

void PitchBendSlider::_send(pitchBendValue_t value)
{
    _lastSent = value;
    emit userChangedValueTo(value);
}

void PitchBendSlider::_userMovedSliderToSLOT(int value)
{
    _send(pitchBendValue_t(value));
}

void PitchBendSlider::_userSteppedSlider()
{
    _startReturnSLOT();
}

void PitchBendSlider::_startReturnSLOT()
{
    if (_lastSent == kPitchBendCentre) {
        _returnTimer.stop();
        return;
    }
    _step = _lastSent <= kPitchBendCentre ? 1000 : -1000;
    _returnTimer.start();
}

void PitchBendSlider::_returnTickSLOT()
{
    // Steps from the value last sent, not from the handle: the handle follows the echo of the
    // model, which may come later than the next tick (or not at all when no input listens).
    const int v = _lastSent;
    if (v == kPitchBendCentre) {
        _returnTimer.stop();
        _send(kPitchBendCentre);
        return;
    }
    const int next = v + _step;
    if ((_step > 0 && next >= kPitchBendCentre) || (_step < 0 && next <= kPitchBendCentre)) {
        _returnTimer.stop();
        _send(kPitchBendCentre);
        return;
    }
    _send(pitchBendValue_t(next));
}

void PitchBendSlider::hideEvent(QHideEvent* event)
{
    _returnTimer.stop();
    if (isSliderDown()) {
        // The release will never come: let go of the handle without starting the return.
        const QSignalBlocker blocker(this);
        setSliderDown(false);
    }
    if (_lastSent != kPitchBendCentre)
        _send(kPitchBendCentre);
    MIDIControlSlider::hideEvent(event);
}
