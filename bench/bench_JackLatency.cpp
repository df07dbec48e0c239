// How much later a note arrives when it goes through the program than when it goes straight from
// the keyboard to the synthesizer, on a private JACK server. A test client's source feeds both the
// program's input (a setup built here: one input, one output, one patch; on the native JACK backend,
// or on RtMidi's JACK path when QUORVELL_BENCH_MIDI_API is "jack-rtmidi")
// and, wired directly, a sink of the same client; the program's patch sends to a second sink. Each
// note's send and both arrivals are timed on one clock.
#include "harness/BenchMain.h"
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
    std::unique_ptr<JackTestClient> keys;  // source "out" and the direct sink "direct"
    std::unique_ptr<JackTestClient> synth; // the sink the program sends to
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
                                                QStringLiteral("direct"));
        synth = std::make_unique<JackTestClient>(QStringLiteral("QvLatencySynth"), QString(),
                                                 QStringLiteral("in"));
        for (const JackTestClient* client : {keys.get(), synth.get()}) {
            if (!client->isValid()) {
                error = client->errorText().toStdString();
                return;
            }
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
            !patch->setMIDIOutputPortName(synth->sinkPortName())) {
            error = "the program does not list the test client's ports";
            return;
        }
        QString wiringError;
        if (!graph->connectPorts(keys->sourcePortName(), keys->sinkPortName(), &wiringError)) {
            error = wiringError.toStdString();
            return;
        }
        JackTestClient::letConnectionsSettle();
        // Something must have come through both ways before measuring starts.
        const midiMessage_t hello = {0xB0, 20, 1};
        const bool through = JackTestClient::retryUntil(
            [&] { keys->send(hello); },
            [&] { return keys->receivedCount() > 0 && synth->receivedCount() > 0; });
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
    static LatencyRig* theRig = [] {
        auto* made = new LatencyRig;
        made->build();
        runAtBenchmarkExit([made] {
            made->tearDown();
            delete made;
        });
        return made;
    }();
    return *theRig;
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
    state.SetLabel(benchApi().toStdString());
    std::vector<double> direct;
    std::vector<double> routed;
    std::vector<double> extraPeriods;
    int lost = 0;
    for (auto _ : state) {
        theRig.keys->clearReceived();
        theRig.synth->clearReceived();
        std::vector<ProbeNotes::Clock::time_point> sent;
        std::atomic<bool> sending{true};
        std::thread player([&] {
            sent = ProbeNotes::sendSpaced(*theRig.keys, count, 17, 3.0, 9.0);
            sending.store(false);
        });
        ProbeNotes::runEventLoopUntil(
            [&] {
                return !sending.load() && theRig.keys->receivedCount() >= count &&
                       theRig.synth->receivedCount() >= count;
            },
            count * 10 + 3000);
        player.join();
        // Whatever is still under way after the wait is lost.
        const std::vector<double> directMs = ProbeNotes::latenciesMs(sent, theRig.keys->receivedMessages());
        const std::vector<double> routedMs = ProbeNotes::latenciesMs(sent, theRig.synth->receivedMessages());
        for (size_t i = 0; i < sent.size(); ++i) {
            if (directMs[i] < 0 || routedMs[i] < 0) {
                ++lost;
                continue;
            }
            direct.push_back(directMs[i]);
            routed.push_back(routedMs[i]);
            extraPeriods.push_back((routedMs[i] - directMs[i]) / period);
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
