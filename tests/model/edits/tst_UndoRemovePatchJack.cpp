// A patch removed while a note is held on it, and brought back with undo, on real JACK ports:
// the removal ends its note, undo sends nothing, and the next note is heard there again with no
// note left hanging.
#include "midi/MIDIBackend.h"
#include "model/edits/ModelEdits.h"
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "support/JackBackendUnderTest.h"
#include "support/JackServer.h"
#include "support/JackTestClient.h"
#include "support/TestPrefs.h"

#include <QEventLoop>
#include <QTest>
#include <QTimer>
#include <QUndoStack>
#include <map>
#include <memory>

namespace {

void runEventLoopFor(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

/// The notes still sounding after the messages, as "channel:note" entries.
QStringList hangingNotes(const std::vector<JackTestClient::ReceivedMessage>& received)
{
    std::map<int, int> sounding;
    for (const auto& message : received) {
        const auto& b = message.bytes;
        if (b.size() < 3)
            continue;
        const int key = (b[0] & 0x0F) * 128 + b[1];
        if ((b[0] & 0xF0) == 0x90 && b[2] > 0)
            ++sounding[key];
        else if ((b[0] & 0xF0) == 0x80 || (b[0] & 0xF0) == 0x90)
            sounding[key] = 0;
    }
    QStringList hanging;
    for (const auto& [key, count] : sounding)
        if (count > 0)
            hanging << QStringLiteral("%1:%2").arg(key / 128).arg(key % 128);
    return hanging;
}

} // namespace

class UndoRemovePatchJackTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { useTemporaryPrefs(); }

    void removedPatchPlaysAgainAfterUndoWithNoNoteLeftHanging()
    {
        QUORVELL_REQUIRE_JACK_SERVER();
        JackBackendUnderTest::select();
        JackTestClient keyboard(QStringLiteral("QuKeys"), QStringLiteral("out"), QString());
        JackTestClient synth(QStringLiteral("QuSynth"), QString(), QStringLiteral("in"));
        QVERIFY2(keyboard.isValid(), qPrintable(keyboard.errorText()));
        QVERIFY2(synth.isValid(), qPrintable(synth.errorText()));

        MIDIRoutingSetup setup(QStringLiteral("Gig"), nullptr);
        QUndoStack stack;
        EditStack::attach(&setup, &stack);
        MIDIRoute* route = setup.createNewMIDIRoute(false);
        route->setMIDIInputPortName(keyboard.sourcePortName());
        route->setMIDIChannel(MIDIRoute::kAnyChannel);
        MIDIOutput* output = route->getMIDIOutputAtIndex(0);
        MIDIPatchTarget* piano = output->getMIDIPatchTargetAtIndex(0);
        piano->setMIDIOutputPortName(synth.sinkPortName());
        piano->setMIDIChannel(0);
        MIDIPatchTarget* strings = output->createNewMIDIPatchTarget(false, synth.sinkPortName());
        strings->setMIDIChannel(1);
        strings->setName(QStringLiteral("Strings"));

        JackTestClient::letConnectionsSettle();
        QVERIFY(JackTestClient::retryUntil(
            [&] {
                keyboard.send({0xB0, 7, 100});
            },
            [&] { return synth.receivedCount() >= 2; }, 5000, 200));
        runEventLoopFor(100);
        synth.clearReceived();

        keyboard.send({0x90, 60, 100});
        QVERIFY(synth.waitForMessages(2, 5000));
        QCOMPARE(strings->getNumNotesSounding(), 1);

        QCOMPARE(ModelEdits::remove(strings, false), 1);
        QVERIFY(synth.waitForMessages(3, 5000));
        QCOMPARE(synth.countOf({0x81, 60, 127}), 1); // the removal ends its note
        stack.undo();
        QCOMPARE(output->getIndexOfMIDIPatchTarget(strings), 1);
        runEventLoopFor(200);
        QCOMPARE(synth.receivedCount(), 3); // undo sends nothing

        keyboard.send({0x80, 60, 0});
        keyboard.send({0x90, 62, 90});
        keyboard.send({0x80, 62, 0});
        QTRY_VERIFY_WITH_TIMEOUT(synth.countOf({0x81, 62, 0}) == 1, 5000);
        runEventLoopFor(100);
        QCOMPARE(synth.countOf({0x91, 62, 90}), 1); // heard on the restored patch's channel
        QCOMPARE(synth.countOf({0x90, 62, 90}), 1);
        QCOMPARE(hangingNotes(synth.receivedMessages()), QStringList());
        QCOMPARE(strings->getNumNotesSounding(), 0);
        QCOMPARE(piano->getNumNotesSounding(), 0);
        stack.clear();
    }
};

QTEST_GUILESS_MAIN(UndoRemovePatchJackTest)
#include "tst_UndoRemovePatchJack.moc"
