// A setup written to a file reads back as the same setup, and older documents are converted.
#include "app/StatusManager.h"
#include "model/initializers/MIDIPatchInitializer.h"
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "model/transforms/MIDIDataTransform.h"
#include "model/transforms/TransformRegistry.h"
#include "persistence/SetupFileReaderWriter.h"
#include "support/FullSetupBuilder.h"
#include "support/RoutingTestRig.h"
#include "support/SetupFileTestHelpers.h"
#include "support/TestPrefs.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

using namespace SetupFileTestHelpers;

// A hand-written document with one input on "Keys" whose outputs are given as XML text.
QByteArray documentWithOutputs(const QByteArray& outputs, const QByteArray& routeAttributes = {})
{
    return "<!DOCTYPE MIDIRoutingSetupDocument>\n<MIDIRoutingSetup name=\"Old\">\n <MIDIRoutes>\n"
           "  <MIDIRoute name=\"In\" midiPortName=\"Keys\" " +
           routeAttributes + ">\n   <MIDIOutputs>\n" + outputs +
           "   </MIDIOutputs>\n  </MIDIRoute>\n </MIDIRoutes>\n</MIDIRoutingSetup>\n";
}

// A document with one patch on "SynthA" whose attributes and children are given as XML text.
QByteArray documentWithPatch(const QByteArray& patchAttributes, const QByteArray& patchChildren)
{
    return documentWithOutputs(
        "<MIDIOutput name=\"O\" mainActivationValue=\"60\" activationRangeValue=\"60\">"
        "<MIDIPatchTargets><MIDIPatchTarget name=\"P\" midiOutputPortName=\"SynthA\" " +
        patchAttributes + ">" + patchChildren + "</MIDIPatchTarget></MIDIPatchTargets></MIDIOutput>\n");
}

MIDIPatchTarget* onlyPatchOf(MIDIRoutingSetup* setup)
{
    return setup->getMIDIRouteAtIndex(0)->getMIDIOutputAtIndex(0)->getMIDIPatchTargetAtIndex(0);
}

QStringList initializerNames(MIDIPatchTarget* patch)
{
    QStringList names;
    for (int i = 0; i < patch->getNumMIDIPatchInitializers(); ++i)
        names.append(patch->getMIDIPatchInitializerAtIndex(i)->getName());
    return names;
}

QStringList transformNames(MIDIPatchTarget* patch)
{
    QStringList names;
    for (int i = 0; i < patch->getNumMIDIDataTransforms(); ++i)
        names.append(patch->getMIDIDataTransformAtIndex(i)->getName());
    return names;
}

using Bytes = QList<int>;

Bytes bytesOf(MIDIPatchInitializer* initializer)
{
    return {initializer->getByte1(), initializer->getByte2(), initializer->getByte3()};
}

// Every transform of the setup, in document order.
QList<MIDIDataTransform*> transformsOf(MIDIRoutingSetup* setup)
{
    QList<MIDIDataTransform*> all;
    for (int r = 0; r < setup->getNumMIDIRoutes(); ++r) {
        MIDIRoute* route = setup->getMIDIRouteAtIndex(r);
        for (int o = 0; o < route->getNumMIDIOutputs(); ++o) {
            MIDIOutput* output = route->getMIDIOutputAtIndex(o);
            for (int p = 0; p < output->getNumMIDIPatchTargets(); ++p) {
                MIDIPatchTarget* patch = output->getMIDIPatchTargetAtIndex(p);
                for (int t = 0; t < patch->getNumMIDIDataTransforms(); ++t)
                    all.append(patch->getMIDIDataTransformAtIndex(t));
            }
        }
    }
    return all;
}

} // namespace

class SetupFileRoundTripTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        useTemporaryPrefs();
        RoutingTestRig::install();
        SetupPtr warmUp(buildSetupUsingEverything());
    }

    void everythingSavedReadsBackAsTheSameDocument()
    {
        QSignalSpy errors(StatusManager::GetInstance(), &StatusManager::errorMessagePosted);
        QSignalSpy warnings(StatusManager::GetInstance(), &StatusManager::warningMessagePosted);
        SetupPtr original(buildSetupUsingEverything());
        const QByteArray written = documentOf(original.get());

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Abend ♫.ms"));
        QVERIFY(files()->saveSetupToDisk(original.get(), path));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), written);
        QVERIFY(!original->isModified());
        QCOMPARE(original->getFilePath(), path);

        MIDIRoutingSetup read(QStringLiteral("no name"), nullptr);
        QVERIFY(files()->readSetupFromDisk(&read, path));
        QVERIFY(!read.isModified());
        QCOMPARE(read.getFilePath(), path);
        QCOMPARE(documentOf(&read), written);
        // Writing did not change anything either.
        QVERIFY(!read.isModified());
        QCOMPARE(errors.count(), 0);
        QCOMPARE(warnings.count(), 0);
    }

    void everyTransformAndInitializerTypeComesBack()
    {
        SetupPtr original(buildSetupUsingEverything());
        SetupPtr read = readDocument(documentOf(original.get()));
        QVERIFY(read);

        MIDIPatchTarget* grand =
            read->getMIDIRouteAtIndex(0)->getMIDIOutputAtIndex(0)->getMIDIPatchTargetAtIndex(0);
        MIDIPatchTarget* strings =
            read->getMIDIRouteAtIndex(0)->getMIDIOutputAtIndex(1)->getMIDIPatchTargetAtIndex(0);
        QCOMPARE(transformNames(grand) + transformNames(strings), allTransformTypeNames());
        QCOMPARE(initializerNames(grand), allInitializerTypeNames());
        // Each transform is of its registered class, not merely named like it.
        for (MIDIDataTransform* transform : transformsOf(read.get())) {
            std::unique_ptr<MIDIDataTransform> fresh(
                createMIDIDataTransformOfType(transform->getName(), nullptr));
            QVERIFY(fresh);
            QCOMPARE(transform->metaObject()->className(), fresh->metaObject()->className());
        }
        // Initializer parameters as the builder set them (seed 16 for the first).
        QCOMPARE(bytesOf(grand->getMIDIPatchInitializerAtIndex(0)), Bytes({16, 80, 16}));
        QCOMPARE(grand->getMIDIPatchInitializerAtIndex(0)->getInt1(), 16 * 97);
        QCOMPARE(grand->getMIDIPatchInitializerAtIndex(5)->getInt1(), 71 * 97);
    }

    void namesOutsideAsciiAndEveryMapValueSurvive()
    {
        SetupPtr original(buildSetupUsingEverything());
        SetupPtr read = readDocument(documentOf(original.get()));
        QVERIFY(read);
        QCOMPARE(read->getName(), QStringLiteral("Abendkonzert – Grüße ♫"));
        QCOMPARE(read->getMIDIRouteAtIndex(1)->getName(), QStringLiteral("Pads 日本"));
        QCOMPARE(read->getMIDIRouteAtIndex(0)->getMIDIOutputAtIndex(1)->getName(),
                 QStringLiteral("Streicher ♪"));
        QCOMPARE(
            read->getMIDIRouteAtIndex(0)->getMIDIOutputAtIndex(0)->getMIDIPatchTargetAtIndex(0)->getName(),
            QStringLiteral("Grand & \"Hall\" <1>"));

        const QList<MIDIDataTransform*> before = transformsOf(original.get());
        const QList<MIDIDataTransform*> after = transformsOf(read.get());
        QCOMPARE(after.size(), before.size());
        for (int i = 0; i < before.size(); ++i) {
            // A note filter keeps its notes' states, not the map it was given, and saves those.
            if (before[i]->getName() != QLatin1String("Note Filter"))
                QCOMPARE(after[i]->getMapValuesAsString(), before[i]->getMapValuesAsString());
            QCOMPARE(after[i]->isBypassed(), before[i]->isBypassed());
            QCOMPARE(after[i]->getInt1(), before[i]->getInt1());
            QCOMPARE(after[i]->getInt2(), before[i]->getInt2());
            QCOMPARE(after[i]->hasEditorPosition(), before[i]->hasEditorPosition());
            QCOMPARE(after[i]->getEditorPosition(), before[i]->getEditorPosition());
        }
        // A map that holds every value once, NUL and the other control characters included.
        MIDIDataTransform* velocityMap = after.at(2);
        QCOMPARE(velocityMap->getName(), QStringLiteral("Velocity Map"));
        QCOMPARE(velocityMap->getMapValuesAsString(), everyValueMapText(3));
        QCOMPARE(velocityMap->getMapValueAt(0), BYTE(3));
        QCOMPARE(velocityMap->getMapValueAt(121), BYTE(0));
    }

    void setupStateComesBack()
    {
        SetupPtr original(buildSetupUsingEverything());
        SetupPtr read = readDocument(documentOf(original.get()));
        QVERIFY(read);
        QCOMPARE(read->getNumMIDIRoutes(), 3);
        QCOMPARE(read->getActiveRoute(), read->getMIDIRouteAtIndex(1));
        MIDIRoute* keys = read->getMIDIRouteAtIndex(0);
        QCOMPARE(keys->getMIDIInputPortName(), QStringLiteral("Keys"));
        QCOMPARE(keys->getColorLabel(), 3);
        QCOMPARE(keys->getActiveMIDIOutput(), keys->getMIDIOutputAtIndex(1));
        QVERIFY(!keys->getMIDIOutputAtIndex(0)->isActive());
        MIDIOutput* strings = keys->getMIDIOutputAtIndex(1);
        QCOMPARE(strings->getMainActivationValue(), BYTE(38));
        QCOMPARE(strings->getColorLabel(), 7);
        QVERIFY(!strings->isShowingInnards());
        MIDIPatchTarget* stringsPatch = strings->getMIDIPatchTargetAtIndex(0);
        QVERIFY(stringsPatch->isMuted());
        QCOMPARE(stringsPatch->getMIDIOutputPortName(), QStringLiteral("SynthB"));
        QCOMPARE(stringsPatch->getMIDIChannel(), BYTE(5));
        QCOMPARE(stringsPatch->getMessageDelayInMillisecs(), 120);
        QVERIFY(stringsPatch->isMessageDelayConstant());
        QCOMPARE(stringsPatch->getColorLabel(), 0);
        MIDIPatchTarget* pad = strings->getMIDIPatchTargetAtIndex(1);
        QCOMPARE(pad->getMIDIChannel(), MIDIPatchTarget::kAnyChannel);
        QVERIFY(pad->isMessageDelayRandom());
        QCOMPARE(pad->getMessageDelayInMillisecs(), 500);
        QVERIFY(!pad->hasColorLabel());

        MIDIRoute* pads = read->getMIDIRouteAtIndex(1);
        QCOMPARE(pads->getMIDIChannel(), MIDIRoute::kAnyChannel);
        QCOMPARE(pads->getActivationControllerNumber(), 64);
        QVERIFY(pads->isOutputActivationValueRange());
        QVERIFY(!pads->hasColorLabel());
        QCOMPARE(pads->getMIDIOutputAtIndex(1)->getMainActivationValue(), BYTE(64));
        QCOMPARE(pads->getMIDIOutputAtIndex(1)->getActivationRangeValue(), BYTE(127));
        QCOMPARE(pads->getMIDIOutputAtIndex(0)->getActivationRangeValue(), BYTE(63));
        QVERIFY(read->getMIDIRouteAtIndex(2)->isActivationMethodProgramChange());
        QCOMPARE(read->getMIDIRouteAtIndex(2)->getMIDIChannel(), BYTE(9));
    }

    void readSetupPlaysLikeTheOriginal()
    {
        SetupPtr original(buildSetupUsingEverything());
        const QByteArray text = documentOf(original.get());
        original.reset();
        SetupPtr read = readDocument(text);
        QVERIFY(read);
        RoutingTestRig::clearSent();
        // Controller 64 at 100 switches the "Pads" input to "High", whose first patch (SynthC,
        // channel index 0) sends its program change initializer, program 0. The switch is not heard.
        MIDIRoute* pads = read->getMIDIRouteAtIndex(1);
        RoutingTestRig::play(QStringLiteral("Pads"), {0xB3, 64, 100});
        QCOMPARE(pads->getActiveMIDIOutput(), pads->getMIDIOutputAtIndex(1));
        QCOMPARE(RoutingTestRig::takeSent(QStringLiteral("SynthC")), QList<midiMessage_t>({{0xC0, 0x00}}));
        // A note then goes to both of its patches: SynthC channel index 0 and SynthA channel index 1.
        RoutingTestRig::play(QStringLiteral("Pads"), {0x92, 60, 90});
        QCOMPARE(RoutingTestRig::takeSent(QStringLiteral("SynthC")), QList<midiMessage_t>({{0x90, 60, 90}}));
        QCOMPARE(RoutingTestRig::takeSent(QStringLiteral("SynthA")), QList<midiMessage_t>({{0x91, 60, 90}}));
    }

    void fileIsUtf8WithADeclarationAndTheDocumentType()
    {
        SetupPtr original(buildSetupUsingEverything());
        const QByteArray text = documentOf(original.get());
        // Attributes in name order, so the same setup always gives the same file.
        QVERIFY(text.startsWith(
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE MIDIRoutingSetupDocument>\n"
            "<MIDIRoutingSetup activeRouteName=\"Pads \xe6\x97\xa5\xe6\x9c\xac\" documentVersion=\"1.0\" "
            "name=\"Abendkonzert \xe2\x80\x93 Gr\xc3\xbc\xc3\x9f"
            "e \xe2\x99\xab\" showingInnards=\"1\">\n"
            " <MIDIRoutes>\n"
            "  <MIDIRoute colorLabelIndex=\"3\" midiChannelIndex=\"0\" midiPortName=\"Keys\" "
            "name=\"Klavier \xc3\x9c"
            "ber\" outputActivationMethod=\"0\" outputActivationSpecificity=\"0\" showingInnards=\"1\">\n"));
        QVERIFY(text.endsWith("</MIDIRoutingSetup>\n"));
        QVERIFY(text.contains("Pads \xe6\x97\xa5\xe6\x9c\xac")); // 日本 in UTF-8
        QVERIFY(text.contains("Gr\xc3\xbc\xc3\x9f"
                              "e \xe2\x99\xab")); // Grüße ♫
        // No character XML forbids: the maps' control characters are escaped.
        for (const char c : text)
            QVERIFY2(static_cast<unsigned char>(c) >= 0x20 || c == '\n', "raw control character written");
        // One space of indentation per level.
        QVERIFY(text.contains("\n <MIDIRoutes>\n  <MIDIRoute "));
    }

    void newSetupWithOneOfEachReadsBackTheSame()
    {
        MIDIRoutingSetup setup(QStringLiteral("Gig"), nullptr);
        MIDIRoute* route = setup.createNewMIDIRoute(false);
        MIDIOutput* output = route->getMIDIOutputAtIndex(0);
        output->setMainActivationValue(72);
        MIDIPatchTarget* patch = output->getMIDIPatchTargetAtIndex(0);
        patch->setMIDIOutputPortName(QStringLiteral("SynthC"));
        patch->setMIDIChannel(11);
        patch->createNewMIDIPatchInitializer(QStringLiteral("Volume"))->setByte1(90);
        patch->createNewMIDIDataTransform(QStringLiteral("Transpose"))->setInt1(-5);

        QTemporaryDir dir;
        QVERIFY(files()->saveSetupToDisk(&setup, dir.filePath(QStringLiteral("gig.ms"))));
        MIDIRoutingSetup read(QStringLiteral("no name"), nullptr);
        QVERIFY(files()->readSetupFromDisk(&read, dir.filePath(QStringLiteral("gig.ms"))));
        QVERIFY(!read.isModified());
        QCOMPARE(read.getName(), QStringLiteral("Gig"));
        QCOMPARE(read.getNumMIDIRoutes(), 1);
        MIDIRoute* readRoute = read.getMIDIRouteAtIndex(0);
        QCOMPARE(readRoute->getName(), QStringLiteral("Input1"));
        QCOMPARE(readRoute->getMIDIInputPortName(), QStringLiteral("Keys"));
        QCOMPARE(readRoute->getMIDIChannel(), BYTE(0));
        QCOMPARE(readRoute->getNumMIDIOutputs(), 1);
        MIDIOutput* readOutput = readRoute->getMIDIOutputAtIndex(0);
        QCOMPARE(readOutput->getName(), QStringLiteral("Output1"));
        QVERIFY(readOutput->isActive());
        QCOMPARE(readOutput->getMainActivationValue(), BYTE(72));
        QCOMPARE(readOutput->getActivationRangeValue(), BYTE(72));
        MIDIPatchTarget* readPatch = readOutput->getMIDIPatchTargetAtIndex(0);
        QCOMPARE(readPatch->getName(), QStringLiteral("Patch1"));
        QCOMPARE(readPatch->getMIDIOutputPortName(), QStringLiteral("SynthC"));
        QCOMPARE(readPatch->getMIDIChannel(), BYTE(11));
        QCOMPARE(initializerNames(readPatch), QStringList({QStringLiteral("Volume")}));
        QCOMPARE(readPatch->getMIDIPatchInitializerAtIndex(0)->getByte1(), BYTE(90));
        QCOMPARE(transformNames(readPatch), QStringList({QStringLiteral("Transpose")}));
        QCOMPARE(readPatch->getMIDIDataTransformAtIndex(0)->getInt1(), -5);
    }

    void progressIsReportedRouteByRoute()
    {
        SetupPtr setup(buildSetupUsingEverything());
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("p.ms"));
        QSignalSpy saveStarting(files(), &SetupFileReaderWriter::setupFileSaveStarting);
        QSignalSpy saveProgress(files(), &SetupFileReaderWriter::setupFileSaveProgress);
        QSignalSpy saveFinished(files(), &SetupFileReaderWriter::setupFileSaveFinished);
        QVERIFY(files()->saveSetupToDisk(setup.get(), path));
        QCOMPARE(saveStarting.count(), 1);
        QCOMPARE(saveStarting.at(0).at(0).toString(), path);
        QCOMPARE(saveFinished.count(), 1);
        QCOMPARE(saveProgress.count(), 4);
        QCOMPARE(saveProgress.at(0), QVariantList({0, 3}));
        QCOMPARE(saveProgress.at(3), QVariantList({3, 3}));

        QSignalSpy openStarting(files(), &SetupFileReaderWriter::setupFileOpenStarting);
        QSignalSpy openProgress(files(), &SetupFileReaderWriter::setupFileOpenProgress);
        QSignalSpy openFinished(files(), &SetupFileReaderWriter::setupFileOpenFinished);
        MIDIRoutingSetup read(QStringLiteral("no name"), nullptr);
        QVERIFY(files()->readSetupFromDisk(&read, path));
        QCOMPARE(openStarting.count(), 1);
        QCOMPARE(openFinished.count(), 1);
        QCOMPARE(openProgress.count(), 4);
        QCOMPARE(openProgress.at(1), QVariantList({1, 3}));
        QCOMPARE(openProgress.at(3), QVariantList({3, 3}));
    }

    void savingAgainWithoutAPathUsesTheSetupsOwnFile()
    {
        SetupPtr setup(buildSetupUsingEverything());
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("own.ms"));
        QVERIFY(files()->saveSetupToDisk(setup.get(), path));
        setup->getMIDIRouteAtIndex(0)->setName(QStringLiteral("Renamed"));
        QVERIFY(setup->isModified());
        QVERIFY(files()->saveSetupToDisk(setup.get(), QString()));
        QVERIFY(!setup->isModified());
        MIDIRoutingSetup read(QStringLiteral("no name"), nullptr);
        read.setFilePath(path);
        QVERIFY(files()->readSetupFromDisk(&read, QString()));
        QCOMPARE(read.getMIDIRouteAtIndex(0)->getName(), QStringLiteral("Renamed"));
    }

    // Older documents.

    void olderOutputActivationAttributesAreConverted()
    {
        SetupPtr setup = readDocument(
            documentWithOutputs("<MIDIOutput name=\"A\" activeSwitchType=\"1\" activeProgramChange=\"5\" "
                                "activeKeyswitch=\"60\"/>\n"
                                "<MIDIOutput name=\"B\" activeSwitchType=\"0\" activeProgramChange=\"9\" "
                                "activeKeyswitch=\"64\"/>\n"));
        QVERIFY(setup);
        MIDIRoute* route = setup->getMIDIRouteAtIndex(0);
        // The first output's switch type chose program changes for the whole input.
        QVERIFY(route->isActivationMethodProgramChange());
        QCOMPARE(route->getMIDIOutputAtIndex(0)->getMainActivationValue(), BYTE(5));
        QCOMPARE(route->getMIDIOutputAtIndex(0)->getActivationRangeValue(), BYTE(5));
        // A later output's own switch type only chooses which old value it takes.
        QCOMPARE(route->getMIDIOutputAtIndex(1)->getMainActivationValue(), BYTE(64));
        QCOMPARE(route->getMIDIOutputAtIndex(1)->getActivationRangeValue(), BYTE(64));
    }

    void olderKeyswitchOutputWithoutSwitchTypeUsesTheKeyswitch()
    {
        SetupPtr setup = readDocument(
            documentWithOutputs("<MIDIOutput name=\"A\" activeKeyswitch=\"48\" activeProgramChange=\"3\"/>\n",
                                "outputActivationMethod=\"1\""));
        QVERIFY(setup);
        MIDIRoute* route = setup->getMIDIRouteAtIndex(0);
        QVERIFY(route->isActivationMethodKeyswitch());
        QCOMPARE(route->getMIDIOutputAtIndex(0)->getMainActivationValue(), BYTE(48));
    }

    void aHalfNewActivationPairFallsBackToTheOldForm()
    {
        SetupPtr setup = readDocument(documentWithOutputs(
            "<MIDIOutput name=\"A\" mainActivationValue=\"70\" activeKeyswitch=\"50\"/>\n"));
        QVERIFY(setup);
        QCOMPARE(setup->getMIDIRouteAtIndex(0)->getMIDIOutputAtIndex(0)->getMainActivationValue(), BYTE(50));
    }

    void newActivationPairWinsAndARangeBelowTheMainValueIsSwapped()
    {
        SetupPtr setup = readDocument(documentWithOutputs(
            "<MIDIOutput name=\"A\" mainActivationValue=\"70\" activationRangeValue=\"50\" "
            "activeSwitchType=\"1\" activeProgramChange=\"5\"/>\n"));
        QVERIFY(setup);
        MIDIRoute* route = setup->getMIDIRouteAtIndex(0);
        QVERIFY(route->isActivationMethodKeyswitch());
        QCOMPARE(route->getMIDIOutputAtIndex(0)->getMainActivationValue(), BYTE(50));
        QCOMPARE(route->getMIDIOutputAtIndex(0)->getActivationRangeValue(), BYTE(70));
    }

    void olderInitializationAttributesBecomeInitializersFirst()
    {
        SetupPtr setup = readDocument(documentWithPatch(
            "needsInitKeyswitch=\"1\" initKeyswitch=\"24\" needsInitProgramChange=\"1\" "
            "initProgramChange=\"7\" "
            "needsInitVolume=\"1\" initVolume=\"100\"",
            "<MIDIPatchInitializers><MIDIPatchInitializer name=\"CC\" byte1=\"1\" byte2=\"2\"/>"
            "</MIDIPatchInitializers>"));
        QVERIFY(setup);
        MIDIPatchTarget* patch = onlyPatchOf(setup.get());
        QCOMPARE(initializerNames(patch),
                 QStringList({QStringLiteral("Program Change"), QStringLiteral("Note On"),
                              QStringLiteral("Note Off"), QStringLiteral("Volume"), QStringLiteral("CC")}));
        QCOMPARE(patch->getMIDIPatchInitializerAtIndex(0)->getByte1(), BYTE(7));
        QCOMPARE(bytesOf(patch->getMIDIPatchInitializerAtIndex(1)).mid(0, 2), Bytes({24, 127}));
        QCOMPARE(patch->getMIDIPatchInitializerAtIndex(2)->getByte1(), BYTE(24));
        QCOMPARE(bytesOf(patch->getMIDIPatchInitializerAtIndex(3)).mid(0, 2), Bytes({7, 100}));
        QCOMPARE(bytesOf(patch->getMIDIPatchInitializerAtIndex(4)).mid(0, 2), Bytes({1, 2}));

        // Saved again, the old attributes are gone and the initializers stay.
        const QByteArray again = documentOf(setup.get());
        QVERIFY(!again.contains("needsInit"));
        SetupPtr reread = readDocument(again);
        QVERIFY(reread);
        QCOMPARE(initializerNames(onlyPatchOf(reread.get())), initializerNames(patch));
    }

    void olderInitializationPairsThatAskForNothingAddNothing()
    {
        SetupPtr setup = readDocument(documentWithPatch(
            "needsInitVolume=\"1\" needsInitKeyswitch=\"0\" initKeyswitch=\"30\" initProgramChange=\"4\"",
            ""));
        QVERIFY(setup);
        QCOMPARE(onlyPatchOf(setup.get())->getNumMIDIPatchInitializers(), 0);
    }

    void missingAttributesTakeTheirDefaults()
    {
        SetupPtr setup = readDocument(
            "<MIDIRoutingSetup><MIDIRoutes><MIDIRoute midiPortName=\"Keys\"><MIDIOutputs><MIDIOutput>"
            "<MIDIPatchTargets><MIDIPatchTarget midiOutputPortName=\"SynthB\">"
            "<MIDIPatchInitializers><MIDIPatchInitializer name=\"Note On\"/>"
            "<MIDIPatchInitializer name=\"Pitch Bend\"/></MIDIPatchInitializers>"
            "<MIDIDataTransforms><MIDIDataTransform name=\"Transpose\"/>"
            "<MIDIDataTransform name=\"Velocity Map\" editorPositionX=\"40\"/></MIDIDataTransforms>"
            "</MIDIPatchTarget></MIDIPatchTargets></MIDIOutput></MIDIOutputs></MIDIRoute></MIDIRoutes>"
            "</MIDIRoutingSetup>");
        QVERIFY(setup);
        QCOMPARE(setup->getName(), QString());
        QVERIFY(setup->isShowingInnards());
        MIDIRoute* route = setup->getMIDIRouteAtIndex(0);
        QCOMPARE(setup->getActiveRoute(), route);
        QCOMPARE(route->getName(), QString());
        QVERIFY(route->isShowingInnards());
        QCOMPARE(route->getMIDIChannel(), BYTE(0));
        QVERIFY(route->isActivationMethodKeyswitch());
        QVERIFY(route->isOutputActivationValueSpecific());
        QVERIFY(!route->hasColorLabel());
        MIDIOutput* output = route->getMIDIOutputAtIndex(0);
        QVERIFY(output->isActive());
        QCOMPARE(output->getMainActivationValue(), BYTE(0));
        QCOMPARE(output->getActivationRangeValue(), BYTE(0));
        QVERIFY(!output->hasColorLabel());
        MIDIPatchTarget* patch = output->getMIDIPatchTargetAtIndex(0);
        QVERIFY(!patch->isMuted());
        QCOMPARE(patch->getMIDIChannel(), BYTE(0));
        QCOMPARE(patch->getMessageDelayInMillisecs(), 0);
        QVERIFY(patch->isMessageDelayConstant());
        QVERIFY(!patch->hasColorLabel());
        // Missing initializer values read as 0, not as the type's own defaults.
        QCOMPARE(bytesOf(patch->getMIDIPatchInitializerAtIndex(0)), Bytes({0, 0, 0}));
        QCOMPARE(patch->getMIDIPatchInitializerAtIndex(1)->getInt1(), 0);
        MIDIDataTransform* transpose = patch->getMIDIDataTransformAtIndex(0);
        QVERIFY(!transpose->isBypassed());
        QCOMPARE(transpose->getByte1(), BYTE(0));
        QCOMPARE(transpose->getInt1(), 0);
        std::unique_ptr<MIDIDataTransform> fresh(
            createMIDIDataTransformOfType(QStringLiteral("Transpose"), nullptr));
        QCOMPARE(transpose->getInt2(), fresh->getInt2());
        QCOMPARE(transpose->getMapValuesAsString(), fresh->getMapValuesAsString());
        // Half an editor position is no position.
        QVERIFY(!patch->getMIDIDataTransformAtIndex(1)->hasEditorPosition());
    }

    void missingInt2KeepsTheTypesDefault()
    {
        for (const QString& type : allTransformTypeNames()) {
            SetupPtr setup = readDocument(
                documentWithPatch("", "<MIDIDataTransforms><MIDIDataTransform name=\"" + type.toUtf8() +
                                          "\" int1=\"3\"/>"
                                          "</MIDIDataTransforms>"));
            QVERIFY(setup);
            std::unique_ptr<MIDIDataTransform> fresh(createMIDIDataTransformOfType(type, nullptr));
            QCOMPARE(onlyPatchOf(setup.get())->getMIDIDataTransformAtIndex(0)->getInt2(), fresh->getInt2());
        }
    }

    void containersAreFoundAnywhereBelowTheirObject()
    {
        SetupPtr setup = readDocument(
            "<MIDIRoutingSetup><Wrapper><MIDIRoutes><MIDIRoute midiPortName=\"Pads\"><Extra><MIDIOutputs>"
            "<MIDIOutput name=\"X\"/><MIDIOutput name=\"Y\"/></MIDIOutputs></Extra></MIDIRoute>"
            "</MIDIRoutes></Wrapper></MIDIRoutingSetup>");
        QVERIFY(setup);
        QCOMPARE(setup->getNumMIDIRoutes(), 1);
        QCOMPARE(setup->getMIDIRouteAtIndex(0)->getNumMIDIOutputs(), 2);
        QCOMPARE(setup->getMIDIRouteAtIndex(0)->getMIDIOutputAtIndex(1)->getName(), QStringLiteral("Y"));
    }

    void ofTwoInputsWithTheActiveNameTheFirstBecomesActive()
    {
        SetupPtr setup = readDocument(
            "<MIDIRoutingSetup activeRouteName=\"Twin\"><MIDIRoutes>"
            "<MIDIRoute name=\"Other\" midiPortName=\"Keys\"/>"
            "<MIDIRoute name=\"Twin\" midiPortName=\"Keys\"/><MIDIRoute name=\"Twin\" midiPortName=\"Pads\"/>"
            "</MIDIRoutes></MIDIRoutingSetup>");
        QVERIFY(setup);
        QCOMPARE(setup->getActiveRoute(), setup->getMIDIRouteAtIndex(1));
        QVERIFY(setup->getMIDIRouteAtIndex(1)->isActive());
        QVERIFY(!setup->getMIDIRouteAtIndex(2)->isActive());
    }

    void anUnknownActiveInputNameLeavesTheFirstActive()
    {
        SetupPtr setup = readDocument("<MIDIRoutingSetup activeRouteName=\"Nobody\"><MIDIRoutes>"
                                      "<MIDIRoute name=\"A\" midiPortName=\"Keys\"/>"
                                      "<MIDIRoute name=\"B\" midiPortName=\"Keys\"/>"
                                      "</MIDIRoutes></MIDIRoutingSetup>");
        QVERIFY(setup);
        QCOMPARE(setup->getActiveRoute(), setup->getMIDIRouteAtIndex(0));
    }

    void strayMessageSettingsOfAnInputComeBackAndAreWrittenOnlyWhenSet()
    {
        SetupPtr setup = readDocument(documentWithOutputs(
            "<MIDIOutput name=\"A\" mainActivationValue=\"1\" activationRangeValue=\"1\"/>\n",
            "dropsStrayProgramChanges=\"1\" dropsClockAndActiveSensing=\"1\""));
        QVERIFY(setup);
        MIDIRoute* route = setup->getMIDIRouteAtIndex(0);
        QVERIFY(route->dropsStrayProgramChanges());
        QVERIFY(route->dropsClockAndActiveSensing());
        SetupPtr again = readDocument(documentOf(setup.get()));
        QVERIFY(again->getMIDIRouteAtIndex(0)->dropsStrayProgramChanges());
        QVERIFY(again->getMIDIRouteAtIndex(0)->dropsClockAndActiveSensing());

        // One alone comes back alone; with neither, the element has neither attribute.
        route->setDropsClockAndActiveSensing(false);
        SetupPtr one = readDocument(documentOf(setup.get()));
        QVERIFY(one->getMIDIRouteAtIndex(0)->dropsStrayProgramChanges());
        QVERIFY(!one->getMIDIRouteAtIndex(0)->dropsClockAndActiveSensing());
        route->setDropsStrayProgramChanges(false);
        const QByteArray plain = documentOf(setup.get());
        QVERIFY(!plain.contains("dropsStrayProgramChanges"));
        QVERIFY(!plain.contains("dropsClockAndActiveSensing"));
        SetupPtr old = readDocument(documentWithOutputs(
            "<MIDIOutput name=\"A\" mainActivationValue=\"1\" activationRangeValue=\"1\"/>\n"));
        QVERIFY(!old->getMIDIRouteAtIndex(0)->dropsStrayProgramChanges());
        QCOMPARE(documentOf(old.get()), documentOf(readDocument(documentOf(old.get())).get()));
    }

    void secondOutputMarkedActiveIsActive()
    {
        SetupPtr setup = readDocument(documentWithOutputs(
            "<MIDIOutput name=\"A\" isActive=\"0\" mainActivationValue=\"1\" activationRangeValue=\"1\"/>\n"
            "<MIDIOutput name=\"B\" isActive=\"1\" mainActivationValue=\"2\" activationRangeValue=\"2\"/>\n"
            "<MIDIOutput name=\"C\" mainActivationValue=\"3\" activationRangeValue=\"3\"/>\n"));
        QVERIFY(setup);
        MIDIRoute* route = setup->getMIDIRouteAtIndex(0);
        QCOMPARE(route->getActiveMIDIOutput(), route->getMIDIOutputAtIndex(1));
        QVERIFY(!route->getMIDIOutputAtIndex(0)->isActive());
        QVERIFY(route->getMIDIOutputAtIndex(1)->isActive());
        QVERIFY(!route->getMIDIOutputAtIndex(2)->isActive());
    }

    void latin1FileWithoutDeclarationIsStillRead()
    {
        // As older versions wrote it: 8-bit characters and no XML declaration.
        const QByteArray latin1 =
            documentWithOutputs("<MIDIOutput name=\"Fl\xfcgel \xa7\xe9\" mainActivationValue=\"1\" "
                                "activationRangeValue=\"1\"/>\n");
        SetupPtr setup = readDocument(latin1);
        QVERIFY(setup);
        QCOMPARE(setup->getMIDIRouteAtIndex(0)->getMIDIOutputAtIndex(0)->getName(),
                 QStringLiteral("Flügel §é"));
        // Saved again it is UTF-8 and reads back the same.
        SetupPtr again = readDocument(documentOf(setup.get()));
        QVERIFY(again);
        QCOMPARE(again->getMIDIRouteAtIndex(0)->getMIDIOutputAtIndex(0)->getName(),
                 QStringLiteral("Flügel §é"));
    }

    void rawControlCharactersInOlderValueMapsAreAccepted_data()
    {
        QTest::addColumn<bool>("latin1Name");
        QTest::newRow("utf-8 document") << false;
        QTest::newRow("latin-1 document") << true;
    }

    void rawControlCharactersInOlderValueMapsAreAccepted()
    {
        QFETCH(bool, latin1Name);
        // The map written literally, NUL and all, as older versions did. Tab, line feed and
        // carriage return are written as references, which older versions did too.
        const QString map = everyValueMapText(9);
        QByteArray mapBytes;
        for (const QChar c : map) {
            const char16_t u = c.unicode();
            if (u == '\t' || u == '\n' || u == '\r')
                mapBytes += "&#" + QByteArray::number(int(u)) + ";";
            else if (u == '&')
                mapBytes += "&amp;";
            else if (u == '<')
                mapBytes += "&lt;";
            else if (u == '"')
                mapBytes += "&quot;";
            else
                mapBytes += char(u);
        }
        QVERIFY(mapBytes.contains('\0'));
        const QByteArray name = latin1Name ? "Gr\xfc\xdf"
                                             "e"
                                           : "Gr\xc3\xbc\xc3\x9f"
                                             "e";
        SetupPtr setup = readDocument(documentWithPatch(
            "", "<MIDIDataTransforms><MIDIDataTransform name=\"Velocity Map\" valueMapping=\"" + mapBytes +
                    "\"/><MIDIDataTransform name=\"" + name + "\"/></MIDIDataTransforms>"));
        QVERIFY(setup);
        MIDIPatchTarget* patch = onlyPatchOf(setup.get());
        QCOMPARE(patch->getMIDIDataTransformAtIndex(0)->getMapValuesAsString(), map);
        // Written again, the map is escaped and reads back the same.
        const QByteArray again = documentOf(setup.get());
        QVERIFY(!again.contains('\0'));
        SetupPtr reread = readDocument(again);
        QVERIFY(reread);
        QCOMPARE(onlyPatchOf(reread.get())->getMIDIDataTransformAtIndex(0)->getMapValuesAsString(), map);
    }

    void aNameWithAControlCharacterStillSavesReadably()
    {
        // Characters XML cannot hold are left out of the file; tab survives as a reference.
        MIDIRoutingSetup setup(QStringLiteral("Tab\there \x01 bell"), nullptr);
        setup.createNewMIDIRoute(false)->setName(QStringLiteral("In\x02put\uFFFF"));
        SetupPtr read = readDocument(documentOf(&setup));
        QVERIFY(read);
        QCOMPARE(read->getName(), QStringLiteral("Tab\there  bell"));
        QCOMPARE(read->getMIDIRouteAtIndex(0)->getName(), QStringLiteral("Input"));

        // Half a surrogate pair cannot be written as UTF-8; whole pairs can.
        setup.getMIDIRouteAtIndex(0)->setName(QString(QChar(0xD800)) + QStringLiteral("x \U0001D11E"));
        SetupPtr halfPair = readDocument(documentOf(&setup));
        QVERIFY(halfPair);
        QCOMPARE(halfPair->getMIDIRouteAtIndex(0)->getName(), QStringLiteral("x \U0001D11E"));
    }

    void aPortMissingHereIsReplacedWithAMessage()
    {
        QSignalSpy errors(StatusManager::GetInstance(), &StatusManager::errorMessagePosted);
        SetupPtr setup = readDocument(
            documentWithOutputs("<MIDIOutput name=\"O\"><MIDIPatchTargets><MIDIPatchTarget name=\"P\" "
                                "midiOutputPortName=\"Studio Rack\"/></MIDIPatchTargets></MIDIOutput>"));
        QVERIFY(setup);
        QCOMPARE(onlyPatchOf(setup.get())->getMIDIOutputPortName(), QStringLiteral("SynthA"));
        QCOMPARE(errors.count(), 1);
        QCOMPARE(errors.at(0).at(0).toString(),
                 QStringLiteral("MIDI output port \"Studio Rack\" not found.\n\nUsing \"SynthA\" instead."));
    }
};

QTEST_GUILESS_MAIN(SetupFileRoundTripTest)
#include "tst_SetupFileRoundTrip.moc"
