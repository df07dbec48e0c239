// How close a patch's constant delay comes to what it promises, heard at the synthesizer: one
// output with three patches on three ports of a synthesizer stand-in on a private JACK server, one
// undelayed, one delayed 10 ms and one 100 ms. The stand-in notes the frame of the server's clock
// each message arrives at, so the error of a delayed note (its arrival after the undelayed copy of
// the same note, less the delay) is exact to the frame. On the native JACK backend the backend
// places delayed messages at their frame; on RtMidi's JACK path (QUORVELL_BENCH_MIDI_API set to
// "jack-rtmidi") timers on the main thread release them, so its Qt event loop runs while the notes
// are played, and a released message goes out at the start of the next period.
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

#include <QCoreApplication>
#include <benchmark/benchmark.h>

#include <array>
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

constexpr std::array<int, 2> kDelaysMs = {10, 100};

struct DelayRig
{
    std::unique_ptr<JackGraph> graph;
    std::unique_ptr<JackTestClient> keys;
    std::unique_ptr<JackFrameSink> synth; // port 0 undelayed, then one per delay
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
        keys =
            std::make_unique<JackTestClient>(QStringLiteral("QvDelayKeys"), QStringLiteral("out"), QString());
        synth = std::make_unique<JackFrameSink>(
            QStringLiteral("QvDelaySynth"),
            QStringList{QStringLiteral("plain"), QStringLiteral("late10"), QStringLiteral("late100")});
        if (!keys->isValid() || !synth->isValid()) {
            error = (keys->isValid() ? synth->errorText() : keys->errorText()).toStdString();
            return;
        }
        if (MIDIBackend::GetInstance()->getApiName() != QStringLiteral("JACK")) {
            error = "the program did not get a JACK backend";
            return;
        }
        setup = std::make_unique<MIDIRoutingSetup>(QStringLiteral("Delays"), nullptr);
        MIDIRoute* route = setup->createNewMIDIRoute(false);
        route->setMIDIChannel(MIDIRoute::kAnyChannel);
        bool listed = route->setMIDIInputPortName(keys->sourcePortName());
        MIDIOutput* output = route->getMIDIOutputAtIndex(0);
        MIDIPatchTarget* plain = output->getMIDIPatchTargetAtIndex(0);
        listed = plain->setMIDIOutputPortName(synth->portName(0)) && listed;
        plain->setMIDIChannel(MIDIPatchTarget::kAnyChannel);
        for (size_t i = 0; i < kDelaysMs.size(); ++i) {
            MIDIPatchTarget* patch = output->createNewMIDIPatchTarget(false, synth->portName(int(i) + 1));
            listed = patch->getMIDIOutputPortName() == synth->portName(int(i) + 1) && listed;
            patch->setMIDIChannel(MIDIPatchTarget::kAnyChannel);
            patch->setMessageDelayType(MIDIPatchTarget::kConstantDelay);
            patch->setMessageDelayInMillisecs(kDelaysMs[i]);
        }
        if (!listed) {
            error = "the program does not list the test clients' ports";
            return;
        }
        JackTestClient::letConnectionsSettle();
        const midiMessage_t hello = {0xB0, 20, 1};
        const bool through = JackTestClient::retryUntil([&] { keys->send(hello); },
                                                        [&] {
                                                            QCoreApplication::processEvents();
                                                            for (int port = 0; port < 3; ++port) {
                                                                if (synth->count(port) == 0)
                                                                    return false;
                                                            }
                                                            return true;
                                                        });
        if (!through)
            error = "nothing came through all three patches";
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

DelayRig& rig()
{
    return sharedRig<DelayRig>();
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

// state.range(0) notes (a note on and a note off each) at uneven intervals of 8 to 20 ms.
void BM_DelayAccuracy(benchmark::State& state)
{
    DelayRig& theRig = rig();
    if (!theRig.error.empty()) {
        state.SkipWithError(theRig.error.c_str());
        return;
    }
    const int count = 2 * static_cast<int>(state.range(0));
    state.SetLabel(benchApi().toStdString());
    std::array<std::vector<double>, kDelaysMs.size()> errors;
    int lost = 0;
    for (auto _ : state) {
        QCoreApplication::processEvents();
        theRig.synth->clear();
        std::atomic<bool> sending{true};
        std::thread player([&] {
            ProbeNotes::sendSpaced(*theRig.keys, count, 29, 8.0, 20.0);
            sending.store(false);
        });
        // The main thread's event loop releases the delayed notes meanwhile (RtMidi's path).
        ProbeNotes::runEventLoopUntil(
            [&] {
                if (sending.load())
                    return false;
                for (int port = 0; port < 3; ++port) {
                    if (theRig.synth->count(port) < count)
                        return false;
                }
                return true;
            },
            count * 25 + 3000);
        player.join();
        const std::vector<std::int64_t> reference = arrivalFrames(*theRig.synth, 0, count);
        for (size_t d = 0; d < kDelaysMs.size(); ++d) {
            const std::vector<std::int64_t> late = arrivalFrames(*theRig.synth, int(d) + 1, count);
            for (int i = 0; i < count; ++i) {
                if (reference[size_t(i)] < 0 || late[size_t(i)] < 0) {
                    ++lost;
                    continue;
                }
                errors[d].push_back(theRig.synth->msBetween(reference[size_t(i)], late[size_t(i)]) -
                                    kDelaysMs[d]);
            }
        }
    }
    state.counters["period_ms"] = theRig.graph->periodMs();
    int measured = 0;
    for (size_t d = 0; d < kDelaysMs.size(); ++d) {
        const SampleSummary summary = SampleSummary::of(errors[d]);
        const std::string name = "err" + std::to_string(kDelaysMs[d]);
        state.counters[name + "_med_ms"] = summary.median;
        state.counters[name + "_p99_ms"] = summary.p99;
        state.counters[name + "_max_ms"] = summary.maximumMagnitude;
        measured += summary.count;
    }
    state.counters["measured"] = measured;
    state.counters["lost"] = lost;
    if (measured == 0)
        state.SkipWithError("no delayed note arrived");
    else if (lost * 10 > count * static_cast<int>(kDelaysMs.size()))
        state.SkipWithError("more than a tenth of the delayed notes were lost on the way");
}

} // namespace

BENCHMARK(BM_DelayAccuracy)->Arg(80)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);
