// Every message from an input port is checked once before the routing sees it: only complete,
// well-formed messages go on; the rest are counted per port and reported, once per burst.
#include "app/StatusManager.h"
#include "midi/MIDIPortIOManager.h"
#include "midi/MIDIPortInfo.h"
#include "support/FakeMIDIBackend.h"
#include "support/RecordingMIDIInputHandler.h"
#include "support/TestPrefs.h"

#include <QSignalSpy>
#include <QTest>

using Bytes = midiMessage_t;
Q_DECLARE_METATYPE(Bytes)

namespace {

const QString kKeys = QStringLiteral("Keys");
const QString kPads = QStringLiteral("Pads");

} // namespace

class MIDIInputCheckTest : public QObject
{
    Q_OBJECT

    FakeMIDIBackend* _backend = nullptr;
    MIDIPortIOManager* _manager = nullptr;
    RecordingMIDIInputHandler _keysHandler;
    RecordingMIDIInputHandler _padsHandler;

private slots:
    void initTestCase()
    {
        useTemporaryPrefs();
        _backend = FakeMIDIBackend::install({kKeys, kPads}, {QStringLiteral("Synth")});
        QVERIFY(_backend);
        // Everything the wire carried reaches the port layer, as from a backend without a filter.
        _backend->setLibraryFilter(false);
        _manager = MIDIPortIOManager::GetInstance();
        _manager->addRequiredInputPortNamed(kKeys, &_keysHandler);
        _manager->addRequiredInputPortNamed(kPads, &_padsHandler);
    }

    void cleanupTestCase() { _manager->removeAllPortRequirements(); }

    void malformedInputGoesNowhere_data()
    {
        QTest::addColumn<Bytes>("message");
        QTest::newRow("data bytes without a status") << Bytes{0x12, 0x34};
        QTest::newRow("truncated note on") << Bytes{0x90, 0x40};
        QTest::newRow("status alone") << Bytes{0x90};
        QTest::newRow("data byte above 127") << Bytes{0x90, 0x41, 0xC5};
        QTest::newRow("first data byte above 127") << Bytes{0xB0, 0x87, 0x10};
        QTest::newRow("note on with a byte too many") << Bytes{0x90, 0x40, 0x40, 0x40};
        QTest::newRow("program change with two data bytes") << Bytes{0xC3, 0x01, 0x02};
        QTest::newRow("truncated pitch bend") << Bytes{0xE0, 0x00};
        QTest::newRow("undefined F4") << Bytes{0xF4};
        QTest::newRow("undefined F5 with data") << Bytes{0xF5, 0x01};
        QTest::newRow("undefined F9") << Bytes{0xF9};
        QTest::newRow("undefined FD") << Bytes{0xFD};
        QTest::newRow("lone end of exclusive") << Bytes{0xF7};
        QTest::newRow("exclusive without its end") << Bytes{0xF0, 0x7E, 0x01};
        QTest::newRow("exclusive with a status inside") << Bytes{0xF0, 0x7E, 0x90, 0xF7};
        QTest::newRow("song position without its second byte") << Bytes{0xF2, 0x10};
        QTest::newRow("start with a data byte") << Bytes{0xFA, 0x00};
        QTest::newRow("song select with data above 127") << Bytes{0xF3, 0x80};
        QTest::newRow("nothing at all") << Bytes{};
    }

    void malformedInputGoesNowhere()
    {
        QFETCH(Bytes, message);
        _keysHandler.clear();
        const unsigned before = _manager->getRefusedMessageCount(kKeys);
        _backend->injectInputMessage(0, message);
        QCOMPARE(_keysHandler.count(), 0);
        QCOMPARE(_manager->getRefusedMessageCount(kKeys), before + 1);
    }

    void completeInputPasses_data()
    {
        QTest::addColumn<Bytes>("message");
        QTest::newRow("note on") << Bytes{0x93, 0x40, 0x7F};
        QTest::newRow("note off") << Bytes{0x80, 0x00, 0x00};
        QTest::newRow("program change") << Bytes{0xCF, 0x7F};
        QTest::newRow("channel aftertouch") << Bytes{0xD2, 0x10};
        QTest::newRow("pitch bend") << Bytes{0xE1, 0x00, 0x40};
        QTest::newRow("song position") << Bytes{0xF2, 0x7F, 0x7F};
        QTest::newRow("song select") << Bytes{0xF3, 0x00};
        QTest::newRow("tune request") << Bytes{0xF6};
        QTest::newRow("start") << Bytes{0xFA};
        QTest::newRow("continue") << Bytes{0xFB};
        QTest::newRow("stop") << Bytes{0xFC};
        QTest::newRow("reset") << Bytes{0xFF};
    }

    void completeInputPasses()
    {
        QFETCH(Bytes, message);
        _keysHandler.clear();
        const unsigned before = _manager->getRefusedMessageCount(kKeys);
        _backend->injectInputMessage(0, message);
        QCOMPARE(_keysHandler.count(), 1);
        QCOMPARE(_keysHandler.deliveries().front().bytes, message);
        QCOMPARE(_manager->getRefusedMessageCount(kKeys), before);
    }

    void filteredSystemMessagesAreDroppedQuietly_data()
    {
        QTest::addColumn<Bytes>("message");
        QTest::newRow("system exclusive") << Bytes{0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7};
        QTest::newRow("time code") << Bytes{0xF1, 0x20};
        QTest::newRow("timing clock") << Bytes{0xF8};
        QTest::newRow("active sensing") << Bytes{0xFE};
    }

    void filteredSystemMessagesAreDroppedQuietly()
    {
        QFETCH(Bytes, message);
        _keysHandler.clear();
        const unsigned before = _manager->getRefusedMessageCount(kKeys);
        _backend->injectInputMessage(0, message);
        QCOMPARE(_keysHandler.count(), 0);
        QCOMPARE(_manager->getRefusedMessageCount(kKeys), before);
    }

    void nothingMalformedOrExclusiveIsEverSent()
    {
        // Whatever a transform or initializer might build, the port layer sends only complete
        // messages, and never the start of a system exclusive message.
        // The port layer only counts its users; a token stands for a patch.
        static int patchToken = 0;
        _manager->addRequiredOutputPortNamed(QStringLiteral("Synth"),
                                             reinterpret_cast<MIDIPatchTarget*>(&patchToken));
        _backend->clearSentMessages();
        for (Bytes message : {Bytes{0x90, 0x80, 0x10}, Bytes{0x90, 0x10}, Bytes{0xF0, 0x01, 0xF7},
                              Bytes{0xF4}, Bytes{0x10, 0x20, 0x30}})
            QVERIFY(!_manager->deliverMessageToOutputPort(0, &message));
        QCOMPARE(_backend->sentMessageCount(0), 0);
        Bytes good{0xFC};
        QVERIFY(_manager->deliverMessageToOutputPort(0, &good));
        QCOMPARE(_backend->sentMessages(0), std::vector<Bytes>({{0xFC}}));
    }

    void aBurstOfGarbageIsReportedOnceNamingPortAndCount()
    {
        QSignalSpy warnings(StatusManager::GetInstance(), &StatusManager::warningMessagePosted);
        QTest::qWait(1100); // a quiet second ends whatever burst earlier cases left
        warnings.clear();
        for (int i = 0; i < 7; ++i)
            _backend->injectInputMessage(1, {0x12, 0x34});
        _backend->injectInputMessage(1, {0x90, 60, 100}); // good notes in between still pass
        QTRY_COMPARE_WITH_TIMEOUT(warnings.count(), 1, 2500);
        const QString text = warnings.at(0).at(0).toString();
        QVERIFY2(text.contains(QStringLiteral("\"Pads\"")) && text.contains(QStringLiteral(" 7 ")),
                 qPrintable(text));
        // More garbage during the same burst is not reported again.
        for (int round = 0; round < 3; ++round) {
            _backend->injectInputMessage(1, {0xF4});
            QTest::qWait(400);
        }
        QTest::qWait(1200);
        QCOMPARE(warnings.count(), 1);
        // After a quiet second a new burst is reported again, alone.
        QTest::qWait(1100);
        _backend->injectInputMessage(1, {0xF7});
        QTRY_COMPARE_WITH_TIMEOUT(warnings.count(), 2, 2500);
        QVERIFY2(warnings.at(1).at(0).toString().contains(QStringLiteral(" 1 malformed message.")),
                 qPrintable(warnings.at(1).at(0).toString()));
    }

    void eachPortIsCountedOnItsOwn()
    {
        const unsigned keys = _manager->getRefusedMessageCount(kKeys);
        const unsigned pads = _manager->getRefusedMessageCount(kPads);
        _backend->injectInputMessage(1, {0x90, 0x40});
        _backend->injectInputMessage(1, {0x90, 0x40});
        QCOMPARE(_manager->getRefusedMessageCount(kKeys), keys);
        QCOMPARE(_manager->getRefusedMessageCount(kPads), pads + 2);
    }
};

QTEST_GUILESS_MAIN(MIDIInputCheckTest)
#include "tst_MIDIInputCheck.moc"
