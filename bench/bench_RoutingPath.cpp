// What one incoming message costs on its way through the routing model: from the port manager's
// input callback through the route and its active output to two patches, each running Transpose,
// Velocity Map and CC Map, and out through the port manager to a port that only counts. Reports
// the time and the heap allocations per incoming message. Nothing listens to the model's signals,
// as when no window shows the setup.
#include "harness/AllocationCounter.h"
#include "harness/BenchMain.h"
#include "harness/CountingMIDIBackend.h"
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "model/transforms/BuiltInTransforms.h"
#include "model/transforms/MIDIDataTransform.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace {

const QString kKeys = QStringLiteral("Keys");

// Input "Keys" on every channel, keyswitched between output A (note 24, active) and output B
// (note 25). A has two patches, on SynthA channel 1 and SynthB channel 2, each with the chain
// Transpose (+5), Velocity Map (sine ramp) and CC Map (controller 1, inverted).
struct RoutingPathRig
{
    CountingMIDIBackend* backend = nullptr;
    std::unique_ptr<MIDIRoutingSetup> setup;
    int keys = -1;
    std::string error;

    void build()
    {
        backend = CountingMIDIBackend::install(
            {kKeys}, {QStringLiteral("SynthA"), QStringLiteral("SynthB"), QStringLiteral("SynthC")});
        if (!backend) {
            error = "the MIDI backend was already in use";
            return;
        }
        keys = backend->inputIndex(kKeys);
        registerBuiltInTransforms();
        setup = std::make_unique<MIDIRoutingSetup>(QStringLiteral("Bench"), nullptr);
        MIDIRoute* route = setup->createNewMIDIRoute(false);
        route->setMIDIInputPortName(kKeys);
        route->setMIDIChannel(MIDIRoute::kAnyChannel);
        route->setOutputActivationMethod(MIDIRoute::kKeyswitchActivation);
        route->setOutputActivationSpecificity(MIDIRoute::kSpecificValue);

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
    static RoutingPathRig* theRig = [] {
        auto* made = new RoutingPathRig;
        made->build();
        runAtBenchmarkExit([made] {
            made->setup.reset();
            delete made;
        });
        return made;
    }();
    return *theRig;
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

} // namespace

BENCHMARK(BM_RoutePath_NoteOnOff)->MinTime(0.5);
BENCHMARK(BM_RoutePath_ControlChange)->MinTime(0.5);
