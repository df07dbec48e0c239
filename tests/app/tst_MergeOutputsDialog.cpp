#include "ModalBoxCatcher.h"
#include "app/DialogCommands.h"
#include "app/MIDIRoutingSetupOutputMergerDialog.h"
#include "app/StatusManager.h"
#include "midi/MIDIPortInfo.h"
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "model/routing/MIDIRoutingSetupManager.h"
#include "model/routing/MIDIRoutingSetupOutputMerger.h"
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

class MergeOutputsDialogTest : public QObject
{
    Q_OBJECT

private:
    MIDIRoutingSetup* _setup = nullptr;
    MIDIRoute* _piano = nullptr;  // outputs Piano (2 patches) and Strings (1 patch)
    MIDIRoute* _layers = nullptr; // outputs Strings and Brass, one patch each; the active input

    MIDIOutput* addOutput(MIDIRoute* route, const QString& name, int patches, int activationValue)
    {
        // A new input comes with one output: the first call names that one.
        MIDIOutput* output = route->getMIDIOutputAtIndex(0);
        if (output->getName() != QStringLiteral("Output1"))
            output = route->createNewMIDIOutput(false);
        output->setName(name);
        output->setMainActivationValue(BYTE(activationValue));
        while (output->getNumMIDIPatchTargets() < patches)
            output->createNewMIDIPatchTarget(false, QString());
        return output;
    }

    static QPushButton* ok(MIDIRoutingSetupOutputMergerDialog& dialog)
    {
        return dialog.buttonBox()->button(QDialogButtonBox::Ok);
    }

private slots:
    void initTestCase()
    {
        useTemporaryPrefs();
        QVERIFY(FakeMIDIBackend::install({"Keys"}, {"Synth A"}));
        QVERIFY(MIDIPortInfo::GetInstance());
    }

    void init()
    {
        _setup = MIDIRoutingSetupManager::GetInstance()->createNewRoutingSetup(true, QString());
        _piano = _setup->createNewMIDIRoute(false);
        _layers = _setup->createNewMIDIRoute(false);
        _piano->setName(QStringLiteral("Piano"));
        _layers->setName(QStringLiteral("Layers"));
        addOutput(_piano, QStringLiteral("Piano"), 2, 60);
        addOutput(_piano, QStringLiteral("Strings"), 1, 61);
        addOutput(_layers, QStringLiteral("Strings"), 1, 70);
        addOutput(_layers, QStringLiteral("Brass"), 1, 60);
        _setup->setActiveRoute(_layers);
        setIntPrefValue(PrefKeys::OutputMergeMatchMode, 0);
    }

    void cleanup() { MIDIRoutingSetupManager::GetInstance()->clearCurrentRoutingSetup(true); }

    void dialogOffersEveryInputWithTheActiveOneAsTarget()
    {
        MIDIRoutingSetupOutputMerger merger(_setup);
        MIDIRoutingSetupOutputMergerDialog dialog(&merger, nullptr);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Merge Outputs"));
        QCOMPARE(dialog.sourceRouteComboBox()->count(), 2);
        QCOMPARE(dialog.sourceRouteComboBox()->currentText(), QStringLiteral("Piano"));
        QCOMPARE(dialog.targetRouteComboBox()->currentText(), QStringLiteral("Layers"));
        QCOMPARE(dialog.matchModeComboBox()->itemText(0), QStringLiteral("Output Name"));
        QCOMPARE(dialog.matchModeComboBox()->itemText(1), QStringLiteral("Activation Value/Range"));
        QCOMPARE(dialog.sourceRouteComboBox()->width(), dialog.matchModeComboBox()->width());
        QVERIFY(ok(dialog)->isEnabled());
    }

    void mergingAnInputIntoItselfCannotBeConfirmed()
    {
        MIDIRoutingSetupOutputMerger merger(_setup);
        MIDIRoutingSetupOutputMergerDialog dialog(&merger, nullptr);
        dialog.sourceRouteComboBox()->setCurrentIndex(1);
        QVERIFY(!ok(dialog)->isEnabled());
        dialog.buttonBox()->accepted(); // even a stray accept does nothing
        QCOMPARE(_layers->getMIDIOutputAtIndex(0)->getNumMIDIPatchTargets(), 1);
        dialog.targetRouteComboBox()->setCurrentIndex(0);
        QVERIFY(ok(dialog)->isEnabled());
    }

    void mergingByNameCopiesOnePatchAndSaysSo()
    {
        QSignalSpy status(StatusManager::GetInstance(),
                          qOverload<QString, int>(&StatusManager::statusMessagePosted));
        MIDIRoutingSetupOutputMerger merger(_setup);
        MIDIRoutingSetupOutputMergerDialog dialog(&merger, nullptr);
        dialog.show();
        ok(dialog)->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(_layers->getMIDIOutputAtIndex(0)->getNumMIDIPatchTargets(), 2); // Strings
        QCOMPARE(_layers->getMIDIOutputAtIndex(1)->getNumMIDIPatchTargets(), 1); // Brass
        QCOMPARE(_piano->getMIDIOutputAtIndex(0)->getNumMIDIPatchTargets(), 2);  // source unchanged
        QCOMPARE(status.count(), 1);
        QCOMPARE(status.at(0).at(0).toString(), QStringLiteral("1 patch merged into Layers."));
        QCOMPARE(status.at(0).at(1).toInt(), 3000);
    }

    void mergingSeveralPatchesSaysPatches()
    {
        _layers->getMIDIOutputAtIndex(1)->setName(QStringLiteral("Piano"));
        addOutput(_layers, QStringLiteral("Piano"), 1, 62);
        QSignalSpy status(StatusManager::GetInstance(),
                          qOverload<QString, int>(&StatusManager::statusMessagePosted));
        MIDIRoutingSetupOutputMerger merger(_setup);
        MIDIRoutingSetupOutputMergerDialog dialog(&merger, nullptr);
        ok(dialog)->click();
        QCOMPARE(status.count(), 1);
        QCOMPARE(status.at(0).at(0).toString(), QStringLiteral("5 patches merged into Layers."));
    }

    void aMergeThatMatchesNothingWarnsAndStaysOpenForAnotherTry()
    {
        _layers->getMIDIOutputAtIndex(0)->setName(QStringLiteral("Choir"));
        MIDIRoutingSetupOutputMerger merger(_setup);
        MIDIRoutingSetupOutputMergerDialog dialog(&merger, nullptr);
        dialog.show();
        ModalBoxCatcher boxes;
        ok(dialog)->click();
        QCOMPARE(boxes.titles(), QStringList{QStringLiteral("Merge Warning")});
        QCOMPARE(boxes.lastText(), QStringLiteral("No outputs merged."));
        QVERIFY(dialog.isVisible());
        // By activation value, Brass (60) takes Piano's two patches.
        dialog.matchModeComboBox()->setCurrentIndex(1);
        ok(dialog)->click();
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(_layers->getMIDIOutputAtIndex(1)->getNumMIDIPatchTargets(), 3);
    }

    void theMatchModeOfTheLastOkIsPreselected()
    {
        {
            MIDIRoutingSetupOutputMerger merger(_setup);
            MIDIRoutingSetupOutputMergerDialog dialog(&merger, nullptr);
            dialog.matchModeComboBox()->setCurrentIndex(1);
            ModalBoxCatcher boxes;
            ok(dialog)->click();
        }
        QCOMPARE(getIntPrefValue(PrefKeys::OutputMergeMatchMode, 0), 1);
        {
            MIDIRoutingSetupOutputMerger merger(_setup);
            MIDIRoutingSetupOutputMergerDialog dialog(&merger, nullptr);
            QCOMPARE(dialog.matchModeComboBox()->currentIndex(), 1);
            dialog.matchModeComboBox()->setCurrentIndex(0);
            dialog.reject(); // Cancel stores nothing
        }
        QCOMPARE(getIntPrefValue(PrefKeys::OutputMergeMatchMode, 0), 1);
        setIntPrefValue(PrefKeys::OutputMergeMatchMode, 7); // out of range: back to the first mode
        MIDIRoutingSetupOutputMerger merger(_setup);
        MIDIRoutingSetupOutputMergerDialog dialog(&merger, nullptr);
        QCOMPARE(dialog.matchModeComboBox()->currentIndex(), 0);
    }

    void theMenuCommandRefusesASetupWithOneInput()
    {
        _setup->removeMIDIRoute(_layers, true);
        ModalBoxCatcher boxes;
        DialogCommands::mergeOutputs(nullptr);
        QCOMPARE(boxes.titles(), QStringList{QStringLiteral("Merge Error")});
        QCOMPARE(boxes.lastText(), QStringLiteral("Insufficient outputs for merging."));
    }

    void theMenuCommandRunsTheDialogWhichMerges()
    {
        QTimer::singleShot(0, this, [] {
            auto* dialog =
                qobject_cast<MIDIRoutingSetupOutputMergerDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            dialog->buttonBox()->button(QDialogButtonBox::Ok)->click();
        });
        DialogCommands::mergeOutputs(nullptr);
        QCOMPARE(_layers->getMIDIOutputAtIndex(0)->getNumMIDIPatchTargets(), 2);
    }
};

QTEST_MAIN(MergeOutputsDialogTest)
#include "tst_MergeOutputsDialog.moc"
