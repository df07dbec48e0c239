// How long the GUI thread can keep an incoming message waiting. An input's routing lock is taken by
// the MIDI thread for every message (inside the JACK cycle with the native backend) and by the GUI
// thread for the edits and commands that touch what the routing reads. This plays notes from a MIDI
// thread of its own while the GUI thread repeats its heaviest work under that lock, and reports how
// long each GUI operation took (all of it under the lock: an upper bound of the hold) and how long
// the messages took to get through, waiting included, against a baseline with the GUI idle.
//
// The setup is large on purpose: one input with 8 keyswitched outputs, each with 4 patches on
// 4 ports, each patch with 5 initializers and 3 transforms.
#include "harness/BenchMain.h"
#include "harness/CountingRig.h"
#include "harness/SampleSummary.h"
#include "model/initializers/InitializerRegistry.h"
#include "model/initializers/InitializerTypeNames.h"
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "model/transforms/BuiltInTransforms.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kOutputs = 8;
constexpr int kPatchesPerOutput = 4;
// One message every 50 µs, far denser than any player; the GUI repeats its operation every 20 µs
// or so for a second, so that thousands of messages meet it.
constexpr auto kPace = std::chrono::microseconds(50);
constexpr auto kGuiRest = std::chrono::microseconds(20);
constexpr auto kSpan = std::chrono::seconds(1);

const QString kKeys = QStringLiteral("Keys");
const QStringList kSynths = {QStringLiteral("SynthA"), QStringLiteral("SynthB"), QStringLiteral("SynthC"),
                             QStringLiteral("SynthD")};

struct LockRig : CountingRig
{
    MIDIRoute* route = nullptr;

    void build()
    {
        if (!installBackend(kKeys, kSynths))
            return;
        route = makeKeyswitchedInput(kKeys);
        for (int o = 0; o < kOutputs; ++o) {
            MIDIOutput* output = o == 0 ? route->getMIDIOutputAtIndex(0) : route->createNewMIDIOutput(false);
            output->setMainActivationValue(BYTE(24 + o));
            for (int p = 0; p < kPatchesPerOutput; ++p) {
                MIDIPatchTarget* patch = p == 0 ? output->getMIDIPatchTargetAtIndex(0)
                                                : output->createNewMIDIPatchTarget(false, kSynths.at(p));
                patch->setMIDIOutputPortName(kSynths.at(p));
                patch->setMIDIChannel(BYTE(p));
                if (!decorate(patch))
                    return;
            }
        }
        route->getMIDIOutputAtIndex(0)->setActive(true);
        if (route->getNumMIDIOutputs() != kOutputs)
            error = "the setup did not come out as built";
    }

    bool decorate(MIDIPatchTarget* patch)
    {
        using namespace InitializerTypeNames;
        for (const QString& type : {ProgramChange, Volume, CC, PitchBend, NoteOff}) {
            if (!patch->createNewMIDIPatchInitializer(type)) {
                error = "an initializer type is not registered";
                return false;
            }
        }
        for (const char* type : {"Transpose", "Velocity Map", "CC Map"}) {
            if (!patch->createNewMIDIDataTransform(QString::fromLatin1(type))) {
                error = "a transform type is not registered";
                return false;
            }
        }
        return true;
    }
};

LockRig& rig()
{
    return sharedRig<LockRig>();
}

double microseconds(Clock::duration duration)
{
    return std::chrono::duration<double, std::micro>(duration).count();
}

// Plays note on/off pairs from a thread of its own, paced, until told to stop, and keeps the time
// each message took to get through. The sample buffer is made before the thread starts.
class PacedPlayer
{
public:
    explicit PacedPlayer(LockRig& theRig) : _rig(theRig) { _samples.reserve(1 << 20); }

    void start()
    {
        _thread = std::thread([this] {
            midiMessage_t message{0x90, 60, 100};
            auto due = Clock::now();
            for (int i = 0; !_stop.load(std::memory_order_relaxed); ++i) {
                due += kPace;
                std::this_thread::sleep_until(due);
                message[0] = (i & 1) ? 0x80 : 0x90;
                message[1] = BYTE(48 + (i / 2) % 24);
                const auto before = Clock::now();
                _rig.backend->play(_rig.keys, &message);
                if (_samples.size() < _samples.capacity())
                    _samples.push_back(microseconds(Clock::now() - before));
            }
        });
    }
    std::vector<double> stop()
    {
        _stop.store(true);
        _thread.join();
        return std::move(_samples);
    }

private:
    LockRig& _rig;
    std::thread _thread;
    std::atomic<bool> _stop{false};
    std::vector<double> _samples;
};

// Repeats `operation` on the GUI thread for kSpan, with a short rest between repeats as a GUI has,
// while the MIDI thread plays, and reports both sides.
void measure(benchmark::State& state, const std::function<void(int)>& operation)
{
    LockRig& theRig = rig();
    if (!theRig.error.empty()) {
        state.SkipWithError(theRig.error.c_str());
        return;
    }
    for (auto _ : state) {
        PacedPlayer player(theRig);
        std::vector<double> guiTimes;
        guiTimes.reserve(1 << 16);
        player.start();
        const auto end = Clock::now() + kSpan;
        for (int i = 0; Clock::now() < end; ++i) {
            if (operation) {
                const auto before = Clock::now();
                operation(i);
                guiTimes.push_back(microseconds(Clock::now() - before));
            }
            std::this_thread::sleep_for(kGuiRest);
        }
        const SampleSummary midi = SampleSummary::of(player.stop());
        if (operation) {
            const SampleSummary gui = SampleSummary::of(guiTimes);
            state.counters["gui_ops"] = gui.count;
            state.counters["gui_op_us_median"] = gui.median;
            state.counters["gui_op_us_p99"] = gui.p99;
            state.counters["gui_op_us_max"] = gui.maximum;
        }
        state.counters["midi_msgs"] = midi.count;
        state.counters["midi_msg_us_median"] = midi.median;
        state.counters["midi_msg_us_p99"] = midi.p99;
        state.counters["midi_msg_us_max"] = midi.maximum;
    }
}

// The GUI thread idle: what a message costs when nothing else wants the lock.
void BM_LockHold_GuiIdle(benchmark::State& state)
{
    measure(state, nullptr);
}

// Switching outputs from the window: every patch of the new output sends its initializers.
void BM_LockHold_SwitchOutput(benchmark::State& state)
{
    measure(state, [](int i) { rig().route->getMIDIOutputAtIndex(i % kOutputs)->setActive(true); });
}

// The panic button: every patch of every output ends its notes and pedals on all 16 channels.
void BM_LockHold_Panic(benchmark::State& state)
{
    measure(state, [](int) { rig().route->panic(); });
}

// Ending the sounding notes of every output (an input switched away from, a setup closing).
void BM_LockHold_EndSoundingNotes(benchmark::State& state)
{
    measure(state, [](int) { rig().route->endSoundingNotes(); });
}

// A patch added to the active output and removed again: list edits under the lock.
void BM_LockHold_AddAndRemovePatch(benchmark::State& state)
{
    measure(state, [](int) {
        MIDIOutput* output = rig().route->getActiveMIDIOutput();
        if (MIDIPatchTarget* patch = output->createNewMIDIPatchTarget(false, kSynths.at(0)))
            output->removeMIDIPatchTarget(patch, true);
    });
}

// What the on-screen keyboard reads to show the sounding keys.
void BM_LockHold_ReadSoundingNotes(benchmark::State& state)
{
    measure(state,
            [](int) { benchmark::DoNotOptimize(rig().route->getActiveMIDIOutput()->getNotesSounding()); });
}

} // namespace

BENCHMARK(BM_LockHold_GuiIdle)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LockHold_SwitchOutput)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LockHold_Panic)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LockHold_EndSoundingNotes)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LockHold_AddAndRemovePatch)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LockHold_ReadSoundingNotes)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);
