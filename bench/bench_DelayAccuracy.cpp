// How close a patch's constant delay comes to what it promises, heard at the synthesizer: one
// output with three patches on three sinks of a private JACK server, one undelayed, one delayed
// 10 ms and one 100 ms. The error of a delayed note is its arrival after the undelayed copy of the
// same note, less the delay. Since a message handed to a JACK port goes out at the start of the
// next period, that error is the program's own one (the release error: when the delayed copy was
// handed to its port after the undelayed one, less the delay) plus up to a period either way; the
// release error is reported too. Delayed notes are released by timers on the main thread, so its
// Qt event loop runs while the notes are played.
#include "harness/BenchMain.h"
#include "harness/JackGraph.h"
#include "harness/ProbeNotes.h"
#include "harness/SampleSummary.h"
#include "harness/SendTimingMIDIBackend.h"
#include "midi/MIDIBackend.h"
#include "midi/MIDIPortIOManager.h"
#include "midi/MIDIPortInfo.h"
#include "midi/RtMidiBackend.h"
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

constexpr std::array<int, 2> kDelaysMs = {10, 100};

struct DelayRig
{
    std::unique_ptr<JackGraph> graph;
    std::unique_ptr<JackTestClient> keys;
    std::unique_ptr<JackTestClient> undelayed;
    std::array<std::unique_ptr<JackTestClient>, kDelaysMs.size()> delayed;
    std::unique_ptr<MIDIRoutingSetup> setup;
    SendTimingMIDIBackend* backend = nullptr;
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
        RtMidiBackend::setPreferredApi(QStringLiteral("jack"));
        keys =
            std::make_unique<JackTestClient>(QStringLiteral("QvDelayKeys"), QStringLiteral("out"), QString());
        undelayed =
            std::make_unique<JackTestClient>(QStringLiteral("QvDelay0"), QString(), QStringLiteral("in"));
        for (size_t i = 0; i < kDelaysMs.size(); ++i) {
            delayed[i] = std::make_unique<JackTestClient>(QStringLiteral("QvDelay%1").arg(kDelaysMs[i]),
                                                          QString(), QStringLiteral("in"));
        }
        for (const JackTestClient* client : clients()) {
            if (!client->isValid()) {
                error = client->errorText().toStdString();
                return;
            }
        }
        backend = SendTimingMIDIBackend::install(std::make_unique<RtMidiBackend>());
        if (!backend) {
            error = "the MIDI backend was already in use";
            return;
        }
        if (MIDIBackend::GetInstance()->getApiName() != QStringLiteral("JACK")) {
            error = "the program did not get RtMidi's JACK backend";
            return;
        }
        setup = std::make_unique<MIDIRoutingSetup>(QStringLiteral("Delays"), nullptr);
        MIDIRoute* route = setup->createNewMIDIRoute(false);
        route->setMIDIChannel(MIDIRoute::kAnyChannel);
        bool listed = route->setMIDIInputPortName(keys->sourcePortName());
        MIDIOutput* output = route->getMIDIOutputAtIndex(0);
        MIDIPatchTarget* plain = output->getMIDIPatchTargetAtIndex(0);
        listed = plain->setMIDIOutputPortName(undelayed->sinkPortName()) && listed;
        plain->setMIDIChannel(MIDIPatchTarget::kAnyChannel);
        for (size_t i = 0; i < kDelaysMs.size(); ++i) {
            MIDIPatchTarget* patch = output->createNewMIDIPatchTarget(false, delayed[i]->sinkPortName());
            listed = patch->getMIDIOutputPortName() == delayed[i]->sinkPortName() && listed;
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
                                                            for (size_t i = 0; i < kDelaysMs.size(); ++i) {
                                                                if (delayed[i]->receivedCount() == 0)
                                                                    return false;
                                                            }
                                                            return undelayed->receivedCount() > 0;
                                                        });
        if (!through)
            error = "nothing came through all three patches";
    }

    std::vector<JackTestClient*> clients() const
    {
        std::vector<JackTestClient*> all = {keys.get(), undelayed.get()};
        for (const auto& client : delayed)
            all.push_back(client.get());
        return all;
    }

    void tearDown()
    {
        setup.reset();
        MIDIPortIOManager::GetInstance()->removeAllPortRequirements();
        keys.reset();
        undelayed.reset();
        for (auto& client : delayed)
            client.reset();
        graph.reset();
    }
};

DelayRig& rig()
{
    static DelayRig* theRig = [] {
        auto* made = new DelayRig;
        made->build();
        runAtBenchmarkExit([made] {
            made->tearDown();
            delete made;
        });
        return made;
    }();
    return *theRig;
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
    std::array<std::vector<double>, kDelaysMs.size()> errors;
    std::array<std::vector<double>, kDelaysMs.size()> releaseErrors;
    int lost = 0;
    const MIDIPortInfo* ports = MIDIPortInfo::GetInstance();
    const int undelayedPort = ports->getIndexOfOutputPortNamed(theRig.undelayed->sinkPortName());
    for (auto _ : state) {
        for (JackTestClient* client : theRig.clients())
            client->clearReceived();
        theRig.backend->clearSendTimes();
        std::vector<ProbeNotes::Clock::time_point> sent;
        std::atomic<bool> sending{true};
        std::thread player([&] {
            sent = ProbeNotes::sendSpaced(*theRig.keys, count, 29, 8.0, 20.0);
            sending.store(false);
        });
        // The main thread's event loop releases the delayed notes meanwhile.
        ProbeNotes::runEventLoopUntil(
            [&] {
                if (sending.load() || theRig.undelayed->receivedCount() < count)
                    return false;
                for (const auto& client : theRig.delayed) {
                    if (client->receivedCount() < count)
                        return false;
                }
                return true;
            },
            count * 25 + 3000);
        player.join();
        const std::vector<double> reference =
            ProbeNotes::latenciesMs(sent, theRig.undelayed->receivedMessages());
        for (size_t d = 0; d < kDelaysMs.size(); ++d) {
            const std::vector<double> late =
                ProbeNotes::latenciesMs(sent, theRig.delayed[d]->receivedMessages());
            const int delayedPort = ports->getIndexOfOutputPortNamed(theRig.delayed[d]->sinkPortName());
            for (int i = 0; i < count; ++i) {
                const std::int64_t releasedNs = theRig.backend->sendTimeNs(delayedPort, i);
                const std::int64_t sentNs = theRig.backend->sendTimeNs(undelayedPort, i);
                if (releasedNs >= 0 && sentNs >= 0)
                    releaseErrors[d].push_back(static_cast<double>(releasedNs - sentNs) / 1e6 - kDelaysMs[d]);
            }
            for (size_t i = 0; i < sent.size(); ++i) {
                if (reference[i] < 0 || late[i] < 0) {
                    ++lost;
                    continue;
                }
                errors[d].push_back(late[i] - reference[i] - kDelaysMs[d]);
            }
        }
    }
    state.counters["period_ms"] = theRig.graph->periodMs();
    int measured = 0;
    for (size_t d = 0; d < kDelaysMs.size(); ++d) {
        const SampleSummary summary = SampleSummary::of(errors[d]);
        const std::string name = "err" + std::to_string(kDelaysMs[d]);
        state.counters[name + "_med_ms"] = summary.median;
        state.counters[name + "_max_ms"] = summary.maximumMagnitude;
        measured += summary.count;
        const SampleSummary release = SampleSummary::of(releaseErrors[d]);
        const std::string releaseName = "release" + std::to_string(kDelaysMs[d]);
        state.counters[releaseName + "_med_ms"] = release.median;
        state.counters[releaseName + "_max_ms"] = release.maximumMagnitude;
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
