// A set list's song change on the native JACK backend, with songs of 50 inputs x 20 outputs x 4
// patches: how long from the foot switch's frame to the first note the new song routes (the aim:
// the same period), and how much memory a 40-song list takes with the songs around the current
// one read ahead (heap in use, the list and its three setups held). A keyboard client sends a note of the old
// song, the foot switch and a note of the new song in one burst; a frame-exact sink notes when the old song's
// note reaches its synth and when the new song's first note reaches the new song's synth.
#include "harness/BenchMain.h"
#include "harness/JackFrameSink.h"
#include "harness/JackGraph.h"
#include "harness/NativeJackClients.h"
#include "harness/SampleSummary.h"
#include "midi/MIDIBackend.h"
#include "midi/MIDIBackendChoice.h"
#include "midi/MIDIPortIOManager.h"
#include "model/initializers/InitializerRegistry.h"
#include "model/initializers/ProgChgInitializer.h"
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "model/routing/MIDIRoutingSetupManager.h"
#include "model/setlist/SetList.h"
#include "model/setlist/SetListPlayer.h"
#include "persistence/SetupFileReaderWriter.h"
#include "support/JackTestClient.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <malloc.h>
#include <memory>
#include <string>
#include <thread>

namespace {

constexpr int kInputs = 50;
constexpr int kOutputs = 20;
constexpr int kPatches = 4;

// Heap bytes in use (the allocator keeps freed memory, so the resident size would not show what a
// list takes once another has come and gone).
long long heapBytesInUse()
{
    const struct mallinfo2 info = ::mallinfo2();
    return static_cast<long long>(info.uordblks + info.hblkhd);
}

// The document of a song of kInputs inputs (channels 1 to 16 in turn) on `keys`, each with
// kOutputs outputs of kPatches patches sending to `synth`, each patch with a program change.
QByteArray bigSong(const QString& keys, const QString& synth, int program)
{
    MIDIRoutingSetup setup(QStringLiteral("Big"), nullptr);
    for (int r = 0; r < kInputs; ++r) {
        MIDIRoute* route = setup.createNewMIDIRoute(false);
        route->setMIDIInputPortName(keys);
        route->setMIDIChannel(BYTE(r % 16));
        while (route->getNumMIDIOutputs() < kOutputs)
            route->createNewMIDIOutput(false);
        for (int o = 0; o < kOutputs; ++o) {
            MIDIOutput* output = route->getMIDIOutputAtIndex(o);
            output->setMainActivationValue(BYTE(o));
            while (output->getNumMIDIPatchTargets() < kPatches)
                output->createNewMIDIPatchTarget(false, synth);
            for (int p = 0; p < kPatches; ++p) {
                MIDIPatchTarget* patch = output->getMIDIPatchTargetAtIndex(p);
                patch->setMIDIOutputPortName(synth);
                patch->setMIDIChannel(MIDIPatchTarget::kAnyChannel);
                patch->addMIDIPatchInitializer(createPCInitializer(BYTE(program), nullptr));
            }
        }
    }
    return SetupFileReaderWriter::setupDocumentBytes(&setup);
}

bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The frame of the first arrival with these two bytes, -1 when none.
std::int64_t firstFrameOf(const JackFrameSink& sink, int port, std::uint8_t status, std::uint8_t data)
{
    for (const JackFrameSink::Arrival& arrival : sink.arrivals(port)) {
        if (arrival.size == 3 && arrival.bytes[0] == status && arrival.bytes[1] == data)
            return arrival.frame;
    }
    return -1;
}

struct SongChangeRig : NativeJackClients
{
    std::unique_ptr<JackGraph> graph;
    QTemporaryDir dir;
    QByteArray songA;
    QByteArray songB;
    std::unique_ptr<SetList> list;
    std::unique_ptr<SetListPlayer> player;
    std::string error;

    void build()
    {
        error = open(QStringLiteral("QvSongKeys"), QStringLiteral("QvSongSynth"));
        if (!error.empty())
            return;
        graph = std::make_unique<JackGraph>();
        registerBuiltInInitializers();
        songA = bigSong(keys->sourcePortName(), synth->portName(0), 1);
        songB = bigSong(keys->sourcePortName(), synth->portName(1), 2);
    }

    // A list of `songs` songs, A and B in turn, with the foot switch (controller 80) for next and
    // note 21 for previous; playing from the first.
    bool play(int songs)
    {
        player.reset();
        list = std::make_unique<SetList>(QStringLiteral("Bench"));
        for (int i = 0; i < songs; ++i) {
            const QString path = dir.filePath(QStringLiteral("song%1.ms").arg(i));
            if (!QFile::exists(path) && !writeBytes(path, i % 2 == 0 ? songA : songB))
                return false;
            list->addSong(SetListSong(QStringLiteral("Song %1").arg(i + 1), path));
        }
        const QString port = keys->sourcePortName();
        list->setTriggers({SetListTrigger(SetListTrigger::Action::Next, port, SetListTrigger::kAnyChannel,
                                          SetListTrigger::MessageType::Controller, 80),
                           SetListTrigger(SetListTrigger::Action::Previous, port, SetListTrigger::kAnyChannel,
                                          SetListTrigger::MessageType::Note, 21)});
        player = std::make_unique<SetListPlayer>(list.get());
        return player->start();
    }

    // Lets the GUI side finish the change (read the songs around the new one ahead).
    bool settle(int expectedSong)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (std::chrono::steady_clock::now() < deadline) {
            QCoreApplication::processEvents();
            player->processPendingWork();
            if (player->getCurrentSongIndex() == expectedSong && !player->isChangeInProgress())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return false;
    }

    void tearDown()
    {
        player.reset();
        list.reset();
        MIDIPortIOManager::GetInstance()->removeAllPortRequirements();
        close();
        graph.reset();
    }
};

SongChangeRig& rig()
{
    return sharedRig<SongChangeRig>();
}

void BM_SongChangeToFirstNote(benchmark::State& state)
{
    SongChangeRig& theRig = rig();
    if (!theRig.error.empty() || !theRig.play(2) || !theRig.settle(0)) {
        state.SkipWithError(theRig.error.empty() ? "the set list did not play" : theRig.error.c_str());
        return;
    }
    JackTestClient::letConnectionsSettle();
    const int period = theRig.graph->framesPerPeriod();
    std::vector<double> milliseconds;
    std::vector<double> periods;
    int song = 0;
    for (auto _ : state) {
        theRig.synth->clear();
        const int oldPort = song;
        const int newPort = 1 - song;
        // The old song's note, the trigger, the new song's first note: one burst.
        theRig.keys->send({0x90, 60, 90});
        if (song == 0) {
            theRig.keys->send({0xB0, 80, 127});
        } else {
            theRig.keys->send({0x90, 21, 100});
        }
        theRig.keys->send({0x90, 62, 90});
        song = newPort;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        std::int64_t oldFrame = -1;
        std::int64_t newFrame = -1;
        while ((oldFrame < 0 || newFrame < 0) && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            oldFrame = firstFrameOf(*theRig.synth, oldPort, 0x90, 60);
            newFrame = firstFrameOf(*theRig.synth, newPort, 0x90, 62);
        }
        theRig.keys->send({0x80, 60, 0});
        theRig.keys->send({0x80, 62, 0});
        theRig.keys->send({0xB0, 80, 0});
        theRig.keys->send({0x80, 21, 0});
        if (oldFrame < 0 || newFrame < 0 || !theRig.settle(song)) {
            state.SkipWithError("a note or the change did not come through");
            return;
        }
        milliseconds.push_back(theRig.synth->msBetween(oldFrame, newFrame));
        periods.push_back(double(newFrame / period - oldFrame / period));
    }
    const SampleSummary ms = SampleSummary::of(milliseconds);
    const SampleSummary cycles = SampleSummary::of(periods);
    state.counters["median_ms"] = ms.median;
    state.counters["p99_ms"] = ms.p99;
    state.counters["max_ms"] = ms.maximum;
    state.counters["max_periods_later"] = cycles.maximum;
    state.counters["period_frames"] = period;
    theRig.player->stop();
}

void BM_SetListMemory(benchmark::State& state)
{
    SongChangeRig& theRig = rig();
    if (!theRig.error.empty()) {
        state.SkipWithError(theRig.error.c_str());
        return;
    }
    const int songs = int(state.range(0));
    double heldBytes = 0;
    int held = 0;
    for (auto _ : state) {
        theRig.player.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        const long long before = heapBytesInUse();
        // On the second song: it, and the first and third read ahead.
        if (!theRig.play(songs) || !theRig.settle(0)) {
            state.SkipWithError("the set list did not play");
            return;
        }
        theRig.player->nextSong();
        if (!theRig.settle(1)) {
            state.SkipWithError("the change did not happen");
            return;
        }
        heldBytes = double(heapBytesInUse() - before);
        held = theRig.player->getNumHeldSetups();
        theRig.player->stop();
    }
    state.counters["songs"] = songs;
    state.counters["setups_held"] = held;
    state.counters["MiB_playing"] = heldBytes / (1024.0 * 1024.0);
    state.counters["MiB_per_setup_held"] = held > 0 ? heldBytes / held / (1024.0 * 1024.0) : 0;
}

} // namespace

BENCHMARK(BM_SongChangeToFirstNote)->Iterations(40)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SetListMemory)->Arg(40)->Iterations(2)->UseRealTime()->Unit(benchmark::kMillisecond);
