#include "midi/JackMIDIBackend.h"

#include "app/StatusManager.h"
#include "midi/JackMIDIInputPort.h"
#include "midi/JackMIDIOutputPort.h"
#include "midi/JackPortChangeRescan.h"
#include "midi/MIDIBackendError.h"

#include <jack/jack.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

// What the process cycle running on this thread is doing; set only on JACK's process thread.
thread_local JackMIDIBackend* t_backend = nullptr;
thread_local std::int64_t t_frame = 0;
thread_local std::int64_t t_cycleStart = 0;
thread_local std::uint32_t t_frames = 0;
thread_local std::uint64_t t_epoch = 0;

const char* const kClientName = "Quorvell";

void serverGone(jack_status_t /*code*/, const char* /*reason*/, void* arg)
{
    static_cast<JackMIDIBackend*>(arg)->noteServerGone();
}

// While a client is being opened, the JACK library's complaints about a server that is not
// there ("Cannot connect to server socket", ...) are dropped: the reason is reported in one line
// of our own, and the watch asks every second while a server is away.
std::atomic<bool> g_openingClient{false};

void jackErrorText(const char* text)
{
    if (!g_openingClient.load())
        std::fprintf(stderr, "%s\n", text);
}

// PipeWire's JACK library calls only the plain shutdown callback; jackd calls the informative
// one when both are registered. Both lead to one report.
void serverGonePlain(void* arg)
{
    static_cast<JackMIDIBackend*>(arg)->noteServerGone();
}

QString statusText(jack_status_t status)
{
    const int bits = int(status);
    if (bits & int(JackServerFailed))
        return QStringLiteral("no JACK server is running");
    if (bits & int(JackServerError))
        return QStringLiteral("the JACK server did not answer");
    if (bits & int(JackVersionError))
        return QStringLiteral("the JACK server speaks another protocol version");
    return QStringLiteral("the JACK server refused the client (status 0x%1)").arg(int(status), 0, 16);
}

} // namespace

JackMIDIBackend* JackMIDIBackend::processingBackend()
{
    return t_backend;
}

std::int64_t JackMIDIBackend::processingFrame()
{
    return t_frame;
}

void JackMIDIBackend::processingCycle(std::uint32_t* frames, std::int64_t* cycleStart, std::uint64_t* epoch)
{
    *frames = t_frames;
    *cycleStart = t_cycleStart;
    *epoch = t_epoch;
}

namespace {

// The client of the program's backend, closed when the process ends without a clean stop (a test,
// a program that returns early): a client left open is found dead by the server only after a
// timeout, and a server in synchronous mode stalls its whole graph meanwhile.
std::atomic<jack_client_t*> g_clientAtExit{nullptr};

void closeClientAtExit()
{
    if (jack_client_t* client = g_clientAtExit.exchange(nullptr)) {
        jack_deactivate(client);
        jack_client_close(client);
    }
}

} // namespace

JackMIDIBackend::JackMIDIBackend()
{
    static const bool exitHookInstalled = [] { return std::atexit(&closeClientAtExit) == 0; }();
    Q_UNUSED(exitHookInstalled);
    QString reason;
    if (!_openClient(&reason))
        _unavailableReason = reason;
    // Looks after the connection every second: a server that went away is looked for again, and
    // connections that went missing are made again.
    _watchTimer.setInterval(1000);
    connect(&_watchTimer, &QTimer::timeout, this, &JackMIDIBackend::_watchTimerSLOT);
    _watchTimer.start();
}

JackMIDIBackend::~JackMIDIBackend()
{
    _watchTimer.stop();
    _closeClient();
}

bool JackMIDIBackend::_openClient(QString* reason)
{
    jack_status_t status = jack_status_t(0);
    jack_set_error_function(&jackErrorText);
    g_openingClient.store(true);
    jack_client_t* client = jack_client_open(kClientName, JackNoStartServer, &status);
    g_openingClient.store(false);
    if (!client) {
        *reason = statusText(status);
        return false;
    }
    _sampleRate.store(jack_get_sample_rate(client));
    _haveCycleStart.store(false);
    jack_set_process_callback(client, &JackMIDIBackend::_processCallback, this);
    jack_on_shutdown(client, &serverGonePlain, this);
    jack_on_info_shutdown(client, &serverGone, this);
    rescanPortsOnJackPortChanges(client);
    _serverGone.store(false);
    _client.store(client);
    g_clientAtExit.store(client);
    if (jack_activate(client) != 0) {
        _client.store(nullptr);
        jack_client_close(client);
        *reason = QStringLiteral("the JACK server did not let the client run");
        return false;
    }
    _hadServer = true;
    return true;
}

void JackMIDIBackend::closeService()
{
    // No looking for a server any more: the run is over.
    _watchTimer.stop();
    _hadServer = false;
    _closeClient();
}

void JackMIDIBackend::_closeClient()
{
    jack_client_t* client = _client.exchange(nullptr);
    g_clientAtExit.store(nullptr);
    if (!client)
        return;
    if (!_serverGone.load())
        jack_deactivate(client);
    jack_client_close(client);
}

QString JackMIDIBackend::getApiName() const
{
    return _client.load() || _hadServer ? QStringLiteral("JACK") : QStringLiteral("none");
}

QString JackMIDIBackend::getClientName() const
{
    jack_client_t* client = _client.load();
    return client ? QString::fromUtf8(jack_get_client_name(client)) : QString::fromLatin1(kClientName);
}

std::vector<std::string> JackMIDIBackend::_listPorts(unsigned long flags)
{
    std::vector<std::string> names;
    jack_client_t* client = _client.load();
    // While a server that was there is away, nothing can be said about its ports.
    if (_hadServer && (!client || _serverGone.load()))
        throw MIDIBackendError("No JACK server is running.");
    if (!client)
        return names;
    const std::string ours = getClientName().toStdString() + ":";
    const char** ports = jack_get_ports(client, nullptr, JACK_DEFAULT_MIDI_TYPE, flags);
    if (!ports)
        return names;
    for (const char** port = ports; *port; ++port) {
        const std::string name(*port);
        if (name.compare(0, ours.size(), ours) != 0)
            names.push_back(name);
    }
    jack_free(ports);
    return names;
}

std::vector<std::string> JackMIDIBackend::getInputPortNames()
{
    // The sources of other clients are the program's inputs.
    return _listPorts(JackPortIsOutput);
}

std::vector<std::string> JackMIDIBackend::getOutputPortNames()
{
    return _listPorts(JackPortIsInput);
}

std::unique_ptr<MIDIInputPort> JackMIDIBackend::createInputPort()
{
    if (!_client.load() && !_hadServer)
        throw MIDIBackendError(("No MIDI service is available: " + _unavailableReason).toStdString());
    return std::make_unique<JackMIDIInputPort>(*this);
}

std::unique_ptr<MIDIOutputPort> JackMIDIBackend::createOutputPort()
{
    if (!_client.load() && !_hadServer)
        throw MIDIBackendError(("No MIDI service is available: " + _unavailableReason).toStdString());
    return std::make_unique<JackMIDIOutputPort>(*this);
}

std::int64_t JackMIDIBackend::framesFromUs(std::int64_t us) const
{
    const std::int64_t rate = _sampleRate.load();
    return (us * rate + 500000) / 1000000;
}

std::int64_t JackMIDIBackend::usFromFrames(std::int64_t frames) const
{
    const std::int64_t rate = _sampleRate.load();
    return rate > 0 ? frames * 1000000 / rate : 0;
}

std::int64_t JackMIDIBackend::getCurrentTimeUs() const
{
    if (t_backend == this)
        return usFromFrames(t_frame);
    jack_client_t* client = _client.load();
    if (client && !_serverGone.load() && _haveCycleStart.load()) {
        const std::int64_t base = _cycleStartFrame.load();
        const std::uint32_t now = jack_frame_time(client);
        return usFromFrames(base + std::int32_t(now - std::uint32_t(base)));
    }
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

bool JackMIDIBackend::attachInput(JackMIDIInputPort* port)
{
    for (auto& slot : _inputs) {
        if (!slot.load()) {
            slot.store(port);
            return true;
        }
    }
    return false;
}

bool JackMIDIBackend::attachOutput(JackMIDIOutputPort* port)
{
    for (auto& slot : _outputs) {
        if (!slot.load()) {
            slot.store(port);
            return true;
        }
    }
    return false;
}

void JackMIDIBackend::detachInput(JackMIDIInputPort* port)
{
    for (auto& slot : _inputs) {
        if (slot.load() == port)
            slot.store(nullptr);
    }
    waitForCycleEnd();
}

void JackMIDIBackend::detachOutput(JackMIDIOutputPort* port)
{
    for (auto& slot : _outputs) {
        if (slot.load() == port)
            slot.store(nullptr);
    }
    waitForCycleEnd();
}

void JackMIDIBackend::waitForCycleEnd(int timeoutMs) const
{
    // A cycle that began before the caller's change may still use what was changed.
    const std::uint64_t epoch = _cycleEpoch.load();
    if ((epoch & 1) == 0 || t_backend == this)
        return;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (_cycleEpoch.load() == epoch && !_serverGone.load() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::yield();
}

bool JackMIDIBackend::waitForCycles(int cycles, int timeoutMs) const
{
    const std::uint64_t until = (_cycleEpoch.load() | 1) + 1 + 2 * std::uint64_t(cycles);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (_cycleEpoch.load() < until) {
        if (_serverGone.load() || !_client.load() || std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return true;
}

QString JackMIDIBackend::freePortName(const QString& prefix) const
{
    jack_client_t* client = _client.load();
    const QString ours = getClientName() + QLatin1Char(':');
    for (int number = 1;; ++number) {
        const QString name = QStringLiteral("%1 %2").arg(prefix).arg(number);
        if (!client || !jack_port_by_name(client, (ours + name).toUtf8().constData()))
            return name;
    }
}

void JackMIDIBackend::reportOnce(std::atomic<bool>& reported, const QString& text)
{
    if (!reported.exchange(true))
        postWarningMessage(text);
}

int JackMIDIBackend::_processCallback(std::uint32_t frames, void* arg)
{
    static_cast<JackMIDIBackend*>(arg)->_process(frames);
    return 0;
}

void JackMIDIBackend::noteServerGone()
{
    // A JACK thread: the GUI thread deals with it. The client is the library's to free now. Said
    // once, whichever of the shutdown callbacks (or both) the library calls.
    g_clientAtExit.store(nullptr);
    if (_serverGone.exchange(true))
        return;
    QMetaObject::invokeMethod(this, &JackMIDIBackend::_serverLostSLOT, Qt::QueuedConnection);
}

void JackMIDIBackend::_process(std::uint32_t frames)
{
    // Process thread: no allocation, no waiting (beyond what the routing's own locks ask for).
    const std::uint64_t epoch = _cycleEpoch.fetch_add(1) + 1;
    jack_client_t* client = _client.load(std::memory_order_acquire);
    if (!client) {
        _cycleEpoch.fetch_add(1);
        return;
    }
    const std::uint32_t start32 = jack_last_frame_time(client);
    std::int64_t start = start32;
    if (_haveCycleStart.load(std::memory_order_relaxed)) {
        const std::int64_t previous = _cycleStartFrame.load(std::memory_order_relaxed);
        start = previous + std::uint32_t(start32 - std::uint32_t(previous));
    }
    _cycleStartFrame.store(start);
    _haveCycleStart.store(true);
    const std::uint32_t rate = _sampleRate.load(std::memory_order_relaxed);
    t_backend = this;
    t_frames = frames;
    t_cycleStart = start;
    t_epoch = epoch;
    t_frame = start;

    // First what waited and what other threads queued, then the incoming messages of every input
    // in the order they came, each with the delayed messages due before it.
    for (auto& slot : _outputs) {
        if (JackMIDIOutputPort* port = slot.load(std::memory_order_acquire))
            port->beginCycle(frames, start, epoch);
    }
    for (auto& slot : _inputs) {
        if (JackMIDIInputPort* port = slot.load(std::memory_order_acquire))
            port->beginCycle(frames);
    }
    for (;;) {
        JackMIDIInputPort* earliest = nullptr;
        std::uint32_t earliestOffset = 0;
        for (auto& slot : _inputs) {
            JackMIDIInputPort* port = slot.load(std::memory_order_acquire);
            std::uint32_t offset = 0;
            if (port && port->nextEventOffset(&offset) && (!earliest || offset < earliestOffset)) {
                earliest = port;
                earliestOffset = offset;
            }
        }
        if (!earliest)
            break;
        const std::int64_t frame = start + earliestOffset;
        for (auto& slot : _outputs) {
            if (JackMIDIOutputPort* port = slot.load(std::memory_order_acquire))
                port->writeDue(frame);
        }
        t_frame = frame;
        earliest->handleNextEvent(frame, rate);
    }
    for (auto& slot : _outputs) {
        if (JackMIDIOutputPort* port = slot.load(std::memory_order_acquire))
            port->finishCycle();
    }
    t_backend = nullptr;
    _cycleEpoch.fetch_add(1);
}
