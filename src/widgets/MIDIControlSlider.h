#pragma once

#include <QSlider>

/// A vertical slider for a MIDI control value that reports every move the user makes: drags as
/// they happen, and keys, the mouse wheel and clicks in the groove as single steps, so the value
/// shown is always one that was sent. Values set from incoming messages are shown, not reported,
/// and are not taken while the user holds the handle. GUI thread only.
class MIDIControlSlider : public QSlider
{
    Q_OBJECT

public:
    MIDIControlSlider(int minimum, int maximum, QWidget* parent);

    /// Shows a value from the model without reporting it; ignored while the user holds the handle.
    void showValueFromModel(int value);

signals:
    void userMovedSliderTo(int newValue);

protected:
    /// Called after a move made by keys, the wheel or a click in the groove was reported.
    virtual void _userSteppedSlider() {}

private slots:
    void _sliderMovedSLOT(int value);
    void _actionTriggeredSLOT(int action);

private:
    bool _settingFromModel = false;
};
