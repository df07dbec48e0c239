// A player switching sounds as fast as possible: 10,000 random keyswitches and program changes
// interleaved with random notes and sustain pedal moves (seeded, so every run plays the same), then
// every key and pedal released. A port that only counts follows what each synthesizer would still
// be sounding; anything left is a hanging note, and the benchmark fails.
#include "harness/AllocationCounter.h"
#include "harness/BenchMain.h"
#include "harness/CountingRig.h"
#include "model/initializers/InitializerRegistry.h"
#include "model/initializers/ProgChgInitializer.h"
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "model/transforms/BuiltInTransforms.h"
#include "model/transforms/MIDIDataTransform.h"

#include <QStringList>
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

const QString kKeys = QStringLiteral("Keys");
const QStringList kSynths = {QStringLiteral("SynthA"), QStringLiteral("SynthB"), QStringLiteral("SynthC")};
constexpr int kSwitches = 10000;
constexpr int kOutputsPerInput = 4;
constexpr BYTE kFirstKeyswitch = 24;
constexpr int kMaxHeldKeys = 16;

// Two inputs on "Keys": channel 1 switches between four outputs by keyswitch (notes 24 to 27),
// channel 2 between four outputs by program change (0 to 3). Every output has two patches on
// different synth ports and channels, each transposing by its own amount and sending a program
// change when its output comes up.
struct SwitchStormRig : CountingRig
{

    void build()
    {
        if (!installBackend(kKeys, kSynths))
            return;
        setup = std::make_unique<MIDIRoutingSetup>(QStringLiteral("Storm"), nullptr);
        const int transposes[] = {0, 7, -12, 12, 5, -5, 3, 24};
        for (int input = 0; input < 2; ++input) {
            MIDIRoute* route = setup->createNewMIDIRoute(false);
            route->setMIDIInputPortName(kKeys);
            route->setMIDIChannel(BYTE(input));
            route->setOutputActivationMethod(input == 0 ? MIDIRoute::kKeyswitchActivation
                                                        : MIDIRoute::kProgramChangeActivation);
            route->setOutputActivationSpecificity(MIDIRoute::kSpecificValue);
            while (route->getNumMIDIOutputs() < kOutputsPerInput)
                route->createNewMIDIOutput(false);
            for (int o = 0; o < kOutputsPerInput; ++o) {
                MIDIOutput* output = route->getMIDIOutputAtIndex(o);
                output->setMainActivationValue(BYTE(input == 0 ? kFirstKeyswitch + o : o));
                while (output->getNumMIDIPatchTargets() < 2)
                    output->createNewMIDIPatchTarget(false, kSynths.at(0));
                for (int p = 0; p < 2; ++p) {
                    MIDIPatchTarget* patch = output->getMIDIPatchTargetAtIndex(p);
                    patch->setMIDIOutputPortName(kSynths.at((o + p + input) % kSynths.size()));
                    patch->setMIDIChannel(BYTE(8 * input + 2 * o + p));
                    MIDIDataTransform* transpose =
                        patch->createNewMIDIDataTransform(QStringLiteral("Transpose"));
                    if (!transpose) {
                        error = "the Transpose transform is not registered";
                        return;
                    }
                    transpose->setInt1(transposes[(o * 2 + p + input) % 8]);
                    patch->addMIDIPatchInitializer(createPCInitializer(BYTE(10 * input + o), nullptr));
                }
            }
            route->getMIDIOutputAtIndex(0)->setActive(true);
        }
        backend->setFollowingNotes(true);
    }
};

SwitchStormRig& rig()
{
    return sharedRig<SwitchStormRig>();
}

struct HeldKey
{
    BYTE channel;
    BYTE note;
};

// Plays the storm for one seed; counts what was played.
struct Storm
{
    SwitchStormRig& rig;
    std::mt19937 random;
    std::vector<HeldKey> held;
    midiMessage_t message;
    long messages = 0;
    long switches = 0;
    long notes = 0;
    long pedals = 0;
    bool pedalDown[2] = {false, false};

    Storm(SwitchStormRig& stormRig, unsigned seed) : rig(stormRig), random(seed)
    {
        held.reserve(kMaxHeldKeys);
        message.reserve(3);
    }

    int below(int bound) { return static_cast<int>(random() % static_cast<unsigned>(bound)); }

    void play(BYTE status, BYTE data1, BYTE data2, bool twoBytes = false)
    {
        message.clear();
        message.push_back(status);
        message.push_back(data1);
        if (!twoBytes)
            message.push_back(data2);
        rig.backend->play(rig.keys, &message);
        ++messages;
    }

    void pressKey()
    {
        const BYTE channel = BYTE(below(2));
        const BYTE note = BYTE(36 + below(61));
        for (const HeldKey& key : held) {
            if (key.channel == channel && key.note == note)
                return; // a key already down cannot be pressed again
        }
        play(BYTE(0x90 | channel), note, BYTE(1 + below(127)));
        held.push_back({channel, note});
        ++notes;
    }

    void releaseKey(size_t index)
    {
        const HeldKey key = held[index];
        held.erase(held.begin() + static_cast<long>(index));
        // Half the keyboards send note on with velocity 0, half a note off.
        if (below(2) == 0)
            play(BYTE(0x80 | key.channel), key.note, 64);
        else
            play(BYTE(0x90 | key.channel), key.note, 0);
    }

    void switchSound()
    {
        if (below(2) == 0) {
            const BYTE keyswitch = BYTE(kFirstKeyswitch + below(kOutputsPerInput));
            play(0x90, keyswitch, 100);
            play(0x80, keyswitch, 0);
        } else {
            play(0xC1, BYTE(below(kOutputsPerInput)), 0, true);
        }
        ++switches;
    }

    void movePedal()
    {
        const int channel = below(2);
        pedalDown[channel] = !pedalDown[channel];
        play(BYTE(0xB0 | channel), 64, pedalDown[channel] ? 127 : 0);
        ++pedals;
    }

    void run()
    {
        while (switches < kSwitches) {
            const int roll = below(100);
            if (roll < 25)
                switchSound();
            else if (roll < 60 && held.size() < static_cast<size_t>(kMaxHeldKeys))
                pressKey();
            else if (roll < 90 && !held.empty())
                releaseKey(static_cast<size_t>(below(static_cast<int>(held.size()))));
            else
                movePedal();
        }
        while (!held.empty())
            releaseKey(held.size() - 1);
        for (int channel = 0; channel < 2; ++channel) {
            if (pedalDown[channel]) {
                pedalDown[channel] = false;
                play(BYTE(0xB0 | channel), 64, 0);
                ++pedals;
            }
        }
    }
};

void BM_SwitchStorm(benchmark::State& state)
{
    SwitchStormRig& theRig = rig();
    if (!theRig.error.empty()) {
        state.SkipWithError(theRig.error.c_str());
        return;
    }
    const unsigned seed = static_cast<unsigned>(state.range(0));
    int notesLeft = 0;
    int pedalsLeft = 0;
    long synthNoteOns = 0;
    QString left;
    for (auto _ : state) {
        theRig.backend->reset();
        Storm storm(theRig, seed);
        const std::uint64_t allocationsBefore = AllocationCounter::allocations();
        const auto start = std::chrono::steady_clock::now();
        storm.run();
        const auto elapsed = std::chrono::steady_clock::now() - start;
        const std::uint64_t allocations = AllocationCounter::allocations() - allocationsBefore;

        notesLeft = 0;
        pedalsLeft = 0;
        synthNoteOns = 0;
        QStringList ports;
        for (const QString& synth : kSynths) {
            const SynthNoteState& heard = theRig.backend->noteState(theRig.backend->outputIndex(synth));
            notesLeft += heard.notesSounding();
            pedalsLeft += heard.pedalsDown();
            synthNoteOns += heard.noteOnsHeard();
            if (!heard.describe().isEmpty())
                ports << synth + QStringLiteral(": ") + heard.describe();
        }
        left = ports.join(QStringLiteral("; "));

        const double played = static_cast<double>(storm.messages);
        state.counters["switches"] = static_cast<double>(storm.switches);
        state.counters["notes"] = static_cast<double>(storm.notes);
        state.counters["pedals"] = static_cast<double>(storm.pedals);
        state.counters["messages"] = played;
        state.counters["ns_per_msg"] = std::chrono::duration<double, std::nano>(elapsed).count() / played;
        state.counters["allocs_per_msg"] = static_cast<double>(allocations) / played;
    }
    state.counters["synth_note_ons"] = static_cast<double>(synthNoteOns);
    state.counters["notes_left"] = notesLeft;
    state.counters["pedals_left"] = pedalsLeft;
    if (synthNoteOns == 0) {
        state.SkipWithError("no note reached any synth port: the storm played into nothing");
    } else if (notesLeft > 0 || pedalsLeft > 0) {
        const std::string text =
            QStringLiteral("%1 note(s) and %2 pedal(s) left sounding after releasing all keys: %3")
                .arg(notesLeft)
                .arg(pedalsLeft)
                .arg(left)
                .toStdString();
        state.SkipWithError(text.c_str());
    }
}

} // namespace

BENCHMARK(BM_SwitchStorm)->Arg(4711)->Arg(20240611)->Iterations(1)->Unit(benchmark::kMillisecond);
