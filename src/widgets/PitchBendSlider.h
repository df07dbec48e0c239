#pragma once

#include "model/MIDIMessage.h"
#include "widgets/MIDIControlSlider.h"

#include <QTimer>

/// The pitch bend wheel: 0 to 16383 around the centre 8192. Let go, it returns to the centre in
/// steps of 1000 every 20 ms, sending each step, whether it was dragged or moved by keys, the
/// wheel or a click. Hidden while bent (the window closes under the hand), it sends the centre at
/// once. GUI thread only.
class PitchBendSlider : public MIDIControlSlider
{
    Q_OBJECT

public:
    explicit PitchBendSlider(QWidget* parent);

    /// The last value this wheel sent (8192 when at rest).
    pitchBendValue_t getLastSentValue() const { return _lastSent; }
    bool isReturning() const { return _returnTimer.isActive(); }

public slots:
    void setCurrentValue(pitchBendValue_t value);
    pitchBendValue_t getCurrentValue() const { return pitchBendValue_t(value()); }
    void setValueFromPitchBendMessage(int value);

signals:
    void userChangedValueTo(pitchBendValue_t newVal);

protected:
    void _userSteppedSlider() override;
    void hideEvent(QHideEvent* event) override;

private slots:
    void _userMovedSliderToSLOT(int value);
    void _startReturnSLOT();
    void _returnTickSLOT();

private:
    void _send(pitchBendValue_t value);

    QTimer _returnTimer;
    int _step = 0;
    pitchBendValue_t _lastSent = kPitchBendCentre;
};
