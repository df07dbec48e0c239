#include "app/StatusManager.h"
#include "model/initializers/InitializerRegistry.h"
#include "model/initializers/MIDIPatchInitializer.h"
#include "model/initializers/ProgChgInitializer.h"
#include "model/initializers/VolumeInitializer.h"
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/routing/MIDIRoute.h"
#include "persistence/AppPrefs.h"
#include "persistence/PrefKeys.h"
#include "support/RoutingTestRig.h"
#include "support/TestPrefs.h"
#include "support/TestTransforms.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <memory>

using Bytes = midiMessage_t;
using Sent = QList<Bytes>;

// A route on "Keys", every channel, with one output holding one patch on "SynthA", channel 1.
struct OnePatchRig
{
    std::unique_ptr<MIDIRoute> route;
    MIDIOutput* output = nullptr;
    MIDIPatchTarget* patch = nullptr;

    OnePatchRig()
    {
        route = std::make_unique<MIDIRoute>(QStringLiteral("Keys"), MIDIRoute::kAnyChannel,
                                            QStringLiteral("In"), nullptr);
        output = route->createNewMIDIOutput(false);
        patch = output->getMIDIPatchTargetAtIndex(0);
        patch->setMIDIOutputPortName(QStringLiteral("SynthA"));
        RoutingTestRig::clearSent();
    }
};

class MIDIPatchTargetTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        useTemporaryPrefs();
        // "Gone" was a port the user called "Lead"; today "SynthB" carries that name.
        QVariantMap aliases;
        aliases.insert(QStringLiteral("Gone"), QStringLiteral("Lead"));
        aliases.insert(QStringLiteral("SynthB"), QStringLiteral("Lead"));
        setMapPrefValue(PrefKeys::MIDIOutputPortNameAliases, aliases);
        RoutingTestRig::install();
        registerBuiltInInitializers();
    }

    void specificChannelIsForcedBeforeSending()
    {
        OnePatchRig rig;
        rig.patch->setMIDIChannel(3);
        RoutingTestRig::play(QStringLiteral("Keys"), {0x90, 60, 100});
        RoutingTestRig::play(QStringLiteral("Keys"), {0xB5, 7, 90});
        QCOMPARE(RoutingTestRig::takeSent(QStringLiteral("SynthA")), Sent({{0x93, 60, 100}, {0xB3, 7, 90}}));
    }

    void anyChannelKeepsEachMessagesChannelButInitializersUseTheFirst()
    {
        OnePatchRig rig;
        rig.patch->setMIDIChannel(MIDIPatchTarget::kAnyChannel);
        rig.patch->addMIDIPatchInitializer(createPCInitializer(5, nullptr));
        RoutingTestRig::play(QStringLiteral("Keys"), {0x9A, 60, 100});
        QCOMPARE(RoutingTestRig::takeSent(QStringLiteral("SynthA")), Sent({{0x9A, 60, 100}}));
        rig.patch->performNeededActivationSteps();
        QCOMPARE(RoutingTestRig::takeSent(QStringLiteral("SynthA")), Sent({{0xC0, 5}}));
    }

    void mutedPatchSendsNothingNotEvenInitializers()
    {
        OnePatchRig rig;
        rig.patch->addMIDIPatchInitializer(createVolumeInitializer(100, nullptr));
        rig.patch->setMuted(true);
        RoutingTestRig::play(QStringLiteral("Keys"), {0x90, 60, 100});
        rig.patch->performNeededActivationSteps();
        QVERIFY(RoutingTestRig::takeSent(QStringLiteral("SynthA")).isEmpty());
    }

    void mutingEndsHeldNotesWithVelocity127()
    {
        OnePatchRig rig;
        rig.patch->setMIDIChannel(2);
        RoutingTestRig::play(QStringLiteral("Keys"), {0x90, 60, 100});
        RoutingTestRig::play(QStringLiteral("Keys"), {0x90, 64, 90});
        RoutingTestRig::clearSent();
        QSignalSpy muted(rig.patch, &MIDIPatchTarget::mutedChangedTo);
        rig.patch->setMuted(true);
        QCOMPARE(RoutingTestRig::takeSent(QStringLiteral("SynthA")),
                 Sent({{0x82, 60, 127}, {0x82, 64, 127}}));
        QCOMPARE(muted.count(), 1);
        RoutingTestRig::play(QStringLiteral("Keys"), {0x80, 60, 0});
        QVERIFY(RoutingTestRig::takeSent(QStringLiteral("SynthA")).isEmpty());
    }

    void appendedMessageLeavesBeforeTheMessageItCameFrom()
    {
        OnePatchRig rig;
        rig.patch->addMIDIDataTransform(new AppendingTestTransform());
        rig.patch->addMIDIDataTransform(new ShiftingTestTransform(0));
        RoutingTestRig::play(QStringLiteral("Keys"), {0x90, 62, 100});
        QCOMPARE(RoutingTestRig::takeSent(QStringLiteral("SynthA")), Sent({{0xB0, 20, 62}, {0x90, 62, 100}}));
    }

    void bypassedTransformIsSkippedButTheListStillGoesOutLastFirst()
    {
        OnePatchRig rig;
        auto* shift = new ShiftingTestTransform(12);
        rig.patch->addMIDIDataTransform(new AppendingTestTransform());
        rig.patch->addMIDIDataTransform(shift);
        shift->setBypassed(true);
        RoutingTestRig::play(QStringLiteral("Keys"), {0x90, 50, 100});
        QCOMPARE(RoutingTestRig::takeSent(QStringLiteral("SynthA")), Sent({{0xB0, 20, 50}, {0x90, 50, 100}}));
        shift->setBypassed(false);
        RoutingTestRig::play(QStringLiteral("Keys"), {0x80, 50, 0});
        // The chain's note off went to 62; the note really sounding (50) is ended as well.
        QCOMPARE(RoutingTestRig::takeSent(QStringLiteral("SynthA")),
                 Sent({{0xB0, 20, 50}, {0x80, 62, 0}, {0x80, 50, 0}}));
    }

    void constantDelayHoldsMessagesBackInOrder()
    {
        OnePatchRig rig;
        rig.patch->setMessageDelayInMillisecs(30);
        QElapsedTimer clock;
        clock.start();
        RoutingTestRig::play(QStringLiteral("Keys"), {0x90, 60, 100});
        RoutingTestRig::play(QStringLiteral("Keys"), {0x90, 61, 100});
        QVERIFY(RoutingTestRig::takeSent(QStringLiteral("SynthA")).isEmpty());
        Sent sent;
        QTRY_VERIFY_WITH_TIMEOUT(
            (sent += RoutingTestRig::takeSent(QStringLiteral("SynthA")), sent.size() == 2), 2000);
        QVERIFY(clock.elapsed() >= 29);
        QCOMPARE(sent, Sent({{0x90, 60, 100}, {0x90, 61, 100}}));
    }

    void randomDelayKeepsArrivalOrderWithinItsBound()
    {
        OnePatchRig rig;
        rig.patch->setMessageDelayType(MIDIPatchTarget::kRandomDelay);
        rig.patch->setMessageDelayInMillisecs(MIDIPatchTarget::kMaxMessageDelay);
        // Time the GUI thread may take to get to a released message, on top of its delay.
        constexpr qint64 kSchedulingSlackMs = 150;
        for (int round = 0; round < 3; ++round) {
            QElapsedTimer clock;
            clock.start();
            RoutingTestRig::play(QStringLiteral("Keys"), {0x90, 60, 100});
            RoutingTestRig::play(QStringLiteral("Keys"), {0x90, 61, 100});
            RoutingTestRig::play(QStringLiteral("Keys"), {0x90, 62, 100});
            QVERIFY(RoutingTestRig::takeSent(QStringLiteral("SynthA")).isEmpty());
            Sent sent;
            QList<qint64> arrivals;
            while (sent.size() < 3 && clock.elapsed() < 3000) {
                QTest::qWait(1);
                const Sent now = RoutingTestRig::takeSent(QStringLiteral("SynthA"));
                for (const Bytes& message : now) {
                    sent.append(message);
                    arrivals.append(clock.elapsed());
                }
            }
            QCOMPARE(sent, Sent({{0x90, 60, 100}, {0x90, 61, 100}, {0x90, 62, 100}}));
            for (qint64 arrival : std::as_const(arrivals)) {
                QVERIFY2(arrival >= 1, qPrintable(QString::number(arrival)));
                QVERIFY2(arrival <= MIDIPatchTarget::kMaxMessageDelay + kSchedulingSlackMs,
                         qPrintable(QString::number(arrival)));
            }
            RoutingTestRig::play(QStringLiteral("Keys"), {0x80, 60, 0});
            RoutingTestRig::play(QStringLiteral("Keys"), {0x80, 61, 0});
            RoutingTestRig::play(QStringLiteral("Keys"), {0x80, 62, 0});
            Sent offs;
            QTRY_VERIFY_WITH_TIMEOUT(
                (offs += RoutingTestRig::takeSent(QStringLiteral("SynthA")), offs.size() == 3), 3000);
            QCOMPARE(offs, Sent({{0x80, 60, 0}, {0x80, 61, 0}, {0x80, 62, 0}}));
        }
    }

    void noteOnWaitingInTheDelayIsDroppedWhenMutedMeanwhile()
    {
        OnePatchRig rig;
        rig.patch->setMessageDelayInMillisecs(40);
        RoutingTestRig::play(QStringLiteral("Keys"), {0x90, 60, 100});
        rig.patch->setMuted(true);
        QTest::qWait(120);
        QVERIFY(RoutingTestRig::takeSent(QStringLiteral("SynthA")).isEmpty());
        QCOMPARE(rig.patch->getNumNotesSounding(), 0);
    }

    void missingPortIsReplacedByThePortWithItsAlias()
    {
        OnePatchRig rig;
        QSignalSpy warnings(StatusManager::GetInstance(), &StatusManager::warningMessagePosted);
        QVERIFY(!rig.patch->setMIDIOutputPortName(QStringLiteral("Gone")));
        QCOMPARE(rig.patch->getMIDIOutputPortName(), QStringLiteral("SynthB"));
        QCOMPARE(warnings.count(), 1);
        QCOMPARE(warnings.at(0).at(0).toString(),
                 QStringLiteral(
                     "MIDI output port \"Gone\" not found.\n\nUsing \"SynthB\" (which is also aliased to "
                     "\"Lead\") instead."));
    }

    void missingPortWithoutAliasFallsBackToTheFirstPortWithAnError()
    {
        OnePatchRig rig;
        rig.patch->setMIDIOutputPortName(QStringLiteral("SynthC"));
        QSignalSpy errors(StatusManager::GetInstance(), &StatusManager::errorMessagePosted);
        QVERIFY(!rig.patch->setMIDIOutputPortName(QStringLiteral("Nowhere")));
        QCOMPARE(rig.patch->getMIDIOutputPortName(), QStringLiteral("SynthA"));
        QCOMPARE(errors.count(), 1);
        QCOMPARE(errors.at(0).at(0).toString(),
                 QStringLiteral("MIDI output port \"Nowhere\" not found.\n\nUsing \"SynthA\" instead."));
    }

    void changingPortEndsNotesOnTheOldPort()
    {
        OnePatchRig rig;
        RoutingTestRig::play(QStringLiteral("Keys"), {0x90, 60, 100});
        RoutingTestRig::clearSent();
        rig.patch->setMIDIOutputPortName(QStringLiteral("SynthC"));
        QCOMPARE(RoutingTestRig::takeSent(QStringLiteral("SynthA")), Sent({{0x80, 60, 127}}));
        RoutingTestRig::play(QStringLiteral("Keys"), {0x80, 60, 0});
        QCOMPARE(RoutingTestRig::takeSent(QStringLiteral("SynthC")), Sent({{0x80, 60, 0}}));
        QVERIFY(RoutingTestRig::takeSent(QStringLiteral("SynthA")).isEmpty());
    }

    void colorLabelMinusOneOnAnUnlabelledPatchStillCounts()
    {
        OnePatchRig rig;
        rig.patch->setModified(false);
        QSignalSpy changed(rig.patch, &MIDIPatchTarget::colorLabelChangedTo);
        QSignalSpy cleared(rig.patch, &MIDIPatchTarget::colorLabelCleared);
        rig.patch->setColorLabel(-1);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(cleared.count(), 1);
        QVERIFY(rig.patch->isModified());
    }

    void chainListOperations()
    {
        OnePatchRig rig;
        auto* a = new ShiftingTestTransform(1);
        auto* b = new ShiftingTestTransform(2);
        auto* c = new ShiftingTestTransform(3);
        rig.patch->addMIDIDataTransform(a);
        rig.patch->addMIDIDataTransform(b);
        rig.patch->addMIDIDataTransform(c);
        rig.patch->addMIDIDataTransform(a);
        QCOMPARE(rig.patch->getNumMIDIDataTransforms(), 3);
        QSignalSpy moved(rig.patch, &MIDIPatchTarget::midiDataTransformMovedTo);
        rig.patch->moveMIDIDataTransformToIndex(b, 1);
        QCOMPARE(moved.count(), 0);
        rig.patch->moveMIDIDataTransformToIndex(c, 0);
        QCOMPARE(moved.count(), 1);
        QCOMPARE(rig.patch->getIndexOfMIDIDataTransform(c), 0);
        rig.patch->setBypassStateForTransforms(true, a);
        QVERIFY(!c->isBypassed());
        QVERIFY(a->isBypassed() && b->isBypassed());
        rig.patch->removeMIDIDataTransformsFrom(a, true);
        QCOMPARE(rig.patch->getNumMIDIDataTransforms(), 1);
        QSignalSpy errors(StatusManager::GetInstance(), &StatusManager::errorMessagePosted);
        QVERIFY(!rig.patch->createNewMIDIDataTransform(QStringLiteral("No Such Transform")));
        QCOMPARE(errors.at(0).at(0).toString(), QStringLiteral("Invalid transform: No Such Transform"));
        QVERIFY(!rig.patch->createNewMIDIPatchInitializer(QStringLiteral("Nope")));
        QCOMPARE(errors.at(1).at(0).toString(), QStringLiteral("Invalid initializer: Nope"));
    }

    void editedInitializerIsHeardOnlyWhileItsOutputIsActive()
    {
        OnePatchRig rig;
        MIDIPatchInitializer* pc = rig.patch->createNewMIDIPatchInitializer(QStringLiteral("Program Change"));
        QVERIFY(pc);
        RoutingTestRig::clearSent();
        pc->setByte1(9);
        QCOMPARE(RoutingTestRig::takeSent(QStringLiteral("SynthA")), Sent({{0xC0, 9}}));
        MIDIOutput* other = rig.route->createNewMIDIOutput(false);
        QVERIFY(other->isActive());
        RoutingTestRig::clearSent();
        pc->setByte1(10);
        QVERIFY(RoutingTestRig::takeSent(QStringLiteral("SynthA")).isEmpty());
    }

    void xmlRoundTripKeepsEverything()
    {
        OnePatchRig rig;
        rig.patch->setName(QStringLiteral("Strings \u00e9"));
        rig.patch->setMIDIOutputPortName(QStringLiteral("SynthC"));
        rig.patch->setMIDIChannel(9);
        rig.patch->setMessageDelayType(MIDIPatchTarget::kRandomDelay);
        rig.patch->setMessageDelayInMillisecs(120);
        rig.patch->setColorLabel(4);
        rig.patch->setMuted(true);
        rig.patch->addMIDIPatchInitializer(createPCInitializer(7, nullptr));
        QDomDocument doc;
        QDomElement element = rig.patch->toDomElement(doc);
        MIDIPatchTarget copy(element, nullptr);
        QCOMPARE(copy.getName(), QStringLiteral("Strings \u00e9"));
        QCOMPARE(copy.getMIDIOutputPortName(), QStringLiteral("SynthC"));
        QCOMPARE(copy.getMIDIChannel(), BYTE(9));
        QVERIFY(copy.isMessageDelayRandom());
        QCOMPARE(copy.getMessageDelayInMillisecs(), 120);
        QCOMPARE(copy.getColorLabel(), 4);
        QVERIFY(copy.isMuted());
        QCOMPARE(copy.getNumMIDIPatchInitializers(), 1);
        QDomDocument again;
        again.appendChild(copy.toDomElement(again));
        QDomDocument first;
        first.appendChild(rig.patch->toDomElement(first));
        // The copy writes the very element the original writes, initializer included.
        const QDomElement written = first.documentElement();
        QCOMPARE(written.tagName(), QStringLiteral("MIDIPatchTarget"));
        QCOMPARE(written.attribute(QStringLiteral("name")), QStringLiteral("Strings \u00e9"));
        QCOMPARE(written.elementsByTagName(QStringLiteral("MIDIPatchInitializer")).count(), 1);
        QCOMPARE(again.toString(), first.toString());
    }

    void olderDocumentsGainTheirInitializers()
    {
        QDomDocument doc;
        doc.setContent(
            QStringLiteral("<MIDIPatchTarget name='Old' midiOutputPortName='SynthA' midiChannelIndex='2' "
                           "needsInitKeyswitch='1' initKeyswitch='24' needsInitVolume='1' "
                           "needsInitProgramChange='0' initProgramChange='3'>"
                           "<MIDIPatchInitializers><MIDIPatchInitializer name='CC' byte1='1' byte2='2'/>"
                           "</MIDIPatchInitializers></MIDIPatchTarget>"));
        QDomElement element = doc.documentElement();
        MIDIPatchTarget patch(element, nullptr);
        QCOMPARE(patch.getNumMIDIPatchInitializers(), 3);
        QCOMPARE(patch.getMIDIPatchInitializerAtIndex(0)->getName(), QStringLiteral("Note On"));
        QCOMPARE(*patch.getMIDIPatchInitializerAtIndex(0)->getInitializationMessage(),
                 Bytes({0x90, 24, 127}));
        QCOMPARE(patch.getMIDIPatchInitializerAtIndex(1)->getName(), QStringLiteral("Note Off"));
        QCOMPARE(*patch.getMIDIPatchInitializerAtIndex(1)->getInitializationMessage(),
                 Bytes({0x80, 24, 127}));
        QCOMPARE(patch.getMIDIPatchInitializerAtIndex(2)->getName(), QStringLiteral("CC"));
    }

    void brokenAttributesAreReadSafely()
    {
        QDomDocument doc;
        doc.setContent(
            QStringLiteral("<MIDIPatchTarget midiOutputPortName='SynthA' midiChannelIndex='99' "
                           "messageDelay='100000' messageDelayType='7' muted='yes'>"
                           "<MIDIDataTransforms><MIDIDataTransform name='Bogus'/></MIDIDataTransforms>"
                           "</MIDIPatchTarget>"));
        QSignalSpy errors(StatusManager::GetInstance(), &StatusManager::errorMessagePosted);
        QDomElement element = doc.documentElement();
        MIDIPatchTarget patch(element, nullptr);
        QCOMPARE(patch.getMIDIChannel(), BYTE(0));
        QCOMPARE(patch.getMessageDelayInMillisecs(), MIDIPatchTarget::kMaxMessageDelay);
        QVERIFY(patch.isMessageDelayConstant());
        QVERIFY(!patch.isMuted());
        QCOMPARE(patch.getNumMIDIDataTransforms(), 0);
        QCOMPARE(errors.count(), 1);
        QCOMPARE(errors.at(0).at(0).toString(), QStringLiteral("Invalid transform: Bogus"));
    }
};

QTEST_GUILESS_MAIN(MIDIPatchTargetTest)
#include "tst_MIDIPatchTarget.moc"
