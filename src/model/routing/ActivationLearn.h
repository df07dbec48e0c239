#pragma once

#include "model/MIDIMessage.h"
#include "model/ModelSignalPump.h"

#include <QElapsedTimer>
#include <QList>
#include <QMetaObject>
#include <QObject>
#include <QPointer>

#include <atomic>
#include <cstdint>
#include <memory>

class MIDIOutput;
class MIDIRoute;
class RoutingMutex;

/// MIDI learn of one output's activation value: while it listens, the next switching message of
/// its input's activation method (a note on, a program change or the activation controller) is
/// consumed instead of switching or being heard, and its value becomes the output's main value.
/// With range activation every such message is consumed until the input has been still for a
/// moment, and the first and last values of that sweep become the range. The values are set as one
/// undo step. Escape (cancel()) or the time-out cancels; a change of the input's port, channel or
/// activation method or specificity, the removal of the output or the input, and the closing of the
/// setup cut it short, and nothing changes.
///
/// Owned by its input (one learn per input). Threads: consume() runs on the routing path, under the
/// input's routing lock, and only writes fixed-size atomic state; everything else is GUI thread
/// only. The routing path's result reaches the GUI thread on the signal pump's tick (poll()), which
/// keeps running while a learn listens.
class ActivationLearn : public QObject
{
    Q_OBJECT

public:
    /// A learn that hears nothing for this long is cancelled; a sweep still moving then is taken.
    static constexpr int kTimeoutMs = 10000;
    /// A controller's sweep ends when the controller has been still for this long.
    static constexpr int kStillMs = 400;
    /// Keys and programs for a range (the lowest, then the highest) end after this long without
    /// another one: time enough to find the second key.
    static constexpr int kKeysStillMs = 1500;

    ActivationLearn(MIDIRoute* route, RoutingMutex& routingMutex);
    ~ActivationLearn() override;

    /// Starts listening for the output's activation value; a learn of another output of the input
    /// is cancelled first. False when the output is not one of the input's. GUI thread only.
    bool start(MIDIOutput* output);
    /// Stops listening and changes nothing (Escape). GUI thread only.
    void cancel();
    /// Stops listening, changes nothing and says why ("the input's port changed"). GUI thread only.
    void cutShort(const QString& reason);

    /// True from start() until the learn is done or cancelled. GUI thread only.
    bool isLearning() const { return !_output.isNull(); }
    /// The output being learnt, or null. GUI thread only.
    MIDIOutput* getOutput() const { return _output.data(); }
    /// True once a sweep has begun (range activation) and the learn waits for it to stop. Any thread.
    bool isSweeping() const { return _phase.load(std::memory_order_acquire) == kSweeping; }

    /// Shorter times for tests (`keysStillMs` < 0: the same as `stillMs`). GUI thread only.
    void setTimesForTesting(int timeoutMs, int stillMs, int keysStillMs = -1);

    /// Takes the value of a switching message of the activation method when listening; true when
    /// the message is consumed. Routing lock held. MIDI thread: no allocation, no blocking.
    bool consume(BYTE value);

    /// Ends the learn when the routing path caught its value, when a sweep has been still long
    /// enough, or at the time-out. GUI thread only, no lock held (the pump's tick).
    void poll();

signals:
    void learnStarted(MIDIOutput* output);
    /// The output's activation value (and range) were set.
    void learnt(MIDIOutput* output);
    /// Nothing was changed; `message` says why, as the status bar shows it.
    void learnCancelled(MIDIOutput* output, QString message);

private:
    enum Phase
    {
        kIdle,
        kListening,
        kCaptured,
        kSweeping
    };

    void _setPhaseLocked(int phase);
    /// Stops listening and forgets the output; returns it. GUI thread.
    MIDIOutput* _stop();
    void _finish();
    void _cancelWith(const QString& message);
    QString _outputText(MIDIOutput* output) const;

    MIDIRoute* _route;
    RoutingMutex& _routingMutex;
    QPointer<MIDIOutput> _output;
    std::unique_ptr<ModelSignalPump::Hold> _pumpHold;
    QList<QMetaObject::Connection> _learnConnections;
    QElapsedTimer _sinceStart;
    QElapsedTimer _sinceLastValue;
    std::uint32_t _seenValues = 0;
    int _timeoutMs = kTimeoutMs;
    int _stillMs = kStillMs;
    int _keysStillMs = kKeysStillMs;
    // The still time of the learn under way (controller or keys).
    int _sweepStillMs = kStillMs;

    // Written by the routing path (routing lock held), read by the GUI thread.
    std::atomic<int> _phase{kIdle};
    std::atomic<bool> _sweep{false};
    std::atomic<int> _firstValue{0};
    std::atomic<int> _lastValue{0};
    std::atomic<std::uint32_t> _numValues{0};
};
