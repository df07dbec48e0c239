#include "support/TransformChainPlayer.h"

#include "model/ModelSignalPump.h"
#include "model/transforms/BuiltInTransforms.h"
#include "model/transforms/TransformRegistry.h"

#include <QStringList>

ByteStream sendThroughChain(const std::vector<MIDIDataTransform*>& chain, midiMessageList_t& list)
{
    for (MIDIDataTransform* transform : chain) {
        if (!transform->isBypassed())
            transform->transformWhatYouCan(&list);
    }
    // What views hear of the pass arrives with the next pump tick: make it now.
    ModelSignalPump::GetInstance()->pumpNow();
    ByteStream sent;
    for (auto it = list.rbegin(); it != list.rend(); ++it)
        sent.push_back(**it);
    list.clear();
    return sent;
}

ByteStream playThroughChain(const std::vector<MIDIDataTransform*>& chain, const ByteStream& incoming)
{
    ByteStream sent;
    midiMessageList_t list;
    list.reserve(16);
    for (const midiMessage_t& message : incoming) {
        midiMessage_t patchCopy = message;
        list.push_back(&patchCopy);
        for (midiMessage_t& out : sendThroughChain(chain, list))
            sent.push_back(std::move(out));
    }
    return sent;
}

QString toHex(const ByteStream& messages)
{
    QStringList parts;
    for (const midiMessage_t& message : messages) {
        QStringList bytes;
        for (unsigned char byte : message)
            bytes << QStringLiteral("%1").arg(byte, 2, 16, QLatin1Char('0')).toUpper();
        parts << bytes.join(QLatin1Char(' '));
    }
    return parts.join(QStringLiteral(" | "));
}

std::unique_ptr<MIDIDataTransform> createTransformNamed(const QString& name)
{
    registerBuiltInTransforms();
    return std::unique_ptr<MIDIDataTransform>(createMIDIDataTransformOfType(name, nullptr));
}
