#pragma once

#include "midi/MIDITypes.h"

#include <QString>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

class RtMidiIn;
class RtMidiOut;

/// A MIDI program of its own on the private JACK server, for end-to-end tests: a virtual source
/// (a JACK output port, which the program lists as an input port) and a virtual sink (a JACK input
/// port, which the program lists as an output port). Each is its own JACK client: the source is
/// listed as "<clientName>:<sourcePortName>", the sink as "<clientName>_in:<sinkPortName>".
/// The program lists ports once per process: make clients before the catalogue is first used.
/// Messages reaching the sink are recorded with their arrival time (thread-safe). Allow about 200 ms
/// after connecting before sending; messages move once per JACK period.
class JackTestClient
{
public:
    struct ReceivedMessage
    {
        midiMessage_t bytes;
        std::chrono::steady_clock::time_point arrival;
    };

    /// Makes the client; an empty port name leaves that port out. Check isValid().
    JackTestClient(const QString& clientName, const QString& sourcePortName, const QString& sinkPortName);
    ~JackTestClient();

    JackTestClient(const JackTestClient&) = delete;
    JackTestClient& operator=(const JackTestClient&) = delete;

    /// False when a port could not be made; errorText() says why.
    bool isValid() const { return _errorText.isEmpty(); }
    QString errorText() const { return _errorText; }

    /// The source's name as the program lists it among input ports.
    QString sourcePortName() const { return _sourceFullName; }
    /// The sink's name as the program lists it among output ports.
    QString sinkPortName() const { return _sinkFullName; }

    /// Sends the bytes from the source. Any thread (one at a time).
    void send(const midiMessage_t& bytes);

    /// Every message the sink received so far, in order.
    std::vector<ReceivedMessage> receivedMessages() const;
    /// How many messages the sink received so far.
    int receivedCount() const;
    /// The bytes of every message the sink received so far, in order.
    std::vector<midiMessage_t> receivedBytes() const;
    /// How many of the messages received so far are exactly the bytes.
    int countOf(const midiMessage_t& bytes) const;
    /// The index of the first message received that is exactly the bytes, or -1.
    int indexOf(const midiMessage_t& bytes) const;
    /// Whether any message received so far is exactly the bytes.
    bool hasReceived(const midiMessage_t& bytes) const;
    /// The index of the first of `messages` that is exactly the bytes, or -1. For comparing several
    /// positions within one receivedBytes() snapshot while more messages may still arrive.
    static int indexIn(const std::vector<midiMessage_t>& messages, const midiMessage_t& bytes);
    /// Waits until the sink has received at least `count` messages; false on time-out.
    bool waitForMessages(int count, int timeoutMs) const;
    /// Forgets what the sink received.
    void clearReceived();

    /// Removes the source port from the JACK graph (the device is unplugged).
    void closeSource();

    /// Does `action` (a send), then again every `intervalMs`, until `done` is true; false when it is
    /// still false after `timeoutMs`. A JACK server on a loaded machine drops the messages of a period
    /// that a client did not finish in time, so an end-to-end test sends until something arrives
    /// rather than once.
    static bool retryUntil(const std::function<void()>& action, const std::function<bool()>& done,
                           int timeoutMs = 10000, int intervalMs = 100);
    /// Sends the bytes from the source, again every `intervalMs`, until `sink` has received
    /// `expected`; false when it has not after `timeoutMs` (see retryUntil()).
    bool sendUntilReceived(const midiMessage_t& bytes, const JackTestClient& sink,
                           const midiMessage_t& expected, int timeoutMs = 10000, int intervalMs = 100);

    /// Waits long enough for connections just made to carry messages: 200 ms, longer under
    /// ThreadSanitizer, which slows the first JACK clients of a process a lot.
    static void letConnectionsSettle();

private:
    static void _received(double timeStamp, std::vector<unsigned char>* message, void* userData);

    QString _errorText;
    QString _sourceFullName;
    QString _sinkFullName;
    std::unique_ptr<RtMidiOut> _source;
    std::unique_ptr<RtMidiIn> _sink;
    mutable std::mutex _mutex;
    mutable std::condition_variable _arrived;
    // Receive callbacks now running: a cancelled callback may still be finishing one.
    std::atomic<int> _callbacksRunning{0};
    std::vector<ReceivedMessage> _receivedMessages;
};
