#include "model/MIDIMessage.h"
#include "model/transforms/MIDIDataTransform.h"
#include "support/TestPrefs.h"
#include "support/TransformChainPlayer.h"

#include <QSignalSpy>
#include <QTest>

namespace {

using Bytes = std::vector<unsigned char>;

// Adds a controller (number byte1, value = velocity) for every note on, like a velocity-to-CC
// type, and counts what it was offered.
class AppendingTransform : public MIDIDataTransform
{
public:
    explicit AppendingTransform(BYTE controller) : MIDIDataTransform(QStringLiteral("Appender"), nullptr)
    {
        setByte1(controller);
    }

    void transformThisIfYouCan(midiMessage_t* message, midiMessageList_t* messages) override
    {
        offered.push_back(*message);
        if (isOwnOutputMessage(message) || !isNoteOnMessage(message))
            return;
        midiMessage_t* out = getOutputMessage();
        setControlChangeMessage(out);
        setMIDIChannelIndex(out, getMIDIChannelIndex(message));
        setControlNumberAndValue(out, getByte1(), getVelocity(message));
        messages->push_back(out);
        emit handledAMessage();
    }

    std::size_t outputCapacity() { return getOutputMessage()->capacity(); }

    std::vector<Bytes> offered;
};

// Drops every note message, walking the list with an iterator as the dropping types do.
class DroppingTransform : public MIDIDataTransform
{
public:
    DroppingTransform() : MIDIDataTransform(QStringLiteral("Dropper"), nullptr) {}

    void transformWhatYouCan(midiMessageList_t* messages) override
    {
        bool erased = false;
        for (auto it = messages->begin(); it != messages->end();) {
            if (isNoteMessage(*it)) {
                it = messages->erase(it);
                erased = true;
            } else {
                ++it;
            }
        }
        if (erased)
            emit handledAMessage();
    }
};

} // namespace

class TransformMessageListTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { useTemporaryPrefs(); }

    void plainTransformLetsEverythingThrough()
    {
        MIDIDataTransform transform(QStringLiteral("Inspector"), nullptr);
        midiMessage_t note = {0x93, 0x3C, 0x64};
        midiMessage_t bend = {0xE0, 0x00, 0x40};
        midiMessageList_t list = {&note, &bend};
        transform.transformWhatYouCan(&list);
        QCOMPARE(list.size(), std::size_t(2));
        QCOMPARE(list[0], &note);
        QCOMPARE(list[1], &bend);
        QCOMPARE(note, (Bytes{0x93, 0x3C, 0x64}));
        QCOMPARE(bend, (Bytes{0xE0, 0x00, 0x40}));
    }

    void addedControllerGoesOutBeforeTheNote()
    {
        AppendingTransform velocityToCC(11);
        QSignalSpy handled(&velocityToCC, &MIDIDataTransform::handledAMessage);
        midiMessage_t note = {0x93, 0x3C, 0x64};
        const std::vector<Bytes> sent = sendThroughChain({&velocityToCC}, &note);
        QCOMPARE(sent.size(), std::size_t(2));
        QCOMPARE(sent[0], (Bytes{0xB3, 0x0B, 0x64}));
        QCOMPARE(sent[1], (Bytes{0x93, 0x3C, 0x64}));
        QCOMPARE(handled.count(), 1);
    }

    void appendedMessageIsOfferedToItsOwnTransform()
    {
        AppendingTransform velocityToCC(11);
        midiMessage_t note = {0x90, 0x40, 0x50};
        sendThroughChain({&velocityToCC}, &note);
        QCOMPARE(velocityToCC.offered.size(), std::size_t(2));
        QCOMPARE(velocityToCC.offered[0], (Bytes{0x90, 0x40, 0x50}));
        QCOMPARE(velocityToCC.offered[1], (Bytes{0xB0, 0x0B, 0x50}));
    }

    void laterTransformsAddedMessagesGoOutFirst()
    {
        AppendingTransform first(1);
        AppendingTransform second(2);
        midiMessage_t note = {0x91, 0x30, 0x7F};
        const std::vector<Bytes> sent = sendThroughChain({&first, &second}, &note);
        QCOMPARE(sent.size(), std::size_t(3));
        QCOMPARE(sent[0], (Bytes{0xB1, 0x02, 0x7F}));
        QCOMPARE(sent[1], (Bytes{0xB1, 0x01, 0x7F}));
        QCOMPARE(sent[2], (Bytes{0x91, 0x30, 0x7F}));
    }

    void droppedMessagesAreLeftIntactButNotSent()
    {
        DroppingTransform blocker;
        QSignalSpy handled(&blocker, &MIDIDataTransform::handledAMessage);
        midiMessage_t noteOn = {0x90, 0x3C, 0x64};
        midiMessage_t controller = {0xB0, 0x07, 0x64};
        midiMessage_t noteOff = {0x80, 0x3C, 0x00};
        midiMessageList_t list = {&noteOn, &controller, &noteOff};
        blocker.transformWhatYouCan(&list);
        QCOMPARE(list.size(), std::size_t(1));
        QCOMPARE(list[0], &controller);
        QCOMPARE(noteOn, (Bytes{0x90, 0x3C, 0x64}));
        QCOMPARE(handled.count(), 1);

        midiMessage_t bend = {0xE0, 0x00, 0x40};
        midiMessageList_t untouched = {&bend};
        blocker.transformWhatYouCan(&untouched);
        QCOMPARE(handled.count(), 1);
    }

    void bypassedTransformIsSkippedByTheChain()
    {
        AppendingTransform velocityToCC(11);
        velocityToCC.setBypassed(true);
        midiMessage_t note = {0x90, 0x40, 0x50};
        const std::vector<Bytes> sent = sendThroughChain({&velocityToCC}, &note);
        QCOMPARE(sent.size(), std::size_t(1));
        QCOMPARE(sent[0], (Bytes{0x90, 0x40, 0x50}));
        QVERIFY(velocityToCC.offered.empty());
    }

    void outputMessageHasRoomForAChannelMessage()
    {
        AppendingTransform velocityToCC(11);
        QVERIFY(velocityToCC.outputCapacity() >= 3);
    }
};

QTEST_GUILESS_MAIN(TransformMessageListTest)
#include "tst_TransformMessageList.moc"
