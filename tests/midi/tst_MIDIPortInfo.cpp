#include "midi/MIDIPortInfo.h"
#include "persistence/AppPrefs.h"
#include "persistence/PrefKeys.h"
#include "support/FakeMIDIBackend.h"
#include "support/TestPrefs.h"

#include <QSignalSpy>
#include <QTest>

// The catalogue reads the ports once per process, so every case shares one set of ports and the
// preferences stored before the first use. Cases put back any use flag or alias they change.
namespace {

// A device whose name the service reports in UTF-8 ("Café"): the catalogue keeps the bytes as Latin-1.
const QString kCafe = QString::fromLatin1("Caf\xC3\xA9");

QMap<QString, QVariant> aliasMap(std::initializer_list<std::pair<const char*, const char*>> entries)
{
    QMap<QString, QVariant> map;
    for (const auto& entry : entries)
        map.insert(QString::fromLatin1(entry.first), QVariant(QString::fromLatin1(entry.second)));
    return map;
}

} // namespace

class MIDIPortInfoTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        useTemporaryPrefs();
        setMapPrefValue(PrefKeys::MIDIInputPortNameAliases, aliasMap({{"Pads", "Drum Pads"},
                                                                      {"Gone Keyboard", "Old Keys"},
                                                                      {"Keys", "Keys"},
                                                                      {"Twin A", "Twin"},
                                                                      {"Twin B", "Twin"}}));
        setMapPrefValue(PrefKeys::MIDIOutputPortNameAliases,
                        aliasMap({{"Unplugged Synth", "Big Synth"}, {"Synth 1", "Lead"}}));
        setStringListPrefValue(PrefKeys::MIDIInputPortsToNotUse,
                               {QStringLiteral("Keys"), QStringLiteral("Absent")});
        setStringListPrefValue(
            PrefKeys::MIDIOutputPortsToNotUse,
            {QStringLiteral("Synth 1"), QStringLiteral("Synth 2"), QStringLiteral("Sampler")});
        QVERIFY(FakeMIDIBackend::install({"Keys", "Pads", kCafe, "Twin A", "Twin B"},
                                         {"Synth 1", "Synth 2", "Sampler"}));
        QVERIFY(MIDIPortInfo::GetInstance());
    }

    void listsPortsInServiceOrderByteForByte()
    {
        MIDIPortInfo* info = MIDIPortInfo::GetInstance();
        QCOMPARE(info->getNumInputPorts(), 5);
        QCOMPARE(info->getNumOutputPorts(), 3);
        QVERIFY(info->hasAnyInputPorts());
        QVERIFY(info->hasAnyOutputPorts());
        QCOMPARE(info->getInputPortNames(), QStringList({"Keys", "Pads", kCafe, "Twin A", "Twin B"}));
        QCOMPARE(info->getOutputPortNames(), QStringList({"Synth 1", "Synth 2", "Sampler"}));
        // Five characters: each byte of the name is one character, nothing is decoded as UTF-8.
        QCOMPARE(info->getNameOfInputPortAtIndex(2).size(), 5);
        QCOMPARE(info->getNameOfInputPortAtIndex(2).at(3).unicode(), ushort(0xC3));
        QCOMPARE(info->getIndexOfInputPortNamed(kCafe), 2);
        QCOMPARE(info->getIndexOfInputPortNamed(QStringLiteral("Café")), -1);
        QCOMPARE(info->getIndexOfOutputPortNamed(QStringLiteral("Sampler")), 2);
        QCOMPARE(info->getNameOfFirstInputPort(), QStringLiteral("Keys"));
        QCOMPARE(info->getNameOfFirstOutputPort(), QStringLiteral("Synth 1"));
        QCOMPARE(getInputPortNames(), info->getInputPortNames());
        QCOMPARE(getOutputPortNames(), info->getOutputPortNames());
        QCOMPARE(getNameOfFirstInputPort(), QStringLiteral("Keys"));
        QCOMPARE(getNameOfFirstOutputPort(), QStringLiteral("Synth 1"));
        QVERIFY(hasAnyInputPorts());
        QVERIFY(hasAnyOutputPorts());
    }

    void outOfRangeIndexesAndUnknownNamesGiveNothing()
    {
        MIDIPortInfo* info = MIDIPortInfo::GetInstance();
        QCOMPARE(info->getNameOfInputPortAtIndex(-1), QString());
        QCOMPARE(info->getNameOfInputPortAtIndex(5), QString());
        QCOMPARE(info->getNameOfOutputPortAtIndex(3), QString());
        QCOMPARE(info->getIndexOfInputPortNamed(QStringLiteral("keys")), -1); // case matters
        QVERIFY(!info->hasInputPortNamed(QStringLiteral("keys")));
        QVERIFY(!hasOutputPortNamed(QStringLiteral("Gone")));
    }

    void emptyNameIsPresentButHasNoIndex()
    {
        MIDIPortInfo* info = MIDIPortInfo::GetInstance();
        QVERIFY(info->hasInputPortNamed(QString()));
        QVERIFY(info->hasOutputPortNamed(QString()));
        QVERIFY(hasInputPortNamed(QString()));
        QCOMPARE(info->getIndexOfInputPortNamed(QString()), -1);
        QCOMPARE(info->getIndexOfOutputPortNamed(QString()), -1);
    }

    void unpluggedDeviceKeepsItsNameButIsNotAliased()
    {
        MIDIPortInfo* info = MIDIPortInfo::GetInstance();
        QCOMPARE(info->getAliasOfUnavailableInputPortNamed(QStringLiteral("Gone Keyboard")),
                 QStringLiteral("Old Keys"));
        QCOMPARE(info->getAliasOfUnavailableOutputPortNamed(QStringLiteral("Unplugged Synth")),
                 QStringLiteral("Big Synth"));
        QVERIFY(!info->doesInputPortHaveAnAlias(QStringLiteral("Gone Keyboard")));
        QCOMPARE(info->getInputPortAlias(QStringLiteral("Gone Keyboard")), QString());
        QCOMPARE(info->getInputPortAliasedTo(QStringLiteral("Old Keys")), QString());
        QCOMPARE(info->getAliasOfUnavailableInputPortNamed(QStringLiteral("Pads")), QString());
    }

    void storedAliasesOfPresentPortsAreLoaded()
    {
        MIDIPortInfo* info = MIDIPortInfo::GetInstance();
        QVERIFY(info->doesInputPortHaveAnAlias(QStringLiteral("Pads")));
        QCOMPARE(info->getInputPortAlias(QStringLiteral("Pads")), QStringLiteral("Drum Pads"));
        QCOMPARE(info->getInputPortAliasedTo(QStringLiteral("Drum Pads")), QStringLiteral("Pads"));
        QCOMPARE(info->getOutputPortAlias(QStringLiteral("Synth 1")), QStringLiteral("Lead"));
        QCOMPARE(info->getOutputPortAliasedTo(QStringLiteral("Lead")), QStringLiteral("Synth 1"));
        QCOMPARE(info->getOutputPortAliasedTo(QStringLiteral("Big Synth")), QString());
    }

    void aliasEqualToPortNameIsNoAlias()
    {
        MIDIPortInfo* info = MIDIPortInfo::GetInstance();
        QVERIFY(!info->doesInputPortHaveAnAlias(QStringLiteral("Keys")));
        QCOMPARE(info->getInputPortAlias(QStringLiteral("Keys")), QString());
        QCOMPARE(info->getInputPortAliasedTo(QStringLiteral("Keys")), QString());
    }

    void twoDevicesWithTheSameNamePickTheFirstListed()
    {
        MIDIPortInfo* info = MIDIPortInfo::GetInstance();
        QCOMPARE(info->getInputPortAliasedTo(QStringLiteral("Twin")), QStringLiteral("Twin A"));
        QVERIFY(info->doesInputPortHaveAnAlias(QStringLiteral("Twin B")));
    }

    void namingAnAbsentPortChangesNothingAndSaysNothing()
    {
        MIDIPortInfo* info = MIDIPortInfo::GetInstance();
        QSignalSpy inputSpy(info, &MIDIPortInfo::inputPortAliasedTo);
        QSignalSpy outputSpy(info, &MIDIPortInfo::outputPortAliasedTo);
        info->setInputPortAlias(QStringLiteral("Gone Keyboard"), QStringLiteral("New Keys"));
        info->setOutputPortAlias(QStringLiteral("Nowhere"), QStringLiteral("Lead"));
        QCOMPARE(inputSpy.count(), 0);
        QCOMPARE(outputSpy.count(), 0);
        QCOMPARE(info->getAliasOfUnavailableInputPortNamed(QStringLiteral("Gone Keyboard")),
                 QStringLiteral("Old Keys"));
        QCOMPARE(info->getInputPortAliasedTo(QStringLiteral("New Keys")), QString());
        QCOMPARE(info->getOutputPortAliasedTo(QStringLiteral("Lead")), QStringLiteral("Synth 1"));
    }

    void namingAPortAnnouncesItEveryTime()
    {
        MIDIPortInfo* info = MIDIPortInfo::GetInstance();
        QSignalSpy spy(info, &MIDIPortInfo::outputPortAliasedTo);
        info->setOutputPortAlias(QStringLiteral("Synth 2"), QStringLiteral("Pad Synth"));
        info->setOutputPortAlias(QStringLiteral("Synth 2"), QStringLiteral("Pad Synth"));
        QCOMPARE(spy.count(), 2);
        QCOMPARE(spy.at(1).at(0).toString(), QStringLiteral("Synth 2"));
        QCOMPARE(spy.at(1).at(1).toString(), QStringLiteral("Pad Synth"));
        QCOMPARE(info->getOutputPortAlias(QStringLiteral("Synth 2")), QStringLiteral("Pad Synth"));
        // An empty display name counts as an alias; the preferences dialog keeps users from it.
        info->setOutputPortAlias(QStringLiteral("Synth 2"), QString());
        QVERIFY(info->doesOutputPortHaveAnAlias(QStringLiteral("Synth 2")));
        info->setOutputPortAlias(QStringLiteral("Synth 2"), QStringLiteral("Synth 2"));
        QVERIFY(!info->doesOutputPortHaveAnAlias(QStringLiteral("Synth 2")));
    }

    void portMarkedNotToUseIsListedButNeverTheDefault()
    {
        MIDIPortInfo* info = MIDIPortInfo::GetInstance();
        QVERIFY(!info->shouldInputPortBeUsed(QStringLiteral("Keys")));
        QVERIFY(info->getInputPortNames().contains(QStringLiteral("Keys")));
        QCOMPARE(info->getIndexOfInputPortNamed(QStringLiteral("Keys")), 0);
        QCOMPARE(info->getDefaultInputPortName(), QStringLiteral("Pads"));
        QVERIFY(info->shouldInputPortBeUsed(QStringLiteral("Pads")));
    }

    void everyOutputMarkedNotToUseLeavesNoDefault()
    {
        MIDIPortInfo* info = MIDIPortInfo::GetInstance();
        QCOMPARE(info->getDefaultOutputPortName(), QString());
        info->setUseOutputPort(QStringLiteral("Sampler"), true);
        QCOMPARE(info->getDefaultOutputPortName(), QStringLiteral("Sampler"));
        info->setUseOutputPort(QStringLiteral("Sampler"), false);
        QCOMPARE(info->getDefaultOutputPortName(), QString());
    }

    void useFlagIsStoredOnceAndClearedCompletely()
    {
        MIDIPortInfo* info = MIDIPortInfo::GetInstance();
        info->setUseInputPort(QStringLiteral("Pads"), false);
        info->setUseInputPort(QStringLiteral("Pads"), false);
        QVERIFY(!info->shouldInputPortBeUsed(QStringLiteral("Pads")));
        info->updatePortUseInPrefs();
        QCOMPARE(getStringListPrefValue(PrefKeys::MIDIInputPortsToNotUse).count(QStringLiteral("Pads")), 1);
        info->setUseInputPort(QStringLiteral("Pads"), true);
        QVERIFY(info->shouldInputPortBeUsed(QStringLiteral("Pads")));
        info->updatePortUseInPrefs();
        QCOMPARE(getStringListPrefValue(PrefKeys::MIDIInputPortsToNotUse).count(QStringLiteral("Pads")), 0);
        // A port that is not present can be marked too, and its mark survives.
        info->setUseInputPort(QStringLiteral("Later Device"), false);
        QVERIFY(!info->shouldInputPortBeUsed(QStringLiteral("Later Device")));
        info->setUseInputPort(QStringLiteral("Later Device"), true);
    }

    void useFlagsOfAbsentPortsSurviveARestart()
    {
        MIDIPortInfo::GetInstance()->updatePortUseInPrefs();
        QCOMPARE(getStringListPrefValue(PrefKeys::MIDIInputPortsToNotUse),
                 QStringList({QStringLiteral("Keys"), QStringLiteral("Absent")}));
        QCOMPARE(
            getStringListPrefValue(PrefKeys::MIDIOutputPortsToNotUse),
            QStringList({QStringLiteral("Synth 1"), QStringLiteral("Synth 2"), QStringLiteral("Sampler")}));
    }

    void aliasesSurviveARestartAndResetsStayReset()
    {
        MIDIPortInfo* info = MIDIPortInfo::GetInstance();
        info->setInputPortAlias(QStringLiteral("Pads"), QStringLiteral("Pads")); // reset by the user
        info->setInputPortAlias(kCafe, QStringLiteral("Café Organ"));
        info->updateAliasesInPrefs();
        const QMap<QString, QVariant> inputs = getMapPrefValue(PrefKeys::MIDIInputPortNameAliases);
        QCOMPARE(inputs.value(QStringLiteral("Gone Keyboard")).toString(), QStringLiteral("Old Keys"));
        QVERIFY(!inputs.contains(QStringLiteral("Keys")));
        QVERIFY(!inputs.contains(QStringLiteral("Pads")));
        QCOMPARE(inputs.value(kCafe).toString(), QStringLiteral("Café Organ"));
        QCOMPARE(inputs.value(QStringLiteral("Twin A")).toString(), QStringLiteral("Twin"));
        QCOMPARE(inputs.value(QStringLiteral("Twin B")).toString(), QStringLiteral("Twin"));
        QCOMPARE(inputs.size(), 4);
        const QMap<QString, QVariant> outputs = getMapPrefValue(PrefKeys::MIDIOutputPortNameAliases);
        QCOMPARE(outputs.value(QStringLiteral("Unplugged Synth")).toString(), QStringLiteral("Big Synth"));
        QCOMPARE(outputs.value(QStringLiteral("Synth 1")).toString(), QStringLiteral("Lead"));
        QVERIFY(!outputs.contains(QStringLiteral("Synth 2")));
        info->setInputPortAlias(QStringLiteral("Pads"), QStringLiteral("Drum Pads"));
    }
};

QTEST_GUILESS_MAIN(MIDIPortInfoTest)
#include "tst_MIDIPortInfo.moc"
