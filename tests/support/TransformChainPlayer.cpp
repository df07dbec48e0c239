#include "support/TransformChainPlayer.h"

#include "model/ModelSignalPump.h"
#include "model/transforms/BuiltInTransforms.h"
#include "model/transforms/TransformRegistry.h"

#include <QStringList>
#include <QTest>

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

ByteStream sendThroughChain(const std::vector<MIDIDataTransform*>& chain, midiMessage_t* incoming)
{
    midiMessageList_t list;
    list.reserve(16);
    list.push_back(incoming);
    return sendThroughChain(chain, list);
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

ByteStream playWithEdits(MIDIDataTransform& transform, const ByteStream& incoming,
                         void (*edit)(MIDIDataTransform&))
{
    ByteStream sent;
    for (const midiMessage_t& message : incoming) {
        if (message.empty()) {
            edit(transform);
            continue;
        }
        midiMessage_t patchCopy = message;
        for (midiMessage_t& out : sendThroughChain({&transform}, &patchCopy))
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

void verifyMenuEntryCreatesType(const QString& type, const QString& description, bool editable)
{
    auto transform = createTransformNamed(type);
    QVERIFY(transform);
    QCOMPARE(transform->getName(), type);
    QCOMPARE(transform->hasEditableParameters(), editable);
    QCOMPARE(transform->getDescriptionString(), description);
    transform->setBypassed(true);
    QCOMPARE(transform->getDescriptionString(), description + QStringLiteral(" (bypassed)"));
}

std::unique_ptr<MIDIDataTransform> createTransformNamed(const QString& name)
{
    registerBuiltInTransforms();
    return std::unique_ptr<MIDIDataTransform>(createMIDIDataTransformOfType(name, nullptr));
}
