// How much later a note arrives when it goes through the program than when it goes straight from
// the keyboard to the synthesizer, on a private JACK server. A test client's source feeds both the
// program's input (a setup built here: one input, one output, one patch; on the native JACK backend,
// or on RtMidi's JACK path when QUORVELL_BENCH_MIDI_API is "jack-rtmidi") and, wired directly, one
// port of a synthesizer stand-in; the program's patch sends to its second port. The stand-in notes
// the frame of the server's clock each message arrives at, and each send notes the frame clock
// too, so latencies and the difference between the two paths are exact to the frame.
#include "harness/BenchMain.h"
#include "harness/JackFrameSink.h"
#include "harness/JackGraph.h"
#include "harness/ProbeNotes.h"
#include "harness/SampleSummary.h"
#include "midi/MIDIBackend.h"
#include "midi/MIDIBackendChoice.h"
#include "midi/MIDIPortIOManager.h"
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "support/JackTestClient.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <memory>
#include <random>
#include <string>
#include <thread>

namespace {

// "jack" (native) or "jack-rtmidi".
QString benchApi()
{
    const QString api = qEnvironmentVariable("QUORVELL_BENCH_MIDI_API");
    return api.isEmpty() ? QStringLiteral("jack") : api;
}

struct LatencyRig
{
    std::unique_ptr<JackGraph> graph;
    std::unique_ptr<JackTestClient> keys;
    std::unique_ptr<JackFrameSink> synth; // port 0: direct, port 1: through the program
    std::unique_ptr<MIDIRoutingSetup> setup;
    std::string error;

    void build()
    {
        if (qEnvironmentVariableIsEmpty("JACK_DEFAULT_SERVER")) {
            error = "JACK_DEFAULT_SERVER is not set: run scripts/bench, which starts a private JACK server";
            return;
        }
        graph = std::make_unique<JackGraph>();
        if (!graph->isValid()) {
            error = graph->errorText().toStdString();
            return;
        }
        // The program lists ports once: the clients come first.
        MIDIBackendChoice::setPreferredApi(benchApi());
        keys = std::make_unique<JackTestClient>(QStringLiteral("QvLatencyKeys"), QStringLiteral("out"),
                                                QString());
        synth =
            std::make_unique<JackFrameSink>(QStringLiteral("QvLatencySynth"),
                                            QStringList{QStringLiteral("direct"), QStringLiteral("routed")});
        if (!keys->isValid() || !synth->isValid()) {
            error = (keys->isValid() ? synth->errorText() : keys->errorText()).toStdString();
            return;
        }
        if (MIDIBackend::GetInstance()->getApiName() != QStringLiteral("JACK")) {
            error = "the program did not get a JACK backend";
            return;
        }
        setup = std::make_unique<MIDIRoutingSetup>(QStringLiteral("Latency"), nullptr);
        MIDIRoute* route = setup->createNewMIDIRoute(false);
        route->setMIDIChannel(MIDIRoute::kAnyChannel);
        MIDIPatchTarget* patch = route->getMIDIOutputAtIndex(0)->getMIDIPatchTargetAtIndex(0);
        patch->setMIDIChannel(MIDIPatchTarget::kAnyChannel);
        if (!route->setMIDIInputPortName(keys->sourcePortName()) ||
            !patch->setMIDIOutputPortName(synth->portName(1))) {
            error = "the program does not list the test client's ports";
            return;
        }
        QString wiringError;
        if (!graph->connectPorts(keys->sourcePortName(), synth->portName(0), &wiringError)) {
            error = wiringError.toStdString();
            return;
        }
        JackTestClient::letConnectionsSettle();
        // Something must have come through both ways before measuring starts.
        const midiMessage_t hello = {0xB0, 20, 1};
        const bool through = JackTestClient::retryUntil(
            [&] { keys->send(hello); }, [&] { return synth->count(0) > 0 && synth->count(1) > 0; });
        if (!through)
            error = "nothing came through the program or the direct connection";
    }

    void tearDown()
    {
        setup.reset();
        MIDIPortIOManager::GetInstance()->removeAllPortRequirements();
        keys.reset();
        synth.reset();
        graph.reset();
    }
};

LatencyRig& rig()
{
    return sharedRig<LatencyRig>();
}

// The frame each probe message arrived at on the port; -1 when it did not.
std::vector<std::int64_t> arrivalFrames(const JackFrameSink& sink, int port, int count)
{
    std::vector<std::int64_t> frames(size_t(count), -1);
    for (const JackFrameSink::Arrival& arrival : sink.arrivals(port)) {
        const int index = ProbeNotes::indexOf(midiMessage_t(arrival.bytes, arrival.bytes + arrival.size));
        if (index >= 0 && index < count)
            frames[size_t(index)] = arrival.frame;
    }
    return frames;
}

// state.range(0) notes (a note on and a note off each) at uneven intervals of 3 to 9 ms.
void BM_JackLatency(benchmark::State& state)
{
    LatencyRig& theRig = rig();
    if (!theRig.error.empty()) {
        state.SkipWithError(theRig.error.c_str());
        return;
    }
    const int count = 2 * static_cast<int>(state.range(0));
    const double period = theRig.graph->periodMs();
    const double framesPerPeriod = theRig.graph->framesPerPeriod();
    state.SetLabel(benchApi().toStdString());
    std::vector<double> direct;
    std::vector<double> routed;
    std::vector<double> extraPeriods;
    int lost = 0;
    for (auto _ : state) {
        theRig.synth->clear();
        std::vector<std::uint32_t> sentFrames(size_t(count), 0);
        std::mt19937 random(17);
        std::uniform_real_distribution<double> gap(3.0, 9.0);
        for (int i = 0; i < count; ++i) {
            sentFrames[size_t(i)] = theRig.graph->frameTime();
            theRig.keys->send(ProbeNotes::messageAt(i));
            std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(gap(random)));
        }
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while ((theRig.synth->count(0) < count || theRig.synth->count(1) < count) &&
               std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        const std::vector<std::int64_t> directFrames = arrivalFrames(*theRig.synth, 0, count);
        const std::vector<std::int64_t> routedFrames = arrivalFrames(*theRig.synth, 1, count);
        for (int i = 0; i < count; ++i) {
            if (directFrames[size_t(i)] < 0 || routedFrames[size_t(i)] < 0) {
                ++lost;
                continue;
            }
            const auto sinceSend = [&](std::int64_t frame) {
                return double(std::int32_t(std::uint32_t(frame) - sentFrames[size_t(i)])) * period /
                       framesPerPeriod;
            };
            direct.push_back(sinceSend(directFrames[size_t(i)]));
            routed.push_back(sinceSend(routedFrames[size_t(i)]));
            extraPeriods.push_back(double(routedFrames[size_t(i)] - directFrames[size_t(i)]) /
                                   framesPerPeriod);
        }
    }
    const SampleSummary directSummary = SampleSummary::of(direct);
    const SampleSummary routedSummary = SampleSummary::of(routed);
    const SampleSummary extraSummary = SampleSummary::of(extraPeriods);
    state.counters["period_ms"] = period;
    state.counters["direct_med_ms"] = directSummary.median;
    state.counters["direct_p99_ms"] = directSummary.p99;
    state.counters["routed_med_ms"] = routedSummary.median;
    state.counters["routed_p99_ms"] = routedSummary.p99;
    state.counters["extra_med_periods"] = extraSummary.median;
    state.counters["extra_p99_periods"] = extraSummary.p99;
    state.counters["measured"] = directSummary.count;
    state.counters["lost"] = lost;
    if (directSummary.count == 0)
        state.SkipWithError("no note arrived both ways");
    else if (lost * 10 > count)
        state.SkipWithError("more than a tenth of the notes were lost on the way");
}

} // namespace

BENCHMARK(BM_JackLatency)->Arg(200)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);
