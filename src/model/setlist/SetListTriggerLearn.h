#pragma once

#include "midi/MIDIInputInterceptor.h"
#include "model/setlist/SetListTrigger.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <atomic>
#include <memory>
#include <vector>

class SetListPlayer;
class SetListTriggerPortKeeper;

/// Learns a set list trigger from the next message that arrives on any input port: a note on, a
/// program change or a controller. While it listens every input port is open, and it stands in
/// front of the ports' handlers (in place of the set list player's triggers), so the learnt
/// message is consumed, as are the rest of its gesture (the note off, the controller's release)
/// until the learn has ended. Escape in the window, cancel() or ten seconds without a message end
/// it without a trigger.
///
/// Threads: offerMessage (and the interception) runs on the MIDI thread: atomics only, no
/// allocation, no blocking. Everything else is GUI thread only.
class SetListTriggerLearn : public QObject, private MIDIInputInterceptor
{
    Q_OBJECT

public:
    static constexpr int kTimeoutMs = 10000;

    explicit SetListTriggerLearn(QObject* parent = nullptr);
    ~SetListTriggerLearn() override;

    /// Opens every input port and listens. `player` is the set list player whose triggers step
    /// aside meanwhile (may be null); they are back once the learn ends, if it still plays.
    /// False when it listens already.
    bool start(SetListPlayer* player);
    /// Ends the learn without a trigger (nothing when it does not listen).
    void cancel();
    bool isLearning() const { return _learning; }

    /// What the interceptor does with a message from the input port at the catalogue index: true
    /// when it is consumed. MIDI thread (tests call it from the GUI thread).
    bool offerMessage(int inputPortIndex, const midiMessage_t* message);
    /// Takes up a message the MIDI thread learnt. The timer calls it; tests may call it.
    /// GUI thread only.
    void processPendingWork();

signals:
    void learnStarted();
    /// The trigger made from the learnt message: port, channel, type and number filled in; the
    /// action is "next song", a controller's range is 64 to 127.
    void learnt(SetListTrigger trigger);
    void learnCancelled();

private:
    enum State : int
    {
        Idle,
        Listening,
        Claimed,
        Learnt
    };

    bool interceptMIDIInputMessage(int inputPortIndex, double timeStamp,
                                   const midiMessage_t* message) override;
    void _finish();

    bool _learning = false;
    QTimer _pollTimer;
    QTimer _timeoutTimer;
    QPointer<SetListPlayer> _player;
    MIDIInputInterceptor* _previousInterceptor = nullptr;
    std::vector<std::unique_ptr<SetListTriggerPortKeeper>> _portKeepers;

    // Written by the MIDI thread before _state becomes Learnt; read by the GUI thread after.
    std::atomic<int> _state{Idle};
    std::atomic<int> _portIndex{-1};
    std::atomic<int> _status{0};
    std::atomic<int> _number{0};
};
