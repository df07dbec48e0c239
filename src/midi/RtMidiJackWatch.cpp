#include "midi/RtMidiJackWatch.h"

#include "app/StatusManager.h"
#include "midi/JackPortChangeRescan.h"
#include "midi/MIDIPortInfo.h"

#include <jack/jack.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

namespace {

std::atomic<jack_client_t*> g_client{nullptr};
std::atomic<int> g_losses{0};
std::atomic<std::uint64_t> g_cycles{0};

// The watching client's process thread: it only counts, so that a closing port can wait until
// what it sent has been carried through the graph.
int countCycle(jack_nframes_t /*frames*/, void* /*arg*/)
{
    g_cycles.fetch_add(1, std::memory_order_release);
    return 0;
}

// JACK's notification thread: the server let go of the program. The client is freed by the
// library; every RtMidi client made so far is stale from now on.
void serverGone(jack_status_t /*code*/, const char* /*reason*/, void* /*arg*/)
{
    g_client.store(nullptr);
    g_losses.fetch_add(1);
    // The catalogue finds no ports now (and says so from the GUI thread), and finds them again
    // once a server is back.
    MIDIPortInfo::requestPortRescan();
}

} // namespace

void RtMidiJackWatch::ensureRunning()
{
    static int reportedLosses = 0;
    if (reportedLosses != g_losses.load()) {
        reportedLosses = g_losses.load();
        postErrorMessage(
            QStringLiteral("The JACK server has stopped or let go of Quorvell. The setup stays as "
                           "it is; its ports are opened again when they are back."));
    }
    if (g_client.load())
        return;
    // A client left open at the end of the process would stall a synchronous server until it
    // finds the client dead.
    static const bool exitHookInstalled = [] { return std::atexit(&RtMidiJackWatch::stop) == 0; }();
    Q_UNUSED(exitHookInstalled);
    jack_client_t* client = jack_client_open("Quorvell watch", JackNoStartServer, nullptr);
    if (!client)
        return;
    jack_on_info_shutdown(client, &serverGone, nullptr);
    jack_set_process_callback(client, &countCycle, nullptr);
    rescanPortsOnJackPortChanges(client);
    if (jack_activate(client) != 0) {
        jack_client_close(client);
        return;
    }
    g_client.store(client);
}

void RtMidiJackWatch::stop()
{
    if (jack_client_t* client = g_client.exchange(nullptr))
        jack_client_close(client);
}

int RtMidiJackWatch::losses()
{
    return g_losses.load();
}

bool RtMidiJackWatch::isRunning()
{
    return g_client.load() != nullptr;
}

std::uint64_t RtMidiJackWatch::cycles()
{
    return g_cycles.load(std::memory_order_acquire);
}

bool RtMidiJackWatch::waitUntilCycle(std::uint64_t cycle, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (g_cycles.load(std::memory_order_acquire) < cycle) {
        if (!g_client.load() || std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return true;
}
