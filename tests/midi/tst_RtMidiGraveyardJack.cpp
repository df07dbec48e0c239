// Closed client objects are kept before they are deleted, so closing a port while messages pour
// in never stops a receive thread inside the program's own callback.
#include "midi/MIDIPortIOManager.h"
#include "midi/MIDIPortInfo.h"
#include "midi/RtMidiBackend.h"
#include "midi/RtMidiGraveyard.h"
#include "support/JackServer.h"
#include "support/JackTestClient.h"
#include "support/RecordingMIDIInputHandler.h"
#include "support/TestPrefs.h"

#include <QTest>

#include <RtMidi.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <thread>

class RtMidiGraveyardJackTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<JackTestClient> _keys;

private slots:
    void initTestCase()
    {
        useTemporaryPrefs();
        QUORVELL_REQUIRE_JACK_SERVER();
        QVERIFY(RtMidiBackend::setPreferredApi(QStringLiteral("jack")));
        _keys =
            std::make_unique<JackTestClient>(QStringLiteral("QvGraveKeys"), QStringLiteral("out"), QString());
        QVERIFY2(_keys->isValid(), qPrintable(_keys->errorText()));
        QVERIFY(MIDIPortInfo::GetInstance()->getIndexOfInputPortNamed(_keys->sourcePortName()) >= 0);
    }

    void cleanupTestCase() { _keys.reset(); }

    void objectsAreKeptUntilTheyHaveRestedThenReleased()
    {
        RtMidiGraveyard::releaseAll();
        QCOMPARE(RtMidiGraveyard::count(), 0);

        // An output that was sending right up to its close, and an input that was listening.
        auto out = std::make_unique<RtMidiOut>(RtMidi::UNIX_JACK, "QvGraveOut");
        out->openVirtualPort("o");
        const unsigned char noteOn[] = {0x90, 60, 100};
        for (int i = 0; i < 200; ++i)
            out->sendMessage(noteOn, sizeof noteOn);
        out->closePort();
        RtMidiGraveyard::bury(std::move(out));
        auto in = std::make_unique<RtMidiIn>(RtMidi::UNIX_JACK, "QvGraveIn", 100);
        in->openVirtualPort("i");
        in->closePort();
        RtMidiGraveyard::bury(std::move(in));
        RtMidiGraveyard::bury(std::unique_ptr<RtMidiIn>()); // nothing to keep
        QCOMPARE(RtMidiGraveyard::count(), 2);

        // Young objects stay; once rested, the next burial deletes them.
        RtMidiGraveyard::bury(std::make_unique<RtMidiOut>(RtMidi::UNIX_JACK, "QvGraveLater"));
        QCOMPARE(RtMidiGraveyard::count(), 3);
        std::this_thread::sleep_for(std::chrono::milliseconds(2100));
        RtMidiGraveyard::bury(std::make_unique<RtMidiOut>(RtMidi::UNIX_JACK, "QvGraveLast"));
        QCOMPARE(RtMidiGraveyard::count(), 1);

        RtMidiGraveyard::releaseAll();
        QCOMPARE(RtMidiGraveyard::count(), 0);
    }

    // Before, deleting an input's client while its receive thread ran the callback stopped that
    // thread in mid-delivery; the delivery never ended and the next port change waited forever.
    void closingInputsUnderAStreamLeavesNoDeliveryBehind()
    {
        MIDIPortIOManager* manager = MIDIPortIOManager::GetInstance();
        const QString port = _keys->sourcePortName();
        std::atomic<bool> stop{false};
        std::thread player([&] {
            while (!stop.load()) {
                _keys->send({0x90, 0x3C, 0x64});
                _keys->send({0x80, 0x3C, 0x00});
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            }
        });

        RecordingMIDIInputHandler handler;
        int opened = 0;
        int deletedAtOnce = 0;
        for (int round = 0; round < 60; ++round) {
            manager->addRequiredInputPortNamed(port, &handler);
            opened += manager->isInputPortOpen(port) ? 1 : 0;
            std::this_thread::sleep_for(std::chrono::milliseconds(round % 7));
            manager->removeRequiredInputPortNamed(port, &handler);
            // The closed client is kept, not deleted under the running receive thread.
            if (RtMidiGraveyard::count() == 0)
                ++deletedAtOnce;
            if (round % 20 == 19)
                RtMidiGraveyard::releaseAll(); // deletes the clients closed so far
        }
        const int heardDuringChurn = handler.count();

        // The port still opens and delivers: no delivery was left hanging. Checked on a helper
        // thread so a hang fails the test instead of stalling it.
        auto finalCheck = std::async(std::launch::async, [&] {
            manager->addRequiredInputPortNamed(port, &handler);
            const bool heard = handler.waitForDeliveries(heardDuringChurn + 10, 5000);
            manager->removeRequiredInputPortNamed(port, &handler);
            return heard;
        });
        const bool finished = finalCheck.wait_for(std::chrono::seconds(20)) == std::future_status::ready;
        stop.store(true);
        player.join();
        QVERIFY2(finished, "a port change never finished: a delivery was left behind");
        QVERIFY(finalCheck.get());
        QCOMPARE(opened, 60);
        QCOMPARE(deletedAtOnce, 0);
        RtMidiGraveyard::releaseAll();
    }
};

QTEST_GUILESS_MAIN(RtMidiGraveyardJackTest)
#include "tst_RtMidiGraveyardJack.moc"
