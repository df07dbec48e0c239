// What one incoming message costs on its way through the routing model inside the native JACK
// backend's process cycle: from a JACK client's port into the program's input, through the route
// and its active output to two patches, each running Transpose, Velocity Map and CC Map, and into
// the output ports' buffers of the same cycle. Two probe handlers on the same input port, one
// registered before the route and one after it, read the process thread's own allocation count
// and clock around the route's handling of each message. Nothing listens to the model's signals,
// as when no window shows the setup.
#include "harness/AllocationCounter.h"
#include "harness/BenchMain.h"
#include "harness/JackFrameSink.h"
#include "harness/NativeJackClients.h"
#include "midi/MIDIBackend.h"
#include "midi/MIDIBackendChoice.h"
#include "midi/MIDIInputMessageHandler.h"
#include "midi/MIDIPortIOManager.h"
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "model/transforms/BuiltInTransforms.h"
#include "model/transforms/MIDIDataTransform.h"
#include "support/JackTestClient.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>

namespace {

// Both probes run on the process thread, one right before and one right after the route.
struct Probe
{
    std::uint64_t allocationsAtStart = 0;
    std::chrono::steady_clock::time_point start;
    std::atomic<std::uint64_t> messages{0};
    std::atomic<std::uint64_t> allocations{0};
    std::atomic<std::int64_t> nanoseconds{0};
};

class ProbeStart : public MIDIInputMessageHandler
{
public:
    explicit ProbeStart(Probe& probe) : MIDIInputMessageHandler(&probe), _probe(probe) {}
    void handleMIDIInputMessage(double, midiMessage_t*) override
    {
        _probe.allocationsAtStart = AllocationCounter::allocationsOnThisThread();
        _probe.start = std::chrono::steady_clock::now();
    }

private:
    Probe& _probe;
};

class ProbeEnd : public MIDIInputMessageHandler
{
public:
    explicit ProbeEnd(Probe& probe) : MIDIInputMessageHandler(&probe), _probe(probe) {}
    void handleMIDIInputMessage(double, midiMessage_t*) override
    {
        const auto elapsed = std::chrono::steady_clock::now() - _probe.start;
        _probe.nanoseconds.fetch_add(std::chrono::duration_cast<std::chrono::nanoseconds>(elapsed).count());
        _probe.allocations.fetch_add(AllocationCounter::allocationsOnThisThread() -
                                     _probe.allocationsAtStart);
        _probe.messages.fetch_add(1);
    }

private:
    Probe& _probe;
};

struct NativeRig : NativeJackClients
{
    std::unique_ptr<MIDIRoutingSetup> setup;
    Probe probe;
    std::unique_ptr<ProbeStart> start;
    std::unique_ptr<ProbeEnd> end;
    std::string error;

    void build()
    {
        error = open(QStringLiteral("QvPathKeys"), QStringLiteral("QvPathSynth"));
        if (!error.empty())
            return;
        registerBuiltInTransforms();
        MIDIPortIOManager* manager = MIDIPortIOManager::GetInstance();
        start = std::make_unique<ProbeStart>(probe);
        end = std::make_unique<ProbeEnd>(probe);
        manager->addRequiredInputPortNamed(keys->sourcePortName(), start.get());

        setup = std::make_unique<MIDIRoutingSetup>(QStringLiteral("Bench"), nullptr);
        MIDIRoute* route = setup->createNewMIDIRoute(false);
        route->setMIDIInputPortName(keys->sourcePortName());
        route->setMIDIChannel(MIDIRoute::kAnyChannel);
        MIDIOutput* a = route->getMIDIOutputAtIndex(0);
        a->setMainActivationValue(24);
        a->setActive(true);
        MIDIPatchTarget* first = a->getMIDIPatchTargetAtIndex(0);
        first->setMIDIOutputPortName(synth->portName(0));
        first->setMIDIChannel(0);
        MIDIPatchTarget* second = a->createNewMIDIPatchTarget(false, synth->portName(1));
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
        manager->addRequiredInputPortNamed(keys->sourcePortName(), end.get());
        JackTestClient::letConnectionsSettle();
        if (!JackTestClient::retryUntil(
                [&] {
                    keys->send({0xB0, 1, 1});
                },
                [&] { return synth->count(0) > 0 && synth->count(1) > 0; }))
            error = "nothing came through the program";
    }

    void tearDown()
    {
        MIDIPortIOManager* manager = MIDIPortIOManager::GetInstance();
        if (keys && start)
            manager->removeRequiredInputPortNamed(keys->sourcePortName(), start.get());
        if (keys && end)
            manager->removeRequiredInputPortNamed(keys->sourcePortName(), end.get());
        setup.reset();
        manager->removeAllPortRequirements();
        close();
    }
};

NativeRig& rig()
{
    return sharedRig<NativeRig>();
}

// state.range(0) messages (note ons, note offs and controllers), a few per period.
void BM_NativeRoutingPath(benchmark::State& state)
{
    NativeRig& theRig = rig();
    if (!theRig.error.empty()) {
        state.SkipWithError(theRig.error.c_str());
        return;
    }
    const int count = static_cast<int>(state.range(0));
    std::uint64_t messages = 0;
    std::uint64_t allocations = 0;
    std::int64_t nanoseconds = 0;
    for (auto _ : state) {
        theRig.synth->clear();
        const std::uint64_t messagesBefore = theRig.probe.messages.load();
        const std::uint64_t allocationsBefore = theRig.probe.allocations.load();
        const std::int64_t nanosecondsBefore = theRig.probe.nanoseconds.load();
        for (int i = 0; i < count; ++i) {
            const BYTE note = BYTE(48 + i % 24);
            switch (i % 3) {
            case 0:
                theRig.keys->send({0x90, note, BYTE(20 + i % 100)});
                break;
            case 1:
                theRig.keys->send({0x80, note, 64});
                break;
            default:
                theRig.keys->send({0xB0, 1, BYTE(i % 128)});
                break;
            }
            if (i % 4 == 3)
                std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (theRig.probe.messages.load() - messagesBefore < std::uint64_t(count) &&
               std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        messages += theRig.probe.messages.load() - messagesBefore;
        allocations += theRig.probe.allocations.load() - allocationsBefore;
        nanoseconds += theRig.probe.nanoseconds.load() - nanosecondsBefore;
    }
    const double handled = messages > 0 ? double(messages) : 1.0;
    state.counters["messages"] = double(messages);
    state.counters["allocs_per_msg"] = double(allocations) / handled;
    state.counters["ns_per_msg"] = double(nanoseconds) / handled;
    state.counters["heard_a"] = theRig.synth->count(0);
    state.counters["heard_b"] = theRig.synth->count(1);
    if (messages == 0)
        state.SkipWithError("no message reached the route");
    else if (!AllocationCounter::isWorking())
        state.SkipWithError("allocations are not counted in this build");
}

} // namespace

BENCHMARK(BM_NativeRoutingPath)->Arg(3000)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);
