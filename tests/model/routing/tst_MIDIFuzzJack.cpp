// Random bytes from a real port on the private JACK server into a running setup: every message a
// synth hears is complete and valid, a note played after the noise is routed, and the clean stop
// ends every note that reached a synth.
#include "midi/MIDIBackend.h"
#include "midi/RtMidiBackend.h"
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "model/transforms/BuiltInTransforms.h"
#include "model/transforms/MIDIDataTransform.h"
#include "support/HangingNotesChecker.h"
#include "support/JackServer.h"
#include "support/JackTestClient.h"
#include "support/MIDIFuzzer.h"
#include "support/TestPrefs.h"

#include <QTest>
#include <memory>
#include <thread>

using Bytes = midiMessage_t;

namespace {

QString describe(const Bytes& bytes)
{
    QStringList hex;
    for (unsigned char byte : bytes)
        hex << QString::number(byte, 16).toUpper().rightJustified(2, QLatin1Char('0'));
    return hex.join(QLatin1Char(' '));
}

} // namespace

class MIDIFuzzJackTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<JackTestClient> _keyboard;
    std::unique_ptr<JackTestClient> _synth;

private slots:
    void initTestCase()
    {
        useTemporaryPrefs();
        QUORVELL_REQUIRE_JACK_SERVER();
        QVERIFY(RtMidiBackend::setPreferredApi(QStringLiteral("jack")));
        _keyboard =
            std::make_unique<JackTestClient>(QStringLiteral("QfKeyboard"), QStringLiteral("out"), QString());
        _synth = std::make_unique<JackTestClient>(QStringLiteral("QfSynth"), QString(), QStringLiteral("in"));
        QVERIFY2(_keyboard->isValid(), qPrintable(_keyboard->errorText()));
        QVERIFY2(_synth->isValid(), qPrintable(_synth->errorText()));
        QCOMPARE(MIDIBackend::GetInstance()->getApiName(), QStringLiteral("JACK"));
        registerBuiltInTransforms();
    }

    void noiseFromAKeyboardNeverReachesTheSynth()
    {
        // One input, any channel; one output with two patches on the synth: channel 1 an octave up,
        // and channel 3 (index 2) as played.
        auto setup = std::make_unique<MIDIRoutingSetup>(QStringLiteral("Fuzz"), nullptr);
        MIDIRoute* route = setup->createNewMIDIRoute(false);
        route->setMIDIInputPortName(_keyboard->sourcePortName());
        route->setMIDIChannel(MIDIRoute::kAnyChannel);
        route->setOutputActivationMethod(-1); // nothing switches: every note reaches the synth
        MIDIOutput* output = route->getMIDIOutputAtIndex(0);
        MIDIPatchTarget* octave = output->getMIDIPatchTargetAtIndex(0);
        octave->setMIDIOutputPortName(_synth->sinkPortName());
        octave->setMIDIChannel(0);
        octave->createNewMIDIDataTransform(QStringLiteral("Transpose"))->setInt1(12);
        MIDIPatchTarget* plain = output->createNewMIDIPatchTarget(false, _synth->sinkPortName());
        plain->setMIDIChannel(2);
        QCOMPARE(route->getMIDIInputPortName(), _keyboard->sourcePortName());
        JackTestClient::letConnectionsSettle();

        // Paced so that no JACK buffer overflows: a lost message would say nothing about the program.
        for (const Bytes& event : MIDIFuzzer::makeEvents(4242, 2000)) {
            _keyboard->send(event);
            std::this_thread::sleep_for(std::chrono::microseconds(1500));
        }
        if (dynamic_cast<RtMidiBackend*>(MIDIBackend::GetInstance())) {
            // The library's JACK input keeps a system exclusive message open until its F7 and
            // swallows everything until then (see the README); that input is helped out here.
            _keyboard->send({0xF7});
        }
        QTest::qWait(200);

        // A note after the noise is routed.
        const Bytes expected{0x92, 61, 99};
        QVERIFY(_keyboard->sendUntilReceived({0x95, 61, 99}, *_synth, expected));
        _keyboard->send({0x85, 61, 0});
        QTest::qWait(200);

        // The clean stop: the setup goes, and with it every note it started.
        setup.reset();
        QTest::qWait(500);
        HangingNotesChecker checker;
        for (const auto& received : _synth->receivedMessages()) {
            QVERIFY2(MIDIFuzzer::isCompleteNonExclusive(received.bytes),
                     qPrintable(QStringLiteral("the synth heard ") + describe(received.bytes)));
            checker.heard(QStringLiteral("synth"), received.bytes);
        }
        QVERIFY2(checker.noteOnsHeard() > 50, "the noise held hardly any notes");
        QVERIFY2(checker.hanging().isEmpty(), qPrintable(checker.hanging()));
    }

    void cleanupTestCase()
    {
        _keyboard.reset();
        _synth.reset();
    }
};

QTEST_GUILESS_MAIN(MIDIFuzzJackTest)
#include "tst_MIDIFuzzJack.moc"
