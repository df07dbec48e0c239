#include "model/transforms/MessageInspector.h"

#include "model/MIDIMessage.h"
#include "model/ModelSignalPump.h"
#include "model/transforms/TransformTypeNames.h"

namespace {
// Room reserved per line up front, so a text usually takes one allocation.
constexpr qsizetype kTypicalLineLength = 48;
// Attempts to read a pass that the processing thread keeps rewriting; the next tick tries again.
constexpr int kReadAttempts = 8;

// A message of up to three bytes packed with its length in the top byte.
std::uint32_t pack(const midiMessage_t* message)
{
    const std::size_t size = std::min<std::size_t>(message->size(), 3);
    std::uint32_t packed = std::uint32_t(size) << 24;
    for (std::size_t i = 0; i < size; ++i)
        packed |= std::uint32_t((*message)[i]) << (8 * i);
    return packed;
}

midiMessage_t unpack(std::uint32_t packed)
{
    midiMessage_t message(packed >> 24);
    for (std::size_t i = 0; i < message.size(); ++i)
        message[i] = BYTE((packed >> (8 * i)) & 0xFF);
    return message;
}
} // namespace

MessageInspector::MessageInspector(QObject* parent) : MIDIDataTransform(TransformTypeNames::Inspector, parent)
{
    // Naming a note the first time reads the preferences and connects to their change notifier;
    // do that here on the GUI thread rather than on the first inspected note.
    (void)getMIDINoteName(60);
}

void MessageInspector::transformWhatYouCan(midiMessageList_t* messages)
{
    if (!messages->empty())
        _noteHandledAMessage();
    if (!ModelSignalPump::isRunning())
        return;
    const unsigned sequence = _passSequence.load(std::memory_order_relaxed);
    _passSequence.store(sequence + 1, std::memory_order_relaxed); // odd: being written
    std::atomic_thread_fence(std::memory_order_release);
    const int size = static_cast<int>(std::min<std::size_t>(messages->size(), kMaxMessagesShown));
    for (int i = 0; i < size; ++i)
        _passMessages[i].store(pack((*messages)[i]), std::memory_order_relaxed);
    _passSize.store(size, std::memory_order_relaxed);
    _passSequence.store(sequence + 2, std::memory_order_release); // even: complete
}

bool MessageInspector::_readLatestPass(QString& text, unsigned& sequence) const
{
    for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
        sequence = _passSequence.load(std::memory_order_acquire);
        if (sequence & 1u)
            continue;
        const int size = _passSize.load(std::memory_order_relaxed);
        std::array<std::uint32_t, kMaxMessagesShown> packed{};
        for (int i = 0; i < size; ++i)
            packed[i] = _passMessages[i].load(std::memory_order_relaxed);
        std::atomic_thread_fence(std::memory_order_acquire);
        if (_passSequence.load(std::memory_order_relaxed) != sequence)
            continue;
        text.clear();
        text.reserve(size * kTypicalLineLength);
        for (int i = 0; i < size; ++i) {
            if (i > 0)
                text += QLatin1Char('\n');
            const midiMessage_t message = unpack(packed[i]);
            text += getMessageDescription(&message);
        }
        return true;
    }
    return false;
}

void MessageInspector::emitPendingSignals()
{
    MIDIDataTransform::emitPendingSignals();
    if (_passSequence.load(std::memory_order_acquire) == _announcedSequence)
        return;
    if (!isSignalConnected(
            QMetaMethod::fromSignal(&MessageInspector::mostRecentMessageDescriptionsChangedTo))) {
        _announcedSequence = _passSequence.load(std::memory_order_acquire) & ~1u;
        return;
    }
    QString text;
    unsigned sequence = 0;
    if (!_readLatestPass(text, sequence) || sequence == _announcedSequence)
        return;
    _announcedSequence = sequence;
    _mostRecentMessageDescriptions = text;
    emit mostRecentMessageDescriptionsChangedTo(text);
}

void MessageInspector::connectNotify(const QMetaMethod& signal)
{
    MIDIDataTransform::connectNotify(signal);
    noteConnection(signal,
                   {QMetaMethod::fromSignal(&MessageInspector::mostRecentMessageDescriptionsChangedTo)});
}

bool MessageInspector::hasPumpedListeners() const
{
    return MIDIDataTransform::hasPumpedListeners() ||
           isSignalConnected(
               QMetaMethod::fromSignal(&MessageInspector::mostRecentMessageDescriptionsChangedTo));
}
