#pragma once

#include "midi/MIDIBackend.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <array>
#include <atomic>
#include <cstdint>

typedef struct _jack_client jack_client_t;
typedef struct _jack_port jack_port_t;
class JackMIDIInputPort;
class JackMIDIOutputPort;

/// The system MIDI service reached natively through JACK: one JACK client named "Quorvell" for the
/// whole program, one JACK port of it per open input or output. The routing runs inside the JACK
/// process cycle: every incoming message is handed to the port I/O manager's callback there, and
/// what the routing sends is written into the output buffers of the same cycle, at the frame the
/// message came in, so nothing is added to a direct connection's latency. Messages from other
/// threads (the keyboard on screen, initializers, panic, a clean stop) queue per output and go out
/// at the start of the next cycle; delayed messages are placed at the frame they fall due.
///
/// When the server goes away, that is reported once, the setup stays as it is, and a server is
/// looked for every second; once one is back, every port is reopened and reconnected. Every method
/// inherited from MIDIBackend runs on the GUI thread unless it says otherwise.
class JackMIDIBackend : public QObject, public MIDIBackend
{
    Q_OBJECT

public:
    /// Opens the client. A server that does not run is never started: the backend then lists no
    /// ports and a warning saying why is posted.
    JackMIDIBackend();
    ~JackMIDIBackend() override;

    QString getApiName() const override;
    /// Why no server could be used at start; empty when one is in use.
    QString getUnavailableReason() const { return _unavailableReason; }

    std::vector<std::string> getInputPortNames() override;
    std::vector<std::string> getOutputPortNames() override;
    std::unique_ptr<MIDIInputPort> createInputPort() override;
    std::unique_ptr<MIDIOutputPort> createOutputPort() override;
    bool hasTimedSends() const override { return true; }
    /// JACK tells of every port that comes, goes or is renamed: the catalogue re-reads then.
    bool reportsPortChanges() const override { return true; }
    void closeService() override;
    std::int64_t getCurrentTimeUs() const override;

    /// The JACK client's name ("Quorvell", or what the server made of it). GUI thread only.
    QString getClientName() const;
    /// True while the server answers. Any thread.
    bool isServerRunning() const { return _client.load() != nullptr && !_serverGone.load(); }

    // For the port objects.
    /// The client, or null while there is no server. GUI thread only.
    jack_client_t* client() const { return _client.load(); }
    /// Lets the process cycle see the port; false when every place is taken. GUI thread only.
    bool attachInput(JackMIDIInputPort* port);
    bool attachOutput(JackMIDIOutputPort* port);
    /// Stops the process cycle from seeing the port and waits until a cycle that may still see it
    /// has ended. GUI thread only.
    void detachInput(JackMIDIInputPort* port);
    void detachOutput(JackMIDIOutputPort* port);
    /// Waits until the cycle now running (if any) has ended; gives up after `timeoutMs`.
    void waitForCycleEnd(int timeoutMs = 1000) const;
    /// Waits until `cycles` whole cycles have passed (or the server stops); false on time-out.
    bool waitForCycles(int cycles, int timeoutMs) const;
    /// A port name "<prefix> <n>" that no port of the client has yet. GUI thread only.
    QString freePortName(const QString& prefix) const;
    /// Converts between microseconds and frames of the server's clock. Any thread.
    std::int64_t framesFromUs(std::int64_t us) const;
    std::int64_t usFromFrames(std::int64_t frames) const;
    /// Posts a warning once per backend for the given reason. Any thread but the process thread.
    void reportOnce(std::atomic<bool>& reported, const QString& text);

    /// The backend whose process cycle is running on this thread, or null; the frame now handled.
    static JackMIDIBackend* processingBackend();
    static std::int64_t processingFrame();
    /// Called by JACK on one of its threads when the server goes away.
    void noteServerGone();
    /// The cycle running on this thread: its length, first frame and number.
    static void processingCycle(std::uint32_t* frames, std::int64_t* cycleStart, std::uint64_t* epoch);

private slots:
    void _serverLostSLOT();
    void _watchTimerSLOT();

private:
    static constexpr int kMaxPorts = 256;

    bool _openClient(QString* reason);
    void _closeClient();
    void _reconnectPorts();
    static int _processCallback(std::uint32_t frames, void* arg);
    void _process(std::uint32_t frames);
    std::vector<std::string> _listPorts(unsigned long flags);

    std::atomic<jack_client_t*> _client{nullptr};
    std::atomic<bool> _serverGone{false};
    bool _hadServer = false; // a server was reached once: it is looked for again when lost
    QString _unavailableReason;
    std::atomic<std::uint32_t> _sampleRate{48000};
    // Low 32 bits equal the server's frame counter; the high ones count its wraps.
    std::atomic<std::int64_t> _cycleStartFrame{0};
    std::atomic<bool> _haveCycleStart{false};
    // Raised at the start and at the end of each cycle: odd while one runs.
    std::atomic<std::uint64_t> _cycleEpoch{0};
    std::array<std::atomic<JackMIDIInputPort*>, kMaxPorts> _inputs{};
    std::array<std::atomic<JackMIDIOutputPort*>, kMaxPorts> _outputs{};
    QTimer _watchTimer;
};
