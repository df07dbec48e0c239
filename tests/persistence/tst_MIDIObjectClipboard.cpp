// Copy and paste of patches, patch lists and outputs through the clipboard.
#include "app/StatusManager.h"
#include "model/initializers/InitializerRegistry.h"
#include "model/initializers/MIDIPatchInitializer.h"
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/routing/MIDIRoute.h"
#include "model/transforms/BuiltInTransforms.h"
#include "model/transforms/MIDIDataTransform.h"
#include "model/transforms/TransformRegistry.h"
#include "model/transforms/ValueMapClipboard.h"
#include "persistence/MIDIObjectClipboard.h"
#include "support/FullSetupBuilder.h"
#include "support/RoutingTestRig.h"
#include "support/TestPrefs.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <memory>

namespace {

QByteArray clipboardData(const QString& mimeType)
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
    return data ? data->data(mimeType) : QByteArray();
}

QStringList clipboardFormats()
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
    return data ? data->formats() : QStringList();
}

void putRawData(const QString& mimeType, const QByteArray& bytes)
{
    auto* data = new QMimeData;
    data->setData(mimeType, bytes);
    QGuiApplication::clipboard()->setMimeData(data, QClipboard::Clipboard);
}

QByteArray elementText(BaseMIDIObject* object)
{
    QDomDocument document;
    document.appendChild(object->toDomElement(document));
    return document.toByteArray(1);
}

// An input on "Keys" with output "Lead" (60, three patches, the second with a transform and an
// initializer) and output "Bass" (62, one patch); "Lead" is active.
struct Rig
{
    std::unique_ptr<MIDIRoute> route;
    MIDIOutput* lead = nullptr;
    MIDIOutput* bass = nullptr;

    Rig()
    {
        route = std::make_unique<MIDIRoute>(QStringLiteral("Keys"), 0, QStringLiteral("In"), nullptr);
        lead = route->createNewMIDIOutput(false);
        lead->setName(QStringLiteral("Lead"));
        lead->setMainActivationValue(60);
        lead->getMIDIPatchTargetAtIndex(0)->setName(QStringLiteral("Saw"));
        MIDIPatchTarget* square = lead->createNewMIDIPatchTarget(false, QStringLiteral("SynthB"));
        square->setName(QStringLiteral("Square ♪"));
        square->setMuted(true);
        square->setColorLabel(4);
        square->createNewMIDIDataTransform(QStringLiteral("Velocity Map"))
            ->setMapValuesFromString(everyValueMapText(17));
        square->createNewMIDIPatchInitializer(QStringLiteral("Program Change"))->setByte1(12);
        lead->createNewMIDIPatchTarget(false, QStringLiteral("SynthC"))->setName(QStringLiteral("Noise"));
        bass = route->createNewMIDIOutput(false);
        bass->setName(QStringLiteral("Bass"));
        bass->setMainActivationValue(62);
        lead->setActive(true);
        RoutingTestRig::clearSent();
    }
};

} // namespace

class MIDIObjectClipboardTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        useTemporaryPrefs();
        RoutingTestRig::install();
        registerBuiltInTransforms();
        registerBuiltInInitializers();
        QVERIFY(QGuiApplication::clipboard());
    }

    void mimeTypesAreTheDocumentedOnes()
    {
        QCOMPARE(midiPatchTargetMimeType(), QStringLiteral("x-application/Quorvell-MIDIPatchTargetXML"));
        QCOMPARE(midiPatchTargetListMimeType(),
                 QStringLiteral("x-application/Quorvell-MIDIPatchTargetListXML"));
        QCOMPARE(midiOutputMimeType(), QStringLiteral("x-application/Quorvell-MIDIOutputXML"));
    }

    void copiedPatchIsItsOwnElementUnderItsDocumentType()
    {
        Rig rig;
        MIDIPatchTarget* square = rig.lead->getMIDIPatchTargetAtIndex(1);
        putMIDIPatchTargetInClipboard(square);
        QCOMPARE(clipboardFormats(), QStringList({midiPatchTargetMimeType()}));
        const QByteArray data = clipboardData(midiPatchTargetMimeType());
        QVERIFY(data.startsWith("<!DOCTYPE MIDIPatchTarget_XML>\n<MIDIPatchTarget "));
        // Exactly the element the setup file holds for the patch, indented by one space.
        QVERIFY(data.endsWith(elementText(square).mid(elementText(square).indexOf("<MIDIPatchTarget"))));
        QVERIFY(data.contains("\n <MIDIPatchInitializers>"));
        QVERIFY(doesClipboardHaveMIDIPatchTarget());
        QVERIFY(!doesClipboardHaveMIDIPatchTargetList());
        QVERIFY(!doesClipboardHaveMIDIOutput());
        QCOMPARE(getClipboardMIDIPatchTargetName(), QStringLiteral("Square ♪"));
    }

    void pastedPatchIsACopyOwnedByTheOutputButNotYetInIt()
    {
        Rig rig;
        MIDIPatchTarget* square = rig.lead->getMIDIPatchTargetAtIndex(1);
        putMIDIPatchTargetInClipboard(square);
        std::unique_ptr<MIDIPatchTarget> pasted(createMIDIPatchTargetFromClipboard(rig.bass));
        QVERIFY(pasted);
        QCOMPARE(pasted->parent(), rig.bass);
        QCOMPARE(rig.bass->getNumMIDIPatchTargets(), 1);
        QCOMPARE(elementText(pasted.get()), elementText(square));
        QCOMPARE(pasted->getMIDIDataTransformAtIndex(0)->getMapValuesAsString(), everyValueMapText(17));
        QVERIFY(pasted->isMuted());
    }

    void copyingAPatchThenAnOutputLeavesOnlyTheOutput()
    {
        Rig rig;
        putMIDIPatchTargetInClipboard(rig.lead->getMIDIPatchTargetAtIndex(0));
        putMIDIOutputInClipboard(rig.bass);
        QVERIFY(!doesClipboardHaveMIDIPatchTarget());
        QVERIFY(doesClipboardHaveMIDIOutput());
        QCOMPARE(getClipboardMIDIPatchTargetName(), QString());
        QSignalSpy errors(StatusManager::GetInstance(), &StatusManager::errorMessagePosted);
        QVERIFY(createMIDIPatchTargetFromClipboard(rig.lead) == nullptr);
        QVERIFY(createMIDIPatchTargetListFromClipboard(rig.lead).isEmpty());
        QCOMPARE(errors.count(), 0); // nothing of that kind there: nothing to complain about
        QCOMPARE(getClipboardMIDIOutputName(), QStringLiteral("Bass"));
    }

    void copiedPatchListPastesInItsOrder()
    {
        Rig rig;
        putMIDIPatchTargetsInClipboard(rig.lead);
        QCOMPARE(clipboardFormats(), QStringList({midiPatchTargetListMimeType()}));
        const QByteArray data = clipboardData(midiPatchTargetListMimeType());
        QVERIFY(
            data.startsWith("<!DOCTYPE MIDIPatchTargetList_XML>\n<MIDIPatchTargets>\n <MIDIPatchTarget "));
        QVERIFY(doesClipboardHaveMIDIPatchTargetList());
        QCOMPARE(getClipboardMIDIPatchTargetListSize(), 3);

        const QList<MIDIPatchTarget*> pasted = createMIDIPatchTargetListFromClipboard(rig.bass);
        QCOMPARE(pasted.size(), 3);
        QStringList names;
        for (MIDIPatchTarget* patch : pasted) {
            QCOMPARE(patch->parent(), rig.bass);
            names.append(patch->getName());
        }
        QCOMPARE(names,
                 QStringList({QStringLiteral("Saw"), QStringLiteral("Square ♪"), QStringLiteral("Noise")}));
        QCOMPARE(elementText(pasted.at(1)), elementText(rig.lead->getMIDIPatchTargetAtIndex(1)));
        for (MIDIPatchTarget* patch : pasted)
            rig.bass->addMIDIPatchTarget(patch);
        QCOMPARE(rig.bass->getNumMIDIPatchTargets(), 4);
    }

    void copyingAnOutputWithoutPatchesGivesAnEmptyList()
    {
        MIDIOutput empty(QStringLiteral("Empty"), nullptr);
        putMIDIPatchTargetsInClipboard(&empty);
        QVERIFY(doesClipboardHaveMIDIPatchTargetList());
        QCOMPARE(getClipboardMIDIPatchTargetListSize(), 0);
        QSignalSpy errors(StatusManager::GetInstance(), &StatusManager::errorMessagePosted);
        QVERIFY(createMIDIPatchTargetListFromClipboard(&empty).isEmpty());
        QCOMPARE(errors.count(), 0);
    }

    void copiedOutputPastesWithItsPatchesWithoutTakingOver()
    {
        Rig rig;
        putMIDIOutputInClipboard(rig.lead); // the active output
        QCOMPARE(clipboardFormats(), QStringList({midiOutputMimeType()}));
        const QByteArray data = clipboardData(midiOutputMimeType());
        QVERIFY(data.startsWith("<!DOCTYPE MIDIOutput_XML>\n<MIDIOutput "));
        QVERIFY(data.contains(" isActive=\"1\""));
        QCOMPARE(getClipboardMIDIOutputName(), QStringLiteral("Lead"));

        QSignalSpy activeChanged(rig.route.get(), &MIDIRoute::activeMIDIOutputChangedTo);
        MIDIOutput* pasted = createMIDIOutputFromClipboard(rig.route.get());
        QVERIFY(pasted);
        QCOMPARE(pasted->parent(), rig.route.get());
        QCOMPARE(pasted->getLoadIndex(), -1);
        QCOMPARE(pasted->getName(), QStringLiteral("Lead"));
        QCOMPARE(pasted->getMainActivationValue(), BYTE(60));
        QCOMPARE(pasted->getNumMIDIPatchTargets(), 3);
        QCOMPARE(elementText(pasted->getMIDIPatchTargetAtIndex(1)),
                 elementText(rig.lead->getMIDIPatchTargetAtIndex(1)));
        // Pasting does not switch the sound being played, nor send anything.
        QVERIFY(!pasted->isActive());
        QCOMPARE(rig.route->getActiveMIDIOutput(), rig.lead);
        QCOMPARE(activeChanged.count(), 0);
        rig.route->addMIDIOutput(pasted);
        QCOMPARE(rig.route->getNumMIDIOutputs(), 3);
        QCOMPARE(rig.route->getActiveMIDIOutput(), rig.lead);
        QVERIFY(rig.lead->isActive());
        QVERIFY(RoutingTestRig::takeSent(QStringLiteral("SynthB")).isEmpty());
        // The keyswitch still plays the original output's patches only.
        RoutingTestRig::play(QStringLiteral("Keys"), {0x90, 50, 100});
        QCOMPARE(RoutingTestRig::takeSent(QStringLiteral("SynthC")), QList<midiMessage_t>({{0x92, 50, 100}}));
    }

    void droppedPastedOutputLeavesTheInputSound()
    {
        Rig rig;
        putMIDIOutputInClipboard(rig.lead);
        delete createMIDIOutputFromClipboard(rig.route.get());
        QCOMPARE(rig.route->getActiveMIDIOutput(), rig.lead);
        RoutingTestRig::play(QStringLiteral("Keys"), {0x90, 50, 100});
        QCOMPARE(RoutingTestRig::takeSent(QStringLiteral("SynthA")), QList<midiMessage_t>({{0x90, 50, 100}}));
    }

    void pastedOutputInOlderFormDoesNotChangeTheInputsMethod()
    {
        Rig rig;
        putRawData(midiOutputMimeType(),
                   "<!DOCTYPE MIDIOutput_XML>\n<MIDIOutput name=\"Old\" activeSwitchType=\"1\" "
                   "activeProgramChange=\"7\"/>\n");
        std::unique_ptr<MIDIOutput> pasted(createMIDIOutputFromClipboard(rig.route.get()));
        QVERIFY(pasted);
        QCOMPARE(pasted->getMainActivationValue(), BYTE(7));
        QVERIFY(rig.route->isActivationMethodKeyswitch());
    }

    void valueMapArrivesCharacterForCharacter()
    {
        std::unique_ptr<MIDIDataTransform> from(
            createMIDIDataTransformOfType(QStringLiteral("CC Map"), nullptr));
        std::unique_ptr<MIDIDataTransform> to(
            createMIDIDataTransformOfType(QStringLiteral("Velocity Map"), nullptr));
        from->setMapValuesFromString(everyValueMapText(29));
        from->copyValueMapToClipboard();
        QVERIFY(doesClipboardHaveValueMap());
        QVERIFY(!doesClipboardHaveMIDIPatchTarget());
        to->pasteValueMapFromClipboard();
        QCOMPARE(to->getMapValuesAsString(), everyValueMapText(29));
    }

    void textFromOtherProgramsIsNoneOfOurs()
    {
        putTextInClipboard(QStringLiteral("<MIDIPatchTarget name=\"Looks like one\"/>"));
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 QStringLiteral("<MIDIPatchTarget name=\"Looks like one\"/>"));
        QVERIFY(!doesClipboardHaveMIDIPatchTarget());
        QVERIFY(!doesClipboardHaveMIDIPatchTargetList());
        QVERIFY(!doesClipboardHaveMIDIOutput());
        QVERIFY(!doesClipboardHaveValueMap());
        QCOMPARE(getClipboardMIDIPatchTargetName(), QString());
        QCOMPARE(getClipboardMIDIPatchTargetListSize(), 0);
    }

    void foreignOrBrokenDataPastesNothing_data()
    {
        QTest::addColumn<QString>("mimeType");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("complaint");
        const QString patch = midiPatchTargetMimeType();
        const QString list = midiPatchTargetListMimeType();
        const QString output = midiOutputMimeType();
        const QByteArray garbage("\x00\xff\x13<<>>\x7f garbage", 18);
        for (const QString& type : {patch, list, output}) {
            const QByteArray kind = type.section(QLatin1Char('-'), 2).toLatin1();
            QTest::newRow(kind + ": empty") << type << QByteArray() << "it is empty";
            QTest::newRow(kind + ": garbage") << type << garbage << "it is not readable (line 1, column ";
            QTest::newRow(kind + ": truncated")
                << type << QByteArray("<MIDIPatchTargets><MIDIPatchTarget name=\"A\"")
                << "it is not readable (line 1, column ";
            QTest::newRow(kind + ": plain text") << type << QByteArray("Grand piano") << "it is not readable";
            QTest::newRow(kind + ": a web page")
                << type << QByteArray("<html><body>Hi</body></html>") << "it holds \"html\" instead of";
            QTest::newRow(kind + ": a whole setup")
                << type << QByteArray("<MIDIRoutingSetup><MIDIRoutes/></MIDIRoutingSetup>")
                << "it holds \"MIDIRoutingSetup\" instead of";
        }
        QTest::newRow("an output where a patch belongs")
            << patch << QByteArray("<!DOCTYPE MIDIOutput_XML>\n<MIDIOutput name=\"O\"/>")
            << "The patch on the clipboard cannot be pasted: it holds \"MIDIOutput\" instead of "
               "\"MIDIPatchTarget\".";
        QTest::newRow("a patch where a list belongs") << list << QByteArray("<MIDIPatchTarget name=\"P\"/>")
                                                      << "The list of patches on the clipboard cannot be "
                                                         "pasted: it holds \"MIDIPatchTarget\" instead of "
                                                         "\"MIDIPatchTargets\".";
        QTest::newRow("a list where an output belongs")
            << output << QByteArray("<MIDIPatchTargets/>")
            << "The output on the clipboard cannot be pasted: it holds \"MIDIPatchTargets\" instead of "
               "\"MIDIOutput\".";
    }

    void foreignOrBrokenDataPastesNothing()
    {
        QFETCH(QString, mimeType);
        QFETCH(QByteArray, data);
        QFETCH(QString, complaint);
        Rig rig;
        putRawData(mimeType, data);
        const int outputs = rig.route->getNumMIDIOutputs();
        const int patches = rig.bass->getNumMIDIPatchTargets();
        QSignalSpy errors(StatusManager::GetInstance(), &StatusManager::errorMessagePosted);

        // Menus asking what is there get nothing, quietly.
        QCOMPARE(getClipboardMIDIPatchTargetName(), QString());
        QCOMPARE(getClipboardMIDIOutputName(), QString());
        QCOMPARE(getClipboardMIDIPatchTargetListSize(), 0);
        QCOMPARE(errors.count(), 0);

        // A paste makes nothing and says why.
        if (mimeType == midiPatchTargetMimeType())
            QVERIFY(createMIDIPatchTargetFromClipboard(rig.bass) == nullptr);
        else if (mimeType == midiPatchTargetListMimeType())
            QVERIFY(createMIDIPatchTargetListFromClipboard(rig.bass).isEmpty());
        else
            QVERIFY(createMIDIOutputFromClipboard(rig.route.get()) == nullptr);
        QCOMPARE(errors.count(), 1);
        const QString message = errors.at(0).at(0).toString();
        QVERIFY2(message.contains(complaint), qPrintable(message));
        QVERIFY2(message.endsWith(QLatin1Char('.')), qPrintable(message));
        QCOMPARE(rig.route->getNumMIDIOutputs(), outputs);
        QCOMPARE(rig.bass->getNumMIDIPatchTargets(), patches);
        QCOMPARE(rig.bass->children().size(), patches);
        QCOMPARE(rig.route->getActiveMIDIOutput(), rig.lead);
    }

    void patchListSizeCountsWhatAPasteMakes()
    {
        // Comments and stray text between the patches are not patches.
        putRawData(midiPatchTargetListMimeType(),
                   "<MIDIPatchTargets> text <!-- note --><MIDIPatchTarget name=\"A\"/>\n<Other/>"
                   "<MIDIPatchTarget name=\"B\"/></MIDIPatchTargets>");
        QCOMPARE(getClipboardMIDIPatchTargetListSize(), 2);
        MIDIOutput output(QStringLiteral("O"), nullptr);
        const QList<MIDIPatchTarget*> pasted = createMIDIPatchTargetListFromClipboard(&output);
        QCOMPARE(pasted.size(), 2);
        QCOMPARE(pasted.at(1)->getName(), QStringLiteral("B"));
    }

    void copyingNothingChangesNothing()
    {
        putTextInClipboard(QStringLiteral("kept"));
        putMIDIPatchTargetInClipboard(nullptr);
        putMIDIPatchTargetsInClipboard(nullptr);
        putMIDIOutputInClipboard(nullptr);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("kept"));
    }
};

QTEST_MAIN(MIDIObjectClipboardTest)
#include "tst_MIDIObjectClipboard.moc"
