#pragma once

#include "midi/MIDIBackend.h"
#include "midi/MIDITypes.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <map>
#include <memory>
#include <thread>
#include <vector>

/// A MIDI backend for tests: a list of port names that tests may change, no real service. It records every
/// message sent through its output ports per output index, and feeds input messages into the input ports
/// connected to an index, on the caller's thread or on a thread of its own. Like RtMidi, it drops
/// system exclusive, MIDI time code, timing clock and active sensing input, runs an input callback
/// without a lock (cancelling does not wait for a running call) and waits for a running callback when
/// an input port object is deleted. It can be told to fail opening given ports or making client
/// objects. Every method is thread-safe, except that streams are started and stopped by one thread.
class FakeMIDIBackend : public MIDIBackend
{
public:
    FakeMIDIBackend(const QStringList& inputPortNames, const QStringList& outputPortNames);
    ~FakeMIDIBackend() override;

    /// Makes a fake with these ports the program's backend and returns it (the program owns it).
    /// Call before the port catalogue is first used; returns null when that is too late.
    static FakeMIDIBackend* install(const QStringList& inputPortNames, const QStringList& outputPortNames);

    QString getApiName() const override { return QStringLiteral("fake"); }
    std::vector<std::string> getInputPortNames() override;
    std::vector<std::string> getOutputPortNames() override;
    std::unique_ptr<MIDIInputPort> createInputPort() override;
    std::unique_ptr<MIDIOutputPort> createOutputPort() override;

    // Ports coming and going. Indexes are the fake's own and never change: a port keeps its index
    // while gone and gets it back when a port of that name is added again; new names are appended.
    // A vanished port leaves the port objects connected to it stale: they still count as connected,
    // as the library's do, but receive nothing, and what they send is counted, not recorded. A port
    // that returns does not revive them.
    /// Lists an input port of that name (again). Returns its index.
    int addInputPort(const QString& name);
    /// Unlists the input port of that name.
    void removeInputPort(const QString& name);
    /// Lists an output port of that name (again). Returns its index.
    int addOutputPort(const QString& name);
    /// Unlists the output port of that name.
    void removeOutputPort(const QString& name);
    /// Messages sent through port objects whose port had vanished.
    int staleSendCount() const;
    /// Whether input passes the library's filter (default true). Off, every message reaches the
    /// callbacks as it was injected, as from a backend that hands over whatever the wire carried.
    void setLibraryFilter(bool on);

    // Faults. An empty text removes the fault.
    /// Opening the input port at the index throws MIDIBackendError with this text.
    void setInputOpenFailure(int index, const QString& text);
    /// Opening the output port at the index throws MIDIBackendError with this text.
    void setOutputOpenFailure(int index, const QString& text);
    /// Making client objects (and so listing ports) throws MIDIBackendError with this text.
    void setClientCreationFailure(const QString& text);

    // What happened.
    /// How often opening the input port at the index was tried.
    int inputOpenAttempts(int index) const;
    /// How often opening the output port at the index was tried.
    int outputOpenAttempts(int index) const;
    /// Input port objects alive now (made and not yet deleted).
    int liveInputPortObjects() const;
    /// Output port objects alive now.
    int liveOutputPortObjects() const;
    /// True when an input port object is connected to the index now.
    bool isInputConnected(int index) const;
    /// True when an output port object is connected to the index now.
    bool isOutputConnected(int index) const;

    /// Every message sent to the output index so far, in order.
    std::vector<midiMessage_t> sentMessages(int outputIndex) const;
    /// How many messages were sent to the output index so far.
    int sentMessageCount(int outputIndex) const;
    /// Waits until at least `count` messages were sent to the index; false on time-out.
    bool waitForSentMessages(int outputIndex, int count, int timeoutMs) const;
    /// Forgets every recorded message.
    void clearSentMessages();
    /// Every message recorded so far, per output index, forgotten in the same step (so nothing sent
    /// meanwhile by another thread is lost between reading and forgetting).
    std::map<int, std::vector<midiMessage_t>> takeSentMessages();

    // Input.
    /// Hands the message to every input port object connected to the index that has a callback, on
    /// the caller's thread, unless the library's filter drops it. Returns how many callbacks ran.
    int injectInputMessage(int index, const midiMessage_t& message, double timeStamp = 0.0);
    /// Injects the messages in order on a new thread and waits for it to end. Returns how many
    /// callbacks ran in all.
    int injectInputMessagesFromOwnThread(int index, const std::vector<midiMessage_t>& messages);
    /// Starts a thread that injects `message` into the index over and over, with a pause of some
    /// microseconds in between, until stopInjecting(). Several streams may run at once.
    void startInjecting(int index, const midiMessage_t& message);
    /// Stops and joins every stream. Returns how many callbacks ran in all streams.
    long stopInjecting();

    struct State;

private:
    std::shared_ptr<State> _state;
    std::vector<std::thread> _streams;
    std::atomic<bool> _stopStreams{false};
    std::atomic<long> _streamedCallbacks{0};
};
