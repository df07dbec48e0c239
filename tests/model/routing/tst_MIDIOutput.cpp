#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/routing/MIDIRoute.h"
#include "support/RoutingTestRig.h"
#include "support/TestPrefs.h"

#include <QSignalSpy>
#include <QTest>
#include <memory>

using Bytes = midiMessage_t;
using Sent = QList<Bytes>;

class MIDIOutputTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        useTemporaryPrefs();
        RoutingTestRig::install();
    }

    void raisingMainDragsRangeUpAndLoweringRangeSwaps()
    {
        MIDIOutput output(QStringLiteral("O"), nullptr);
        output.setActivationRangeValue(60);
        output.setMainActivationValue(70);
        QCOMPARE(output.getMainActivationValue(), BYTE(70));
        QCOMPARE(output.getActivationRangeValue(), BYTE(70));
        QSignalSpy range(&output, &MIDIOutput::activationRangeValueChangedTo);
        output.setActivationRangeValue(50);
        QCOMPARE(output.getMainActivationValue(), BYTE(50));
        QCOMPARE(output.getActivationRangeValue(), BYTE(70));
        QVERIFY(!range.isEmpty());
        QCOMPARE(range.last().at(0).toInt(), 70);
    }

    void copyingAllPatchesOntoTheSameOutputAppendsAClonePerPatch()
    {
        MIDIOutput output(QStringLiteral("O"), nullptr);
        MIDIPatchTarget* first = output.createNewMIDIPatchTarget(false, QStringLiteral("SynthA"));
        MIDIPatchTarget* second = output.createNewMIDIPatchTarget(false, QStringLiteral("SynthB"));
        second->setMIDIChannel(9);
        QSignalSpy added(&output, &MIDIOutput::midiPatchTargetAdded);
        output.copyAllPatchesFrom(&output);
        QCOMPARE(output.getNumMIDIPatchTargets(), 4);
        QCOMPARE(added.count(), 2);
        QCOMPARE(output.getMIDIPatchTargetAtIndex(0), first);
        QCOMPARE(output.getMIDIPatchTargetAtIndex(1), second);
        MIDIPatchTarget* firstClone = output.getMIDIPatchTargetAtIndex(2);
        MIDIPatchTarget* secondClone = output.getMIDIPatchTargetAtIndex(3);
        QCOMPARE(firstClone->getName(), first->getName());
        QCOMPARE(firstClone->getMIDIOutputPortName(), QStringLiteral("SynthA"));
        QCOMPARE(secondClone->getName(), second->getName());
        QCOMPARE(secondClone->getMIDIOutputPortName(), QStringLiteral("SynthB"));
        QCOMPARE(secondClone->getMIDIChannel(), BYTE(9));
        QVERIFY(output.isModified());
    }

    void anOutputAlwaysKeepsOnePatch()
    {
        MIDIOutput output(QStringLiteral("O"), nullptr);
        MIDIPatchTarget* only = output.createNewMIDIPatchTarget(false, QString());
        output.removeMIDIPatchTarget(only, true);
        QCOMPARE(output.getNumMIDIPatchTargets(), 1);
        MIDIPatchTarget* second = output.createNewMIDIPatchTarget(false, QString());
        output.createNewMIDIPatchTarget(false, QString());
        output.removeMIDIPatchTargetsFrom(only, true);
        QCOMPARE(output.getNumMIDIPatchTargets(), 2);
        QCOMPARE(output.getMIDIPatchTargetAtIndex(0), second);
    }

    void newPatchesAreNumberedAndTakeTheNextChannel()
    {
        MIDIOutput output(QStringLiteral("O"), nullptr);
        MIDIPatchTarget* first = output.createNewMIDIPatchTarget(false, QStringLiteral("SynthB"));
        QCOMPARE(first->getName(), QStringLiteral("Patch1"));
        QCOMPARE(first->getMIDIOutputPortName(), QStringLiteral("SynthB"));
        first->setMIDIChannel(15);
        MIDIPatchTarget* second = output.createNewMIDIPatchTarget(false, QString());
        QCOMPARE(second->getName(), QStringLiteral("Patch2"));
        QCOMPARE(second->getMIDIOutputPortName(), QStringLiteral("SynthB"));
        QCOMPARE(second->getMIDIChannel(), BYTE(0));
        MIDIPatchTarget* third = output.createNewMIDIPatchTarget(false, QStringLiteral("SynthC"));
        QCOMPARE(third->getMIDIOutputPortName(), QStringLiteral("SynthC"));
        QCOMPARE(third->getMIDIChannel(), BYTE(1));
    }

    void repeatedNoteIsRememberedPerNoteOn()
    {
        MIDIRoute route(QStringLiteral("Keys"), MIDIRoute::kAnyChannel, QStringLiteral("In"), nullptr);
        MIDIOutput* output = route.createNewMIDIOutput(false);
        RoutingTestRig::play(QStringLiteral("Keys"), {0x90, 60, 100});
        RoutingTestRig::play(QStringLiteral("Keys"), {0x90, 60, 80});
        RoutingTestRig::play(QStringLiteral("Keys"), {0x80, 60, 0});
        QCOMPARE(output->getNotesSounding(), QVector<BYTE>({60}));
        QCOMPARE(output->getVelocityOfNoteSounding(60), BYTE(80));
        RoutingTestRig::play(QStringLiteral("Keys"), {0x90, 60, 0});
        QVERIFY(!output->hasNotesSounding());
        QCOMPARE(output->getVelocityOfNoteSounding(60), BYTE(0));
    }

    void duplicateSitsRightAfterItsOriginal()
    {
        MIDIOutput output(QStringLiteral("O"), nullptr);
        MIDIPatchTarget* a = output.createNewMIDIPatchTarget(false, QString());
        output.createNewMIDIPatchTarget(false, QString());
        a->setMIDIChannel(6);
        MIDIPatchTarget* dup = output.duplicateMIDIPatchTarget(a);
        QCOMPARE(output.getIndexOfMIDIPatchTarget(dup), 1);
        QCOMPARE(dup->getName(), QStringLiteral("Patch1.dup"));
        QCOMPARE(dup->getMIDIChannel(), BYTE(6));
        QVERIFY(!output.duplicateMIDIPatchTarget(nullptr));
    }

    void replaceKeepsThePlace()
    {
        MIDIOutput output(QStringLiteral("O"), nullptr);
        output.createNewMIDIPatchTarget(false, QString());
        MIDIPatchTarget* b = output.createNewMIDIPatchTarget(false, QString());
        output.createNewMIDIPatchTarget(false, QString());
        auto* replacement = new MIDIPatchTarget(QStringLiteral("SynthC"), 4, QStringLiteral("New"), nullptr);
        output.replaceMIDIPatchTarget(b, replacement);
        QCOMPARE(output.getNumMIDIPatchTargets(), 3);
        QCOMPARE(output.getIndexOfMIDIPatchTarget(replacement), 1);
        QVERIFY(!output.hasMIDIPatchTarget(b));
    }

    void reroutingWithAnyChannelChangesEveryPatchOnThePort()
    {
        MIDIOutput output(QStringLiteral("O"), nullptr);
        MIDIPatchTarget* a = output.createNewMIDIPatchTarget(false, QStringLiteral("SynthA"));
        MIDIPatchTarget* b = output.createNewMIDIPatchTarget(false, QStringLiteral("SynthA"));
        MIDIPatchTarget* c = output.createNewMIDIPatchTarget(false, QStringLiteral("SynthB"));
        QCOMPARE(output.rerouteOutputPort(QStringLiteral("SynthA"), 1, QStringLiteral("SynthC"), -1), 1);
        QCOMPARE(b->getMIDIOutputPortName(), QStringLiteral("SynthC"));
        QCOMPARE(b->getMIDIChannel(), BYTE(1));
        QCOMPARE(output.rerouteOutputPort(QStringLiteral("SynthC"), -1, QStringLiteral("SynthB"), 9), 1);
        QCOMPARE(output.rerouteOutputPort(QStringLiteral("SynthA"), -1, QStringLiteral("SynthB"), -1), 1);
        QCOMPARE(a->getMIDIOutputPortName(), QStringLiteral("SynthB"));
        QCOMPARE(a->getMIDIChannel(), BYTE(0));
        QCOMPARE(b->getMIDIChannel(), BYTE(9));
        QCOMPARE(c->getMIDIChannel(), BYTE(2));
    }

    void portAndIncrementingChannelsFromAPatch()
    {
        MIDIOutput output(QStringLiteral("O"), nullptr);
        output.createNewMIDIPatchTarget(false, QStringLiteral("SynthA"));
        MIDIPatchTarget* b = output.createNewMIDIPatchTarget(false, QStringLiteral("SynthA"));
        MIDIPatchTarget* c = output.createNewMIDIPatchTarget(false, QStringLiteral("SynthA"));
        QCOMPARE(output.setOutputPortAndIncrementChannelFrom(b, QStringLiteral("SynthC"), 14), 0);
        QCOMPARE(b->getMIDIChannel(), BYTE(14));
        QCOMPARE(c->getMIDIChannel(), BYTE(15));
        QCOMPARE(c->getMIDIOutputPortName(), QStringLiteral("SynthC"));
        QCOMPARE(output.setOutputPortAndIncrementChannelFrom(nullptr, QStringLiteral("SynthC"), 3), 3);
    }

    void soloAndMuteHelpers()
    {
        MIDIOutput output(QStringLiteral("O"), nullptr);
        MIDIPatchTarget* a = output.createNewMIDIPatchTarget(false, QString());
        MIDIPatchTarget* b = output.createNewMIDIPatchTarget(false, QString());
        MIDIPatchTarget* c = output.createNewMIDIPatchTarget(false, QString());
        output.muteAllPatchesExcept(b);
        QVERIFY(a->isMuted() && !b->isMuted() && c->isMuted());
        QVERIFY(output.areAllPatchesMutedExcept(b));
        output.setMuteStateFromPatch(b, false);
        QVERIFY(a->isMuted() && !b->isMuted() && !c->isMuted());
        QVERIFY(!output.areAllPatchesMutedExcept(b));
        output.setMuteStateOfAllPatchesTo(false);
        QVERIFY(!a->isMuted());
    }

    void modifiedTravelsUpOnTrueAndDownOnFalse()
    {
        MIDIOutput output(QStringLiteral("O"), nullptr);
        MIDIPatchTarget* a = output.createNewMIDIPatchTarget(false, QString());
        output.setModified(false);
        QVERIFY(!a->isModified());
        a->setMIDIChannel(5);
        QVERIFY(output.isModified());
        output.setModified(false);
        QVERIFY(!a->isModified());
    }

    void xmlRoundTripAndOldActivationAttributes()
    {
        MIDIRoute route(QStringLiteral("Keys"), 0, QStringLiteral("In"), nullptr);
        QDomDocument doc;
        doc.setContent(
            QStringLiteral("<MIDIOutput name='Old' activeSwitchType='1' activeProgramChange='5'>"
                           "<MIDIPatchTargets><MIDIPatchTarget name='P' midiOutputPortName='SynthB'/>"
                           "</MIDIPatchTargets></MIDIOutput>"));
        QDomElement element = doc.documentElement();
        auto* output = new MIDIOutput(element, &route, 0);
        route.addMIDIOutput(output);
        QVERIFY(route.isActivationMethodProgramChange());
        QCOMPARE(output->getMainActivationValue(), BYTE(5));
        QCOMPARE(output->getActivationRangeValue(), BYTE(5));
        QCOMPARE(output->getNumMIDIPatchTargets(), 1);

        QDomDocument written;
        written.appendChild(output->toDomElement(written));
        QDomElement again = written.documentElement();
        MIDIOutput copy(again, nullptr, -1);
        QDomDocument rewritten;
        rewritten.appendChild(copy.toDomElement(rewritten));
        QCOMPARE(rewritten.toString(), written.toString());
    }
};

QTEST_GUILESS_MAIN(MIDIOutputTest)
#include "tst_MIDIOutput.moc"
