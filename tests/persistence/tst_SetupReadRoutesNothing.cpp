// Reading a setup routes nothing: an input listens on its port as soon as it is read, so what is
// played while the rest of the file is still being read would meet outputs not read yet (and
// double the setup still playing). Once read, the setup routes as usual.
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "persistence/SetupFileReaderWriter.h"
#include "support/RoutingTestRig.h"
#include "support/TestPrefs.h"

#include <QTest>

namespace {

// Two inputs on "Keys", each with one output on its own synth.
const QByteArray kDocument =
    "<!DOCTYPE MIDIRoutingSetupDocument>\n<MIDIRoutingSetup name=\"Read\">\n <MIDIRoutes>\n"
    "  <MIDIRoute name=\"Upper\" midiPortName=\"Keys\" midiChannelIndex=\"127\"><MIDIOutputs>"
    "<MIDIOutput name=\"A\" isActive=\"1\" mainActivationValue=\"36\" activationRangeValue=\"36\">"
    "<MIDIPatchTargets><MIDIPatchTarget name=\"PA\" midiOutputPortName=\"SynthA\" midiChannelIndex=\"0\"/>"
    "</MIDIPatchTargets></MIDIOutput></MIDIOutputs></MIDIRoute>\n"
    "  <MIDIRoute name=\"Lower\" midiPortName=\"Keys\" midiChannelIndex=\"127\"><MIDIOutputs>"
    "<MIDIOutput name=\"B\" isActive=\"1\" mainActivationValue=\"37\" activationRangeValue=\"37\">"
    "<MIDIPatchTargets><MIDIPatchTarget name=\"PB\" midiOutputPortName=\"SynthB\" midiChannelIndex=\"0\"/>"
    "</MIDIPatchTargets></MIDIOutput></MIDIOutputs></MIDIRoute>\n"
    " </MIDIRoutes>\n</MIDIRoutingSetup>\n";

} // namespace

class SetupReadRoutesNothingTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        useTemporaryPrefs();
        RoutingTestRig::install();
    }

    void whatIsPlayedDuringTheReadReachesNoOutput()
    {
        RoutingTestRig::clearSent();
        MIDIRoutingSetup setup(QStringLiteral("Read"), nullptr);
        int playedDuringRead = 0;
        SetupFileReaderWriter* reader = SetupFileReaderWriter::GetInstance();
        const auto connection = connect(reader, &SetupFileReaderWriter::setupFileOpenProgress, this, [&] {
            // The first input is read whole by now, and listens.
            RoutingTestRig::play(QStringLiteral("Keys"), {0x90, 60, 100});
            RoutingTestRig::play(QStringLiteral("Keys"), {0x80, 60, 0});
            ++playedDuringRead;
        });
        const bool read = reader->readSetupFromDocumentBytes(&setup, kDocument, QStringLiteral("read.ms"));
        disconnect(connection);
        QVERIFY(read);
        QCOMPARE(setup.getNumMIDIRoutes(), 2);
        QVERIFY(playedDuringRead >= 1);
        QVERIFY(RoutingTestRig::takeSent(QStringLiteral("SynthA")).isEmpty());
        QVERIFY(RoutingTestRig::takeSent(QStringLiteral("SynthB")).isEmpty());

        QCOMPARE(setup.getPlayState(), SongPlayGate::Live);
        RoutingTestRig::play(QStringLiteral("Keys"), {0x90, 62, 90});
        QCOMPARE(RoutingTestRig::takeSent(QStringLiteral("SynthA")), QList<midiMessage_t>({{0x90, 62, 90}}));
        QCOMPARE(RoutingTestRig::takeSent(QStringLiteral("SynthB")), QList<midiMessage_t>({{0x90, 62, 90}}));
    }

    void aSetupReadDormantStaysDormant()
    {
        // A set list reads its next songs while another plays: they wait their turn.
        MIDIRoutingSetup setup(QStringLiteral("Ahead"), nullptr);
        setup.setPlayState(SongPlayGate::Dormant);
        QVERIFY(SetupFileReaderWriter::GetInstance()->readSetupFromDocumentBytes(&setup, kDocument,
                                                                                 QStringLiteral("ahead.ms")));
        QCOMPARE(setup.getPlayState(), SongPlayGate::Dormant);
        RoutingTestRig::clearSent();
        RoutingTestRig::play(QStringLiteral("Keys"), {0x90, 64, 90});
        QVERIFY(RoutingTestRig::takeSent(QStringLiteral("SynthA")).isEmpty());
    }
};

QTEST_MAIN(SetupReadRoutesNothingTest)
#include "tst_SetupReadRoutesNothing.moc"
