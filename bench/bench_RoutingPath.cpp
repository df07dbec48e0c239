// What one incoming message costs on its way through the routing model: from the port manager's
// input callback through the route and its active output to two patches, each running Transpose,
// Velocity Map and CC Map, and out through the port manager to a port that only counts. Reports
// the time and the heap allocations per incoming message. Nothing listens to the model's signals,
// as when no window shows the setup.
#include "harness/AllocationCounter.h"
#include "harness/BenchMain.h"
#include "harness/CountingRig.h"
#include "model/ModelSignalPump.h"
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "model/transforms/BuiltInTransforms.h"
#include "model/transforms/MIDIDataTransform.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

const QString kKeys = QStringLiteral("Keys");

// Input "Keys" on every channel, keyswitched between output A (note 24, active) and output B
// (note 25). A has two patches, on SynthA channel 1 and SynthB channel 2, each with the chain
// Transpose (+5), Velocity Map (sine ramp) and CC Map (controller 1, inverted).
struct RoutingPathRig : CountingRig
{
    MIDIRoute* route = nullptr;

    void build()
    {
        if (!installBackend(kKeys,
                            {QStringLiteral("SynthA"), QStringLiteral("SynthB"), QStringLiteral("SynthC")}))
            return;
        route = makeKeyswitchedInput(kKeys);

        MIDIOutput* a = route->getMIDIOutputAtIndex(0);
        a->setMainActivationValue(24);
        MIDIOutput* b = route->createNewMIDIOutput(false);
        b->setMainActivationValue(25);
        b->getMIDIPatchTargetAtIndex(0)->setMIDIOutputPortName(QStringLiteral("SynthC"));
        a->setActive(true);

        MIDIPatchTarget* first = a->getMIDIPatchTargetAtIndex(0);
        first->setMIDIOutputPortName(QStringLiteral("SynthA"));
        first->setMIDIChannel(0);
        MIDIPatchTarget* second = a->createNewMIDIPatchTarget(false, QStringLiteral("SynthB"));
        second->setMIDIChannel(1);
        for (MIDIPatchTarget* patch : {first, second}) {
            MIDIDataTransform* transpose = patch->createNewMIDIDataTransform(QStringLiteral("Transpose"));
            MIDIDataTransform* velocity = patch->createNewMIDIDataTransform(QStringLiteral("Velocity Map"));
            MIDIDataTransform* controller = patch->createNewMIDIDataTransform(QStringLiteral("CC Map"));
            if (!transpose || !velocity || !controller) {
                error = "a transform type is not registered";
                return;
            }
            transpose->setInt1(5);
            velocity->setMappingToSineRampUp();
            controller->setByte1(1);
            controller->invertMapping();
        }
        if (a->getNumMIDIPatchTargets() != 2 || route->getActiveMIDIOutput() != a)
            error = "the setup did not come out as built";
    }
};

RoutingPathRig& rig()
{
    return sharedRig<RoutingPathRig>();
}

// Plays `messages` round and round, one per step, after a warm-up, and reports the time and heap
// allocations per message and the port sends per message (2: one per patch).
void playRoundAndRound(benchmark::State& state, std::vector<midiMessage_t>& messages)
{
    RoutingPathRig& theRig = rig();
    if (!theRig.error.empty()) {
        state.SkipWithError(theRig.error.c_str());
        return;
    }
    const size_t count = messages.size();
    for (int i = 0; i < 1024; ++i)
        theRig.backend->play(theRig.keys, &messages[static_cast<size_t>(i) % count]);

    const long sentBefore = theRig.backend->totalSent();
    const std::uint64_t allocationsBefore = AllocationCounter::allocations();
    const auto start = std::chrono::steady_clock::now();
    size_t next = 0;
    for (auto _ : state) {
        theRig.backend->play(theRig.keys, &messages[next]);
        if (++next == count)
            next = 0;
    }
    const auto elapsed = std::chrono::steady_clock::now() - start;
    const std::uint64_t allocations = AllocationCounter::allocations() - allocationsBefore;
    const long sent = theRig.backend->totalSent() - sentBefore;

    const double played = static_cast<double>(state.iterations());
    state.SetItemsProcessed(state.iterations());
    state.counters["ns_per_msg"] = std::chrono::duration<double, std::nano>(elapsed).count() / played;
    state.counters["allocs_per_msg"] = static_cast<double>(allocations) / played;
    state.counters["sends_per_msg"] = static_cast<double>(sent) / played;
    if (sent != 2 * state.iterations())
        state.SkipWithError("each message should reach both patches' ports exactly once");
}

// Note on / note off pairs over two octaves with changing velocities.
void BM_RoutePath_NoteOnOff(benchmark::State& state)
{
    std::vector<midiMessage_t> messages;
    for (int i = 0; i < 24; ++i) {
        const BYTE note = BYTE(48 + i);
        messages.push_back({0x90, note, BYTE(20 + 4 * i)});
        messages.push_back({0x80, note, 64});
    }
    playRoundAndRound(state, messages);
}

// Controller 1 sweeping up and down: the CC Map of both patches remaps every value.
void BM_RoutePath_ControlChange(benchmark::State& state)
{
    std::vector<midiMessage_t> messages;
    for (int value = 0; value < 128; ++value)
        messages.push_back({0xB0, 1, BYTE(value)});
    for (int value = 127; value >= 0; --value)
        messages.push_back({0xB0, 1, BYTE(value)});
    playRoundAndRound(state, messages);
}

// A window's worth of listeners: one slot on every per-message signal of the input, its outputs and
// their patches. Lives on the GUI thread.
class WindowListeners : public QObject
{
public:
    explicit WindowListeners(MIDIRoute* route)
    {
        connect(route, &MIDIRoute::receivedMIDIInput, this, [this] { ++heard; });
        connect(route, &MIDIRoute::receivedNoteOn, this, [this](int, int) { ++heard; });
        connect(route, &MIDIRoute::receivedNoteOff, this, [this](int) { ++heard; });
        connect(route, &MIDIRoute::receivedControlMessage, this, [this](int, int) { ++heard; });
        connect(route, &MIDIRoute::receivedPitchBendMessage, this, [this](int) { ++heard; });
        connect(route, &MIDIRoute::activeMIDIOutputChangedTo, this, [this](MIDIOutput*) { ++heard; });
        for (int o = 0; o < route->getNumMIDIOutputs(); ++o) {
            MIDIOutput* output = route->getMIDIOutputAtIndex(o);
            connect(output, &MIDIOutput::receivedMIDIMessage, this, [this] { ++heard; });
            connect(output, &MIDIOutput::activeChangedTo, this, [this](bool) { ++heard; });
            for (int p = 0; p < output->getNumMIDIPatchTargets(); ++p) {
                MIDIPatchTarget* patch = output->getMIDIPatchTargetAtIndex(p);
                connect(patch, &MIDIPatchTarget::receivedMIDIMessage, this, [this] { ++heard; });
                for (int t = 0; t < patch->getNumMIDIDataTransforms(); ++t) {
                    MIDIDataTransform* transform = patch->getMIDIDataTransformAtIndex(t);
                    connect(transform, &MIDIDataTransform::handledAMessage, this, [this] { ++heard; });
                    connect(transform, &MIDIDataTransform::lastValueReceived, this,
                            [this](unsigned char) { ++heard; });
                }
            }
        }
    }
    long long heard = 0; // signals received, GUI thread
};

// Counts what the GUI thread handles: every event, and the most handled in one wake-up of its
// event loop (the longest queue it found waiting).
class GuiThreadLoad : public QObject
{
public:
    GuiThreadLoad()
    {
        QCoreApplication::instance()->installEventFilter(this);
        QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
        connect(dispatcher, &QAbstractEventDispatcher::awake, this, [this] { _inThisWake = 0; });
    }
    ~GuiThreadLoad() override { QCoreApplication::instance()->removeEventFilter(this); }
    bool eventFilter(QObject*, QEvent*) override
    {
        ++events;
        longestQueue = std::max(longestQueue, ++_inThisWake);
        return false;
    }
    long long events = 0;
    long long longestQueue = 0;

private:
    long long _inThisWake = 0;
};

// Plays `count` messages of `messages` from a thread of its own while the GUI thread runs its
// event loop; returns the MIDI thread's time and adds its allocations to `allocations`.
std::chrono::nanoseconds playFromMIDIThread(RoutingPathRig& theRig, std::vector<midiMessage_t>& messages,
                                            std::int64_t count, size_t& next, std::uint64_t& allocations,
                                            std::chrono::microseconds pace = {})
{
    QEventLoop loop;
    std::chrono::nanoseconds elapsed{};
    std::thread midi([&] {
        const std::uint64_t before = AllocationCounter::allocationsOnThisThread();
        const auto start = std::chrono::steady_clock::now();
        auto due = start;
        for (std::int64_t i = 0; i < count; ++i) {
            if (pace.count() > 0) {
                due += pace;
                std::this_thread::sleep_until(due);
            }
            theRig.backend->play(theRig.keys, &messages[next]);
            if (++next == messages.size())
                next = 0;
        }
        elapsed = std::chrono::steady_clock::now() - start;
        allocations += AllocationCounter::allocationsOnThisThread() - before;
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    midi.join();
    return elapsed;
}

std::vector<midiMessage_t> noteOnOffPairs()
{
    std::vector<midiMessage_t> messages;
    for (int i = 0; i < 24; ++i) {
        const BYTE note = BYTE(48 + i);
        messages.push_back({0x90, note, BYTE(20 + 4 * i)});
        messages.push_back({0x80, note, 64});
    }
    return messages;
}

// Note on / note off pairs played from a MIDI thread, in batches, with or without a window's
// listeners. Time and allocations are the MIDI thread's alone.
void playNotesFromMIDIThread(benchmark::State& state, bool withListeners)
{
    RoutingPathRig& theRig = rig();
    if (!theRig.error.empty()) {
        state.SkipWithError(theRig.error.c_str());
        return;
    }
    std::unique_ptr<WindowListeners> listeners;
    if (withListeners)
        listeners = std::make_unique<WindowListeners>(theRig.route);
    if (withListeners != ModelSignalPump::isRunning()) {
        state.SkipWithError("the signal pump should run exactly while something listens");
        return;
    }
    std::vector<midiMessage_t> messages = noteOnOffPairs();
    size_t next = 0;
    std::uint64_t allocations = 0;
    playFromMIDIThread(theRig, messages, 1024, next, allocations); // warm-up
    allocations = 0;
    constexpr std::int64_t kBatch = 20000;
    const long sentBefore = theRig.backend->totalSent();
    while (state.KeepRunningBatch(kBatch)) {
        const auto elapsed = playFromMIDIThread(theRig, messages, kBatch, next, allocations);
        state.SetIterationTime(std::chrono::duration<double>(elapsed).count());
    }
    const long sent = theRig.backend->totalSent() - sentBefore;
    const double played = static_cast<double>(state.iterations());
    state.SetItemsProcessed(state.iterations());
    state.counters["allocs_per_msg"] = static_cast<double>(allocations) / played;
    state.counters["sends_per_msg"] = static_cast<double>(sent) / played;
    if (sent != 2 * state.iterations())
        state.SkipWithError("each message should reach both patches' ports exactly once");
    else if (allocations != 0)
        state.SkipWithError("the MIDI thread allocated");
}

void BM_RoutePath_NoteOnOff_MIDIThread(benchmark::State& state)
{
    playNotesFromMIDIThread(state, false);
}

void BM_RoutePath_NoteOnOff_MIDIThreadAllListeners(benchmark::State& state)
{
    playNotesFromMIDIThread(state, true);
}

// 2,000 messages a second for 5 seconds (note ons and offs between a mod-wheel sweep) to a window's
// listeners. What the GUI thread handles is bounded by the pump's rate, not the message rate.
void BM_RoutePath_GuiLoadAt2000PerSecond(benchmark::State& state)
{
    RoutingPathRig& theRig = rig();
    if (!theRig.error.empty()) {
        state.SkipWithError(theRig.error.c_str());
        return;
    }
    WindowListeners listeners(theRig.route);
    std::vector<midiMessage_t> messages;
    for (int i = 0; i < 64; ++i) {
        const BYTE note = BYTE(48 + i % 24);
        messages.push_back({0x90, note, 90});
        messages.push_back({0xB0, 1, BYTE(2 * i)});
        messages.push_back({0x80, note, 0});
        messages.push_back({0xB0, 1, BYTE(127 - 2 * i)});
    }
    constexpr int kRate = 2000;
    constexpr int kSeconds = 5;
    for (auto _ : state) {
        GuiThreadLoad load;
        const long long ticksBefore = ModelSignalPump::GetInstance()->getNumTicks();
        size_t next = 0;
        std::uint64_t allocations = 0;
        const auto elapsed = playFromMIDIThread(theRig, messages, std::int64_t(kRate) * kSeconds, next,
                                                allocations, std::chrono::microseconds(1000000 / kRate));
        const double seconds = std::chrono::duration<double>(elapsed).count();
        const double ticksPerSecond =
            static_cast<double>(ModelSignalPump::GetInstance()->getNumTicks() - ticksBefore) / seconds;
        state.counters["gui_events_per_s"] = static_cast<double>(load.events) / seconds;
        state.counters["longest_queue"] = static_cast<double>(load.longestQueue);
        state.counters["pump_ticks_per_s"] = ticksPerSecond;
        state.counters["signals_per_s"] = static_cast<double>(listeners.heard) / seconds;
        state.counters["msgs_per_s"] = static_cast<double>(kRate * kSeconds) / seconds;
        state.counters["allocs_per_msg"] = static_cast<double>(allocations) / (kRate * kSeconds);
        // A few events per tick (the timer, the end-of-run wake-up); nothing per message.
        const double bound = 4.0 * 1000.0 / ModelSignalPump::kIntervalMs;
        if (static_cast<double>(load.events) / seconds > bound)
            state.SkipWithError("the GUI thread handled more events than the pump's rate explains");
        else if (load.longestQueue > 8)
            state.SkipWithError("events queued up on the GUI thread");
        else if (allocations != 0)
            state.SkipWithError("the MIDI thread allocated");
    }
}

} // namespace

BENCHMARK(BM_RoutePath_NoteOnOff)->MinTime(0.5);
BENCHMARK(BM_RoutePath_ControlChange)->MinTime(0.5);
BENCHMARK(BM_RoutePath_NoteOnOff_MIDIThread)->MinTime(0.5)->UseManualTime();
BENCHMARK(BM_RoutePath_NoteOnOff_MIDIThreadAllListeners)->MinTime(0.5)->UseManualTime();
BENCHMARK(BM_RoutePath_GuiLoadAt2000PerSecond)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);
