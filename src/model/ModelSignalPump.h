#pragma once

#include <QObject>
#include <QTimer>

#include <atomic>
#include <thread>
#include <vector>

class PumpedSignalSource;

/// Carries what the MIDI thread did to the views: a timer on the GUI thread that, about 30 times a
/// second, asks every model object (route, output, patch, transform) to emit the signals its
/// MIDI-thread activity left pending (receivedMIDIInput, receivedNoteOn/Off, receivedControlMessage,
/// receivedPitchBendMessage, receivedMIDIMessage, activeMIDIOutputChangedTo, activeChangedTo,
/// handledAMessage, lastValueReceived, the note filter's and the inspector's signals). The signals
/// are emitted on the GUI thread with no model lock held, so a slot may edit the model.
///
/// The pump runs only while something listens: it starts by itself when one of those signals is
/// connected, and stops on the first tick at which none has a receiver and nothing holds it (a
/// window holds it with a Hold for as long as it exists). While it is stopped the MIDI thread
/// records nothing for views (headless runs pay one relaxed atomic read per message).
/// GUI thread only, except isRunning() and listenerConnected().
class ModelSignalPump : public QObject
{
    Q_OBJECT

public:
    /// Milliseconds between ticks: display rate.
    static constexpr int kIntervalMs = 33;

    /// The singleton, made on first use (GUI thread).
    static ModelSignalPump* GetInstance();

    /// True while the pump runs, so that the MIDI thread records activity for views. Any thread.
    static bool isRunning() { return _running.load(std::memory_order_relaxed); }

    /// True on the thread that made the pump, the GUI thread. Any thread: no allocation.
    static bool isGuiThread();

    /// A pumped signal was connected: start ticking. Any thread (started on the GUI thread).
    void listenerConnected();

    /// Keeps the pump running for its lifetime, whether or not signals are connected (a window).
    class Hold
    {
    public:
        Hold();
        ~Hold();
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;
    };

    /// One tick now: emits everything pending. Starts nothing. GUI thread, no model lock held.
    void pumpNow();
    /// Ticks so far (for tests and measurements).
    long long getNumTicks() const { return _ticks; }

signals:
    /// Emitted after each tick, once every object has emitted its pending signals.
    void pumped();

private:
    friend class PumpedSignalSource;
    ModelSignalPump();
    void _addSource(PumpedSignalSource* source);
    void _removeSource(PumpedSignalSource* source);
    void _start();
    void _tick();
    bool _anyListeners() const;

    static ModelSignalPump* _instance;
    static std::atomic<bool> _running;
    static std::thread::id _guiThread;
    QTimer _timer;
    // Registered objects; a slot of an object that left is null until reused.
    std::vector<PumpedSignalSource*> _sources;
    std::vector<int> _freeSlots;
    int _holds = 0;
    long long _ticks = 0;
};
