#include "model/transforms/VelocityVariation.h"

#include "model/MIDIMessage.h"
#include "model/transforms/TransformTypeNames.h"

#include <QRandomGenerator>
#include <algorithm>

namespace {

constexpr std::uint64_t kGoldenGamma = 0x9E3779B97F4A7C15ULL;

} // namespace

VelocityVariation::VelocityVariation(QObject* parent)
    : MIDIDataTransform(TransformTypeNames::VelocityVariation, parent)
{
    setVariationAmount(10);
    setVariationType(VaryAboveAndBelow);
    seedRandomGenerator(QRandomGenerator::global()->generate64());
}

void VelocityVariation::seedRandomGenerator(std::uint64_t seed)
{
    _randomState.store(seed, std::memory_order_relaxed);
}

// A split-mix sequence: each call claims its own step of the state with one atomic add and
// scrambles it, so concurrent callers never share a number and never wait.
std::uint64_t VelocityVariation::_nextRandom()
{
    std::uint64_t z = _randomState.fetch_add(kGoldenGamma, std::memory_order_relaxed) + kGoldenGamma;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

BYTE VelocityVariation::_clampToVelocityRange(int velocity)
{
    return static_cast<BYTE>(std::clamp(velocity, 1, 127));
}

QString VelocityVariation::getDescriptionString() const
{
    const BYTE amount = getVariationAmount();
    const char* direction = nullptr;
    switch (getVariationType()) {
    case VaryAbove:
        direction = "Above";
        break;
    case VaryBelow:
        direction = "Below";
        break;
    case VaryAboveAndBelow:
        direction = "Above and Below";
        break;
    }
    // A type outside the enumeration varies nothing, and the text says so.
    if (amount == 0 || direction == nullptr)
        return QStringLiteral("Velocity Variation - no variation");
    return QStringLiteral("Vary Velocities By ") + QString::number(amount) + QLatin1Char(' ') +
           QLatin1String(direction);
}

void VelocityVariation::transformThisIfYouCan(midiMessage_t* message, midiMessageList_t* /*messages*/)
{
    const int amount = getVariationAmount();
    if (amount == 0 || !isNoteOnMessage(message))
        return;
    const int r = static_cast<int>(_nextRandom() % static_cast<std::uint64_t>(amount));
    int velocity = getVelocity(message);
    switch (getByte2()) {
    case VaryAbove:
        velocity += r;
        break;
    case VaryBelow:
        velocity -= r;
        break;
    case VaryAboveAndBelow:
        velocity += r - amount / 2;
        break;
    default:
        break;
    }
    setVelocity(message, _clampToVelocityRange(velocity));
    _noteHandledAMessage();
}
