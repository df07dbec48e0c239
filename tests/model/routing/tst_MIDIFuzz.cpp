// Random bytes played into a running setup, as a faulty cable or a device unplugged mid-dump would
// deliver them: nothing malformed reaches a synth, the input keeps listening, and a clean stop
// leaves no note sounding.
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "model/transforms/BuiltInTransforms.h"
#include "model/transforms/MIDIDataTransform.h"
#include "support/FakeMIDIBackend.h"
#include "support/HangingNotesChecker.h"
#include "support/MIDIFuzzer.h"
#include "support/RoutingTestRig.h"
#include "support/TestPrefs.h"

#include <QTest>
#include <memory>

using Bytes = midiMessage_t;
using Sent = QList<Bytes>;

namespace {

const QString kKeys = QStringLiteral("Keys");
const QStringList kSynths = {QStringLiteral("SynthA"), QStringLiteral("SynthB"), QStringLiteral("SynthC")};

QString describe(const Bytes& bytes)
{
    QStringList hex;
    for (unsigned char byte : bytes)
        hex << QString::number(byte, 16).toUpper().rightJustified(2, QLatin1Char('0'));
    return hex.join(QLatin1Char(' '));
}

} // namespace

class MIDIFuzzTest : public QObject
{
    Q_OBJECT

    // Keyswitches C1 (36) and D1 (38). Output A: SynthA channel 1 an octave up, SynthB keeping the
    // channel. Output B: SynthC channel 2.
    std::unique_ptr<MIDIRoutingSetup> _buildSetup()
    {
        auto setup = std::make_unique<MIDIRoutingSetup>(QStringLiteral("Fuzz"), nullptr);
        MIDIRoute* route = setup->createNewMIDIRoute(false);
        route->setMIDIInputPortName(kKeys);
        route->setMIDIChannel(MIDIRoute::kAnyChannel);
        MIDIOutput* a = route->getMIDIOutputAtIndex(0);
        a->setMainActivationValue(36);
        MIDIPatchTarget* a1 = a->getMIDIPatchTargetAtIndex(0);
        a1->setMIDIOutputPortName(kSynths[0]);
        a1->setMIDIChannel(0);
        a1->createNewMIDIDataTransform(QStringLiteral("Transpose"))->setInt1(12);
        MIDIPatchTarget* a2 = a->createNewMIDIPatchTarget(false, kSynths[1]);
        a2->setMIDIChannel(MIDIPatchTarget::kAnyChannel);
        MIDIOutput* b = route->createNewMIDIOutput(false);
        b->setMainActivationValue(38);
        b->getMIDIPatchTargetAtIndex(0)->setMIDIOutputPortName(kSynths[2]);
        b->getMIDIPatchTargetAtIndex(0)->setMIDIChannel(1);
        a->setActive(true);
        RoutingTestRig::clearSent();
        return setup;
    }

private slots:
    void initTestCase()
    {
        useTemporaryPrefs();
        RoutingTestRig::install();
        registerBuiltInTransforms();
        // The port layer sees whatever was on the wire, filtered or not by a library.
        RoutingTestRig::backend()->setLibraryFilter(false);
    }

    void randomBytesNeverReachASynthAndTheInputKeepsListening_data()
    {
        QTest::addColumn<quint32>("seed");
        QTest::newRow("seed 1") << quint32(1);
        QTest::newRow("seed 2026") << quint32(2026);
        QTest::newRow("seed 77001") << quint32(77001);
    }

    void randomBytesNeverReachASynthAndTheInputKeepsListening()
    {
        QFETCH(quint32, seed);
        std::unique_ptr<MIDIRoutingSetup> setup = _buildSetup();
        const std::vector<Bytes> noise = MIDIFuzzer::makeEvents(seed, 3000);
        RoutingTestRig::backend()->injectInputMessagesFromOwnThread(RoutingTestRig::inputIndex(kKeys), noise);

        // After the noise: switch to output A and play a note; SynthB hears it as played.
        RoutingTestRig::play(kKeys, {0x90, 36, 100});
        RoutingTestRig::play(kKeys, {0x95, 61, 99});
        HangingNotesChecker checker;
        int heard = 0;
        bool noteAfterNoise = false;
        auto collect = [&](bool lookForNote) {
            for (const QString& synth : kSynths) {
                for (const Bytes& message : RoutingTestRig::takeSent(synth)) {
                    QVERIFY2(MIDIFuzzer::isCompleteNonExclusive(message),
                             qPrintable(synth + QStringLiteral(" heard ") + describe(message)));
                    if (lookForNote && synth == kSynths[1] && message == Bytes{0x95, 61, 99})
                        noteAfterNoise = true;
                    checker.heard(synth, message);
                    ++heard;
                }
            }
        };
        collect(true);
        QVERIFY(noteAfterNoise);
        QVERIFY2(checker.noteOnsHeard() > 100, "the noise held hardly any notes");

        // The clean stop ends everything that sounds.
        setup.reset();
        collect(false);
        QVERIFY2(checker.hanging().isEmpty(), qPrintable(checker.hanging()));
        QVERIFY(heard > 0);
    }
};

QTEST_GUILESS_MAIN(MIDIFuzzTest)
#include "tst_MIDIFuzz.moc"
