#include "ModalBoxCatcher.h"
#include "app/DialogCommands.h"
#include "app/RerouteDialog.h"
#include "app/StatusManager.h"
#include "midi/MIDIPortInfo.h"
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "model/routing/MIDIRoutingSetupManager.h"
#include "persistence/AppPrefs.h"
#include "persistence/PrefKeys.h"
#include "support/FakeMIDIBackend.h"
#include "support/TestPrefs.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

// What a player's mouse does: the item becomes current and the combo announces the choice.
void choose(QComboBox* combo, const QString& text)
{
    const int index = combo->findText(text);
    QVERIFY2(index >= 0, qPrintable(text));
    combo->setCurrentIndex(index);
    emit combo->activated(index);
    emit combo->textActivated(combo->itemText(index));
}

QStringList itemTexts(const QComboBox* combo)
{
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts << combo->itemText(i);
    return texts;
}

QStringList itemPortNames(const QComboBox* combo)
{
    QStringList names;
    for (int i = 0; i < combo->count(); ++i)
        names << combo->itemData(i, Qt::UserRole).toString();
    return names;
}

bool okEnabled(const RerouteDialog& dialog)
{
    return dialog.buttonBox()->button(QDialogButtonBox::Ok)->isEnabled();
}

} // namespace

class RerouteDialogTest : public QObject
{
    Q_OBJECT

private:
    MIDIRoutingSetup* _setup = nullptr;

    MIDIRoute* addRoute(const QString& port, int channel)
    {
        MIDIRoute* route = _setup->createNewMIDIRoute(false);
        route->setMIDIInputPortName(port);
        route->setMIDIChannel(BYTE(channel));
        return route;
    }

    MIDIPatchTarget* patchOf(MIDIRoute* route)
    {
        return route->getMIDIOutputAtIndex(0)->getMIDIPatchTargetAtIndex(0);
    }

    // Runs the Edit menu command; `choices` acts on the dialog once it is up and ends it.
    void runCommand(const std::function<void(RerouteDialog*)>& choices)
    {
        bool seen = false;
        QTimer::singleShot(0, this, [&] {
            auto* dialog = qobject_cast<RerouteDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            seen = true;
            choices(dialog);
        });
        DialogCommands::reroutePort(nullptr);
        QVERIFY(seen);
    }

private slots:
    void initTestCase()
    {
        useTemporaryPrefs();
        QVERIFY(FakeMIDIBackend::install({"Keys", "Pads", "Drums", "Switched Off"},
                                         {"Synth A", "Synth B", "Sampler"}));
        MIDIPortInfo* info = MIDIPortInfo::GetInstance();
        info->setUseInputPort(QStringLiteral("Switched Off"), false);
        info->setInputPortAlias(QStringLiteral("Pads"), QStringLiteral("Drum & Pads"));
    }

    void init()
    {
        _setup = MIDIRoutingSetupManager::GetInstance()->createNewRoutingSetup(true, QString());
        addRoute(QStringLiteral("Keys"), 0);
        addRoute(QStringLiteral("Keys"), 4);
        setBoolPrefValue(PrefKeys::ReroutingInputIsSelected, true);
    }

    void cleanup() { MIDIRoutingSetupManager::GetInstance()->clearCurrentRoutingSetup(true); }

    void onlyPortsInUseCanBeLookedForAndTheLastOtherPortIsOffered()
    {
        RerouteDialog dialog(true, nullptr);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Reroute MIDI Port/Channel"));
        QVERIFY(dialog.isInputSelected());
        QCOMPARE(itemTexts(dialog.lookForPortComboBox()), QStringList{QStringLiteral("Keys")});
        QCOMPARE(dialog.getLookForPortName(), QStringLiteral("Keys"));
        // Any/All: the port itself is left out; the switched-off port never shows; aliases shown.
        QCOMPARE(itemTexts(dialog.replaceWithPortComboBox()), QStringList({"Drum & Pads", "Drums"}));
        QCOMPARE(itemPortNames(dialog.replaceWithPortComboBox()), QStringList({"Pads", "Drums"}));
        QCOMPARE(dialog.getReplaceWithPortName(), QStringLiteral("Drums"));
        QCOMPARE(dialog.getLookForChannelIndex(), -1);
        QCOMPARE(dialog.getReplaceWithChannelIndex(), -1);
        QVERIFY(okEnabled(dialog));

        choose(dialog.sourceChannelComboBox(), QStringLiteral("5"));
        QCOMPARE(itemTexts(dialog.replaceWithPortComboBox()), QStringList({"Keys", "Drum & Pads", "Drums"}));
        QCOMPARE(dialog.getLookForChannelIndex(), 4);
        QVERIFY(dialog.isSpecificSourceChannelSelected());
    }

    void choosingASourceChannelPutsTheTargetBackToSame()
    {
        RerouteDialog dialog(true, nullptr);
        choose(dialog.targetChannelComboBox(), QStringLiteral("9"));
        QCOMPARE(dialog.getReplaceWithChannelIndex(), 8);
        choose(dialog.sourceChannelComboBox(), QStringLiteral("2"));
        QCOMPARE(dialog.targetChannelComboBox()->currentText(), QStringLiteral("(same)"));
        QVERIFY(!dialog.isSpecificTargetChannelSelected());
    }

    void switchingToOutputsRebuildsBothPortLists()
    {
        patchOf(_setup->getMIDIRouteAtIndex(1))->setMIDIOutputPortName(QStringLiteral("Sampler"));
        RerouteDialog dialog(true, nullptr);
        choose(dialog.kindComboBox(), QStringLiteral("Output"));
        QVERIFY(dialog.isOutputSelected());
        QCOMPARE(itemTexts(dialog.lookForPortComboBox()), QStringList({"Synth A", "Sampler"}));
        QCOMPARE(itemTexts(dialog.replaceWithPortComboBox()), QStringList({"Synth B", "Sampler"}));
        choose(dialog.lookForPortComboBox(), QStringLiteral("Sampler"));
        QCOMPARE(itemTexts(dialog.replaceWithPortComboBox()), QStringList({"Synth A", "Synth B"}));
        QCOMPARE(dialog.getReplaceWithPortName(), QStringLiteral("Synth B"));
        choose(dialog.kindComboBox(), QStringLiteral("Input"));
        QCOMPARE(itemTexts(dialog.lookForPortComboBox()), QStringList{QStringLiteral("Keys")});
    }

    void aChoiceThatChangesNothingCannotBeConfirmed()
    {
        MIDIPortInfo* info = MIDIPortInfo::GetInstance();
        for (const char* port : {"Pads", "Drums"})
            info->setUseInputPort(QString::fromLatin1(port), false);
        RerouteDialog dialog(true, nullptr);
        // Only one usable port: it is offered as its own replacement, which changes nothing.
        QCOMPARE(itemTexts(dialog.replaceWithPortComboBox()), QStringList{QStringLiteral("Keys")});
        QVERIFY(!okEnabled(dialog));
        // Moving every channel of the port onto one channel does change something.
        choose(dialog.targetChannelComboBox(), QStringLiteral("3"));
        QVERIFY(okEnabled(dialog));
        // Channel 5 to channel 5 on the same port does not.
        choose(dialog.sourceChannelComboBox(), QStringLiteral("5"));
        QVERIFY(!okEnabled(dialog));
        choose(dialog.targetChannelComboBox(), QStringLiteral("5"));
        QVERIFY(!okEnabled(dialog));
        choose(dialog.targetChannelComboBox(), QStringLiteral("6"));
        QVERIFY(okEnabled(dialog));
        for (const char* port : {"Pads", "Drums"})
            info->setUseInputPort(QString::fromLatin1(port), true);
    }

    void nothingToLookForCannotBeConfirmed()
    {
        _setup->removeMIDIRoute(_setup->getMIDIRouteAtIndex(1), true);
        _setup->removeMIDIRoute(_setup->getMIDIRouteAtIndex(0), true);
        RerouteDialog dialog(true, nullptr);
        QCOMPARE(dialog.lookForPortComboBox()->count(), 0);
        QCOMPARE(dialog.getLookForPortName(), QString());
        QVERIFY(!okEnabled(dialog));
    }

    void reroutingOneChannelMovesOnlyThatInput()
    {
        runCommand([](RerouteDialog* dialog) {
            choose(dialog->sourceChannelComboBox(), QStringLiteral("5"));
            choose(dialog->replaceWithPortComboBox(), QStringLiteral("Drum & Pads"));
            choose(dialog->targetChannelComboBox(), QStringLiteral("10"));
            dialog->buttonBox()->button(QDialogButtonBox::Ok)->click();
        });
        QCOMPARE(_setup->getMIDIRouteAtIndex(0)->getMIDIInputPortName(), QStringLiteral("Keys"));
        QCOMPARE(_setup->getMIDIRouteAtIndex(0)->getMIDIChannel(), BYTE(0));
        QCOMPARE(_setup->getMIDIRouteAtIndex(1)->getMIDIInputPortName(), QStringLiteral("Pads"));
        QCOMPARE(_setup->getMIDIRouteAtIndex(1)->getMIDIChannel(), BYTE(9));
        QVERIFY(getBoolPrefValue(PrefKeys::ReroutingInputIsSelected, false));
    }

    void reroutingOutputsEverywhereMovesEveryPatchAndIsRemembered()
    {
        runCommand([](RerouteDialog* dialog) {
            choose(dialog->kindComboBox(), QStringLiteral("Output"));
            choose(dialog->replaceWithPortComboBox(), QStringLiteral("Synth B"));
            dialog->buttonBox()->button(QDialogButtonBox::Ok)->click();
        });
        for (int r = 0; r < 2; ++r) {
            QCOMPARE(patchOf(_setup->getMIDIRouteAtIndex(r))->getMIDIOutputPortName(),
                     QStringLiteral("Synth B"));
            QCOMPARE(_setup->getMIDIRouteAtIndex(r)->getMIDIInputPortName(), QStringLiteral("Keys"));
        }
        QVERIFY(!getBoolPrefValue(PrefKeys::ReroutingInputIsSelected, true));
        // The next time the dialog opens on outputs.
        runCommand([](RerouteDialog* dialog) {
            QVERIFY(dialog->isOutputSelected());
            dialog->reject();
        });
    }

    void cancelChangesNothing()
    {
        QSignalSpy warnings(StatusManager::GetInstance(), &StatusManager::warningMessagePosted);
        runCommand([](RerouteDialog* dialog) {
            choose(dialog->replaceWithPortComboBox(), QStringLiteral("Drums"));
            dialog->buttonBox()->button(QDialogButtonBox::Cancel)->click();
        });
        QCOMPARE(_setup->getMIDIRouteAtIndex(0)->getMIDIInputPortName(), QStringLiteral("Keys"));
        QCOMPARE(_setup->getMIDIRouteAtIndex(1)->getMIDIInputPortName(), QStringLiteral("Keys"));
        QCOMPARE(warnings.count(), 0);
    }

    void withoutASetupTheCommandDoesNothing()
    {
        MIDIRoutingSetupManager::GetInstance()->clearCurrentRoutingSetup(true);
        DialogCommands::reroutePort(nullptr); // returns at once: no dialog to answer
        QVERIFY(!QApplication::activeModalWidget());
    }
};

QTEST_MAIN(RerouteDialogTest)
#include "tst_RerouteDialog.moc"
