// A sequencer's transport and other system messages pass through a setup unchanged: they carry no
// channel, so no channel is forced on them, no filter or transform touches them, and they never
// switch outputs.
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "model/transforms/BuiltInTransforms.h"
#include "model/transforms/MIDIDataTransform.h"
#include "support/RoutingTestRig.h"
#include "support/TestPrefs.h"

#include <QTest>

using Bytes = midiMessage_t;
using Sent = QList<Bytes>;
Q_DECLARE_METATYPE(Bytes)

namespace {

const QString kKeys = QStringLiteral("Keys");
const QString kSynthA = QStringLiteral("SynthA");

// Start, song position, continue, stop, song select, tune request and reset.
const Sent kTransport = {{0xFA}, {0xF2, 0x10, 0x02}, {0xFB}, {0xFC}, {0xF3, 0x05}, {0xF6}, {0xFF}};

// An input on "Keys" listening on channel 4 (index 3), keyswitches 60 and 62, the first output's
// patch on SynthA.
struct Rig
{
    MIDIRoutingSetup setup{QStringLiteral("S"), nullptr};
    MIDIRoute* route = nullptr;
    MIDIOutput* first = nullptr;
    MIDIOutput* second = nullptr;
    MIDIPatchTarget* patch = nullptr;

    explicit Rig(BYTE patchChannel)
    {
        route = setup.createNewMIDIRoute(false);
        route->setMIDIInputPortName(kKeys);
        route->setMIDIChannel(3);
        first = route->getMIDIOutputAtIndex(0);
        first->setMainActivationValue(60);
        patch = first->getMIDIPatchTargetAtIndex(0);
        patch->setMIDIOutputPortName(kSynthA);
        patch->setMIDIChannel(patchChannel);
        second = route->createNewMIDIOutput(false);
        second->setMainActivationValue(62);
        second->getMIDIPatchTargetAtIndex(0)->setMIDIOutputPortName(QStringLiteral("SynthB"));
        first->setActive(true);
        RoutingTestRig::clearSent();
    }
};

} // namespace

class SystemMessagesTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        useTemporaryPrefs();
        RoutingTestRig::install();
        registerBuiltInTransforms();
    }

    void sequencerTransportArrivesUnchanged_data()
    {
        QTest::addColumn<int>("patchChannel");
        QTest::addColumn<Bytes>("noteOnHeard");
        QTest::newRow("patch on channel 1") << 0 << Bytes{0x90, 64, 90};
        QTest::newRow("patch on channel 2") << 1 << Bytes{0x91, 64, 90};
        QTest::newRow("patch keeps the channel") << 127 << Bytes{0x93, 64, 90};
    }

    void sequencerTransportArrivesUnchanged()
    {
        QFETCH(int, patchChannel);
        QFETCH(Bytes, noteOnHeard);
        Rig rig{BYTE(patchChannel)};
        for (const Bytes& message : kTransport)
            RoutingTestRig::play(kKeys, message);
        RoutingTestRig::play(kKeys, {0x93, 64, 90});
        Sent expected = kTransport;
        expected.append(noteOnHeard);
        QCOMPARE(RoutingTestRig::takeSent(kSynthA), expected);
        QVERIFY(RoutingTestRig::takeSent(QStringLiteral("SynthB")).isEmpty());
    }

    void transportKeepsItsPlaceBetweenNotes()
    {
        Rig rig{1};
        RoutingTestRig::play(kKeys, {0x93, 60 + 5, 100});
        RoutingTestRig::play(kKeys, {0xFC});
        RoutingTestRig::play(kKeys, {0x83, 60 + 5, 0});
        RoutingTestRig::play(kKeys, {0xFA});
        QCOMPARE(RoutingTestRig::takeSent(kSynthA), Sent({{0x91, 65, 100}, {0xFC}, {0x81, 65, 0}, {0xFA}}));
    }

    void transformsLeaveTransportAlone()
    {
        Rig rig{0};
        MIDIDataTransform* transpose = rig.patch->createNewMIDIDataTransform(QStringLiteral("Transpose"));
        QVERIFY(transpose);
        transpose->setInt1(12);
        RoutingTestRig::play(kKeys, {0xF2, 0x20, 0x01});
        RoutingTestRig::play(kKeys, {0xF3, 0x40});
        RoutingTestRig::play(kKeys, {0x93, 50, 70});
        QCOMPARE(RoutingTestRig::takeSent(kSynthA), Sent({{0xF2, 0x20, 0x01}, {0xF3, 0x40}, {0x90, 62, 70}}));
    }

    void transportNeverSwitchesOutputs()
    {
        Rig rig{0};
        rig.route->setOutputActivationMethod(1); // program changes switch
        rig.first->setMainActivationValue(0);
        rig.second->setMainActivationValue(0x05);
        RoutingTestRig::play(kKeys, {0xF3, 0x05}); // song select 5 is not program 5
        RoutingTestRig::play(kKeys, {0xFF});
        QVERIFY(rig.first->isActive());
        QCOMPARE(RoutingTestRig::takeSent(kSynthA), Sent({{0xF3, 0x05}, {0xFF}}));
    }

    void transportThroughADelayedPatchStaysInOrder()
    {
        Rig rig{0};
        rig.patch->setMessageDelayInMillisecs(200);
        RoutingTestRig::play(kKeys, {0xFA});
        RoutingTestRig::play(kKeys, {0x93, 40, 1});
        RoutingTestRig::play(kKeys, {0xFC});
        QVERIFY(RoutingTestRig::takeSent(kSynthA).isEmpty()); // held back by the delay
        Sent heard;
        QTRY_VERIFY((heard.append(RoutingTestRig::takeSent(kSynthA)), heard.size() == 3));
        QCOMPARE(heard, Sent({{0xFA}, {0x90, 40, 1}, {0xFC}}));
        rig.patch->setMessageDelayInMillisecs(0);
    }

    void onScreenKeyboardTransportIsNotGivenAChannel()
    {
        Rig rig{127};
        const Bytes start{0xFA};
        rig.route->injectMessage(&start);
        const Bytes position{0xF2, 0x01, 0x00};
        rig.route->injectMessage(&position);
        const Bytes broken{0x93, 0x40};
        rig.route->injectMessage(&broken);
        QCOMPARE(RoutingTestRig::takeSent(kSynthA), Sent({{0xFA}, {0xF2, 0x01, 0x00}}));
    }

    void transportOnAnInputOfAnotherChannelStillPasses()
    {
        Rig rig{127};
        RoutingTestRig::play(kKeys, {0x95, 60, 100}); // channel 6: not this input's
        RoutingTestRig::play(kKeys, {0xFA});
        QCOMPARE(RoutingTestRig::takeSent(kSynthA), Sent({{0xFA}}));
    }
};

QTEST_GUILESS_MAIN(SystemMessagesTest)
#include "tst_SystemMessages.moc"
