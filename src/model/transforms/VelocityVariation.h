#pragma once

#include "model/transforms/MIDIDataTransform.h"

#include <atomic>
#include <cstdint>

/// "Velocity Variation": adds a random offset to the velocity of every note on. byte1 is the
/// amount (default 10), byte2 the variation type (default above and below). With amount a and r
/// a random number from 0 to a − 1, the velocity v becomes v + r (above), v − r (below) or
/// v − a / 2 + r (above and below). The result is clamped to 1 to 127, so a note on never turns
/// into a note off and never carries a data byte above 127.
///
/// Random numbers come from a generator kept by each transform, whose state is one atomic word
/// advanced with a single atomic add: no shared global state, no lock, no allocation.
class VelocityVariation : public MIDIDataTransform
{
    Q_OBJECT

public:
    enum VariationType : int
    {
        VaryAbove = 0,
        VaryBelow = 1,
        VaryAboveAndBelow = 2,
    };
    Q_ENUM(VariationType)

    /// Starts with the amount 10, above and below, and a generator seeded at random.
    explicit VelocityVariation(QObject* parent);

    /// byte1. Any thread.
    BYTE getVariationAmount() const { return getByte1(); }
    /// Sets byte1 (0 to 127). GUI thread only.
    void setVariationAmount(BYTE amount) { setByte1(amount); }
    /// byte2 as a type; a stored value outside the enumeration leaves velocities unvaried. Any
    /// thread.
    VariationType getVariationType() const { return static_cast<VariationType>(getByte2()); }
    /// Sets byte2. GUI thread only.
    void setVariationType(VariationType type) { setByte2(static_cast<BYTE>(type)); }

    /// Restarts the generator from the seed, giving a repeatable sequence. Any thread.
    void seedRandomGenerator(std::uint64_t seed);

    /// "Vary Velocities By 10 Above and Below"; never marked bypassed.
    QString getDescriptionString() const override;
    /// MIDI thread: no allocation, no blocking.
    void transformThisIfYouCan(midiMessage_t* message, midiMessageList_t* messages) override;

private:
    static BYTE _clampToVelocityRange(int velocity);
    /// The next 64-bit random number. Any thread: lock free.
    std::uint64_t _nextRandom();

    std::atomic<std::uint64_t> _randomState{0};
};
