#include "model/transforms/MessageInspector.h"
#include "support/TestPrefs.h"
#include "support/TransformChainPlayer.h"

#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <thread>

namespace {

// What arrives for a held note with the mod wheel, a bend and aftertouch.
const QString kPlayingText = QStringLiteral("Ch. 1\tNote On: C4\tVelocity: 100\n"
                                            "Ch. 3\tCC1\tValue: 50\n"
                                            "Ch. 1\tPitch Bend Value: 8192\n"
                                            "Ch. 10\tChannel Aftertouch: 100\n"
                                            "Ch. 1\tNote Off: C4");

struct Playing
{
    midiMessage_t noteOn = {0x90, 0x3C, 0x64};
    midiMessage_t modWheel = {0xB2, 0x01, 0x32};
    midiMessage_t bend = {0xE0, 0x00, 0x40};
    midiMessage_t aftertouch = {0xD9, 0x64};
    midiMessage_t noteOff = {0x80, 0x3C, 0x00};
    midiMessageList_t list() { return {&noteOn, &modWheel, &bend, &aftertouch, &noteOff}; }
};

MessageInspector* asInspector(const std::unique_ptr<MIDIDataTransform>& transform)
{
    return qobject_cast<MessageInspector*>(transform.get());
}

} // namespace

class MessageInspectorTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { useTemporaryPrefs(); }

    void playedMessagesShowOnTheGuiThreadUntouched()
    {
        auto transform = createTransformNamed(QStringLiteral("Inspector"));
        MessageInspector* inspector = asInspector(transform);
        QVERIFY(inspector);
        QCOMPARE(inspector->hasEditableParameters(), true);
        QCOMPARE(inspector->getDescriptionString(), QStringLiteral("Inspector"));

        QThread* arrivedOn = nullptr;
        QSignalSpy texts(inspector, &MessageInspector::mostRecentMessageDescriptionsChangedTo);
        connect(inspector, &MessageInspector::mostRecentMessageDescriptionsChangedTo, this,
                [&arrivedOn] { arrivedOn = QThread::currentThread(); });
        QSignalSpy handled(inspector, &MIDIDataTransform::handledAMessage);

        Playing playing;
        midiMessageList_t list = playing.list();
        std::thread midiThread([&] { inspector->transformWhatYouCan(&list); });
        midiThread.join();
        QCOMPARE(handled.count(), 0); // nothing is emitted on the MIDI thread
        QVERIFY(texts.wait(5000));
        QCOMPARE(handled.count(), 1); // the activity lamp lights once a tick, not once a message
        QCOMPARE(texts.count(), 1);
        QCOMPARE(texts.at(0).at(0).toString(), kPlayingText);
        QCOMPARE(inspector->getMostRecentMessageDescriptions(), kPlayingText);
        QCOMPARE(arrivedOn, QThread::currentThread());
        QCOMPARE(list, playing.list());
        QCOMPARE(toHex({playing.noteOn, playing.aftertouch}), QStringLiteral("90 3C 64 | D9 64"));

        midiMessageList_t empty;
        inspector->transformWhatYouCan(&empty);
        QVERIFY(texts.wait(5000));
        QCOMPARE(inspector->getMostRecentMessageDescriptions(), QString());
    }

    void showsWhatTheTransformsBeforeItLeft()
    {
        auto ignoreBend = createTransformNamed(QStringLiteral("Ignore Pitch Change"));
        auto aftertouchToCC = createTransformNamed(QStringLiteral("Channel Aftertouch To CC"));
        auto transform = createTransformNamed(QStringLiteral("Inspector"));
        MessageInspector* inspector = asInspector(transform);
        QSignalSpy texts(inspector, &MessageInspector::mostRecentMessageDescriptionsChangedTo);

        const ByteStream sent = playThroughChain({ignoreBend.get(), aftertouchToCC.get(), inspector},
                                                 {{0xE0, 0x00, 0x40}, {0xD9, 0x64}});
        QCOMPARE(toHex(sent), QStringLiteral("B9 01 64 | D9 64"));
        QTRY_COMPARE(texts.count(), 2);
        QCOMPARE(texts.at(0).at(0).toString(), QString());
        QCOMPARE(texts.at(1).at(0).toString(),
                 QStringLiteral("Ch. 10\tChannel Aftertouch: 100\nCh. 10\tCC1\tValue: 100"));
    }

    void closedViewCostsNoText()
    {
        auto transform = createTransformNamed(QStringLiteral("Inspector"));
        MessageInspector* inspector = asInspector(transform);
        Playing playing;
        midiMessageList_t list = playing.list();
        midiMessage_t bend = {0xE5, 0x00, 0x00};
        midiMessageList_t bendList = {&bend};
        {
            QSignalSpy view(inspector, &MessageInspector::mostRecentMessageDescriptionsChangedTo);
            inspector->transformWhatYouCan(&list);
            QVERIFY(view.wait(5000));
        }
        // The view is gone: at most the pass already under way is still described, then none.
        inspector->transformWhatYouCan(&list);
        QCoreApplication::processEvents();
        inspector->transformWhatYouCan(&bendList);
        QCoreApplication::processEvents();
        QCOMPARE(inspector->getMostRecentMessageDescriptions(), kPlayingText);

        QSignalSpy reopened(inspector, &MessageInspector::mostRecentMessageDescriptionsChangedTo);
        inspector->transformWhatYouCan(&bendList);
        QVERIFY(reopened.wait(5000));
        QCOMPARE(inspector->getMostRecentMessageDescriptions(), QStringLiteral("Ch. 6\tPitch Bend Value: 0"));
    }
};

QTEST_GUILESS_MAIN(MessageInspectorTest)
#include "tst_MessageInspector.moc"
