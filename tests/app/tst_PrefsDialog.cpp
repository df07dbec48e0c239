#include "ModalBoxCatcher.h"
#include "app/ColorLabelPrefsWidget.h"
#include "app/DialogCommands.h"
#include "app/GeneralOptionsPrefsWidget.h"
#include "app/MIDIPortPrefsTreeWidget.h"
#include "app/PortAliasEditorDelegate.h"
#include "app/PrefsDialog.h"
#include "midi/MIDIPortInfo.h"
#include "persistence/AppPrefs.h"
#include "persistence/PrefKeys.h"
#include "support/FakeMIDIBackend.h"
#include "support/TestPrefs.h"
#include "widgets/ColorChoiceRegistry.h"
#include "widgets/ColorSwatchFrame.h"

#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

namespace {

const QString kInsufficient = QStringLiteral("Insufficient Port Usage");
const QString kNameError = QStringLiteral("Port Display Name Error");

QTreeWidgetItem* rowOf(MIDIPortPrefsTreeWidget* tree, const QString& portName)
{
    for (int row = 0; row < tree->topLevelItemCount(); ++row) {
        if (tree->topLevelItem(row)->text(0) == portName)
            return tree->topLevelItem(row);
    }
    return nullptr;
}

void pressOk(PrefsDialog& dialog)
{
    dialog.buttonBox()->button(QDialogButtonBox::Ok)->click();
}

} // namespace

class PrefsDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        useTemporaryPrefs();
        QMap<QString, QVariant> aliases;
        aliases.insert(QStringLiteral("Pads"), QStringLiteral("Drum Pads"));
        aliases.insert(QStringLiteral("Unplugged"), QStringLiteral("Old Keys"));
        setMapPrefValue(PrefKeys::MIDIInputPortNameAliases, aliases);
        QVERIFY(FakeMIDIBackend::install({"Keys", "Pads"}, {"Synth A", "Synth B"}));
        QVERIFY(MIDIPortInfo::GetInstance());
    }

    // Every case starts from the same ports: all used, only Pads with a display name of its own.
    void init()
    {
        MIDIPortInfo* info = MIDIPortInfo::GetInstance();
        for (const QString& name : info->getInputPortNames()) {
            info->setUseInputPort(name, true);
            info->setInputPortAlias(name,
                                    name == QStringLiteral("Pads") ? QStringLiteral("Drum Pads") : name);
        }
        for (const QString& name : info->getOutputPortNames()) {
            info->setUseOutputPort(name, true);
            info->setOutputPortAlias(name, name);
        }
        info->updateAliasesInPrefs();
        info->updatePortUseInPrefs();
    }

    void treesShowEveryPortWithItsUseAndDisplayName()
    {
        MIDIPortInfo::GetInstance()->setUseOutputPort(QStringLiteral("Synth B"), false);
        PrefsDialog dialog(nullptr);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Quorvell Preferences"));
        QStringList titles;
        for (int i = 0; i < dialog.tabWidget()->count(); ++i)
            titles << dialog.tabWidget()->tabText(i);
        QCOMPARE(titles, QStringList({"MIDI Inputs", "MIDI Outputs", "Color Labels", "Options"}));
        MIDIInputPortPrefsTreeWidget* inputs = dialog.inputPortTree();
        QCOMPARE(inputs->headerItem()->text(0), QStringLiteral("Port Name"));
        QCOMPARE(inputs->headerItem()->text(1), QStringLiteral("Use"));
        QCOMPARE(inputs->headerItem()->text(2), QStringLiteral("Display Name"));
        QCOMPARE(inputs->getDisplayNames(), QStringList({"Keys", "Drum Pads"}));
        QVERIFY(inputs->useCheckBoxAt(0)->isChecked());
        QCOMPARE(dialog.outputPortTree()->getPortsToNotUse(), QStringList{QStringLiteral("Synth B")});
        QCOMPARE(dialog.outputPortTree()->getPortAliases().value(QStringLiteral("Synth A")),
                 QStringLiteral("Synth A"));
        dialog.reject();
    }

    void onlyTheDisplayNameCanBeEdited()
    {
        PrefsDialog dialog(nullptr);
        dialog.show();
        MIDIInputPortPrefsTreeWidget* tree = dialog.inputPortTree();
        QVERIFY(qobject_cast<InputAliasEditorDelegate*>(tree->itemDelegate()));
        QVERIFY(qobject_cast<OutputAliasEditorDelegate*>(dialog.outputPortTree()->itemDelegate()));
        QTreeWidgetItem* keys = rowOf(tree, QStringLiteral("Keys"));
        tree->editItem(keys, 0);
        QVERIFY(!tree->findChild<QLineEdit*>());
        tree->editItem(keys, 2);
        auto* editor = tree->findChild<QLineEdit*>();
        QVERIFY(editor);
        editor->selectAll();
        QTest::keyClicks(editor, QStringLiteral("Stage Keys"));
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_VERIFY(!tree->findChild<QLineEdit*>()); // the editor commits and closes from the event loop
        QCOMPARE(keys->text(0), QStringLiteral("Keys"));
        QCOMPARE(keys->text(2), QStringLiteral("Stage Keys"));
        // Nothing reaches the ports until OK.
        QCOMPARE(MIDIPortInfo::GetInstance()->getInputPortAlias(QStringLiteral("Keys")), QString());
        pressOk(dialog);
        QCOMPARE(MIDIPortInfo::GetInstance()->getInputPortAlias(QStringLiteral("Keys")),
                 QStringLiteral("Stage Keys"));
        QCOMPARE(getMapPrefValue(PrefKeys::MIDIInputPortNameAliases).value(QStringLiteral("Keys")).toString(),
                 QStringLiteral("Stage Keys"));
    }

    void uncheckingEveryInputIsRefusedAndSavesNothing()
    {
        PrefsDialog dialog(nullptr);
        dialog.show();
        dialog.inputPortTree()->useCheckBoxAt(0)->click();
        dialog.inputPortTree()->useCheckBoxAt(1)->click();
        rowOf(dialog.outputPortTree(), QStringLiteral("Synth A"))->setText(2, QStringLiteral("Lead"));
        dialog.optionsTab()->loadMostRecentCheckBox()->setChecked(false);
        ModalBoxCatcher boxes;
        pressOk(dialog);
        QCOMPARE(boxes.titles(), QStringList{kInsufficient});
        QCOMPARE(boxes.lastText(),
                 QStringLiteral("At least one MIDI input and output port must be selected for use."));
        QVERIFY(dialog.isVisible());
        QVERIFY(MIDIPortInfo::GetInstance()->shouldInputPortBeUsed(QStringLiteral("Keys")));
        QVERIFY(getStringListPrefValue(PrefKeys::MIDIInputPortsToNotUse).isEmpty());
        QCOMPARE(MIDIPortInfo::GetInstance()->getOutputPortAlias(QStringLiteral("Synth A")), QString());
        QVERIFY(getBoolPrefValue(PrefKeys::LoadMostRecentFileAtStart, true));
        // The edits are still there; ticking one input back makes OK go through.
        QCOMPARE(rowOf(dialog.outputPortTree(), QStringLiteral("Synth A"))->text(2), QStringLiteral("Lead"));
        dialog.inputPortTree()->useCheckBoxAt(1)->click();
        pressOk(dialog);
        QCOMPARE(boxes.count(), 1);
        QVERIFY(!dialog.isVisible());
        QVERIFY(!MIDIPortInfo::GetInstance()->shouldInputPortBeUsed(QStringLiteral("Keys")));
        QCOMPARE(getStringListPrefValue(PrefKeys::MIDIInputPortsToNotUse),
                 QStringList{QStringLiteral("Keys")});
        QVERIFY(!getBoolPrefValue(PrefKeys::LoadMostRecentFileAtStart, true));
    }

    void uncheckingEveryOutputIsRefusedToo()
    {
        PrefsDialog dialog(nullptr);
        dialog.show();
        dialog.outputPortTree()->useCheckBoxAt(0)->click();
        dialog.outputPortTree()->useCheckBoxAt(1)->click();
        ModalBoxCatcher boxes;
        pressOk(dialog);
        QCOMPARE(boxes.titles(), QStringList{kInsufficient});
        QVERIFY(dialog.isVisible());
    }

    void twoOutputsWithOneDisplayNameAreRefused()
    {
        PrefsDialog dialog(nullptr);
        dialog.show();
        rowOf(dialog.outputPortTree(), QStringLiteral("Synth A"))->setText(2, QStringLiteral("Synth"));
        rowOf(dialog.outputPortTree(), QStringLiteral("Synth B"))->setText(2, QStringLiteral("Synth"));
        ModalBoxCatcher boxes;
        pressOk(dialog);
        QCOMPARE(boxes.titles(), QStringList{kNameError});
        QCOMPARE(boxes.lastText(),
                 QStringLiteral("MIDI input and output port display names must be unique cannot be empty."));
        QVERIFY(dialog.isVisible());
        QCOMPARE(MIDIPortInfo::GetInstance()->getOutputPortAlias(QStringLiteral("Synth A")), QString());
        dialog.reject();
    }

    void aBlankDisplayNameIsRefused()
    {
        for (const QString& blank : {QString(), QStringLiteral("   ")}) {
            PrefsDialog dialog(nullptr);
            dialog.show();
            rowOf(dialog.inputPortTree(), QStringLiteral("Keys"))->setText(2, blank);
            ModalBoxCatcher boxes;
            pressOk(dialog);
            QCOMPARE(boxes.titles(), QStringList{kNameError});
            QVERIFY(dialog.isVisible());
            QVERIFY(!MIDIPortInfo::GetInstance()->doesInputPortHaveAnAlias(QStringLiteral("Keys")));
            dialog.reject();
        }
        QVERIFY(_areAnyValuesEmpty({QStringLiteral("a"), QString()}));
        QVERIFY(!_areAnyValuesEmpty({QStringLiteral("a")}));
        QVERIFY(_areValuesUnique({QStringLiteral("a"), QStringLiteral("A")}));
        QVERIFY(!_areValuesUnique({QStringLiteral("a"), QStringLiteral("a")}));
    }

    void anInputAndAnOutputMayShareADisplayName()
    {
        PrefsDialog dialog(nullptr);
        dialog.show();
        rowOf(dialog.inputPortTree(), QStringLiteral("Keys"))->setText(2, QStringLiteral("Stage"));
        rowOf(dialog.outputPortTree(), QStringLiteral("Synth A"))->setText(2, QStringLiteral("Stage"));
        ModalBoxCatcher boxes;
        pressOk(dialog);
        QCOMPARE(boxes.count(), 0);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(MIDIPortInfo::GetInstance()->getInputPortAlias(QStringLiteral("Keys")),
                 QStringLiteral("Stage"));
        QCOMPARE(MIDIPortInfo::GetInstance()->getOutputPortAlias(QStringLiteral("Synth A")),
                 QStringLiteral("Stage"));
    }

    void aResetDisplayNameStaysResetAfterRestart()
    {
        PrefsDialog dialog(nullptr);
        dialog.show();
        MIDIInputPortPrefsTreeWidget* tree = dialog.inputPortTree();
        rowOf(tree, QStringLiteral("Pads"))->setSelected(true);
        QStringList menuTexts;
        // The context menu's only entry resets the selected rows.
        QTimer::singleShot(50, this, [&menuTexts] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu)
                return;
            menuTexts = {};
            for (QAction* action : menu->actions())
                menuTexts << action->text();
            menu->actions().at(0)->trigger();
            menu->close();
        });
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                                tree->viewport()->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(tree->viewport(), &event);
        QVERIFY(event.isAccepted());
        QCOMPARE(menuTexts, QStringList{QStringLiteral("Reset Display Names of Selected")});
        QCOMPARE(rowOf(tree, QStringLiteral("Pads"))->text(2), QStringLiteral("Pads"));
        pressOk(dialog);
        QVERIFY(!MIDIPortInfo::GetInstance()->doesInputPortHaveAnAlias(QStringLiteral("Pads")));
        // What the next start reads: no entry for Pads, the unplugged device's alias kept.
        const QMap<QString, QVariant> stored = getMapPrefValue(PrefKeys::MIDIInputPortNameAliases);
        QVERIFY(!stored.contains(QStringLiteral("Pads")));
        QCOMPARE(stored.value(QStringLiteral("Unplugged")).toString(), QStringLiteral("Old Keys"));
    }

    void withNothingSelectedThereIsNoContextMenu()
    {
        PrefsDialog dialog(nullptr);
        dialog.show();
        bool menuSeen = false;
        QTimer::singleShot(50, this, [&] {
            if (auto* menu = QApplication::activePopupWidget()) {
                menuSeen = true;
                menu->close();
            }
        });
        QWidget* viewport = dialog.inputPortTree()->viewport();
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), viewport->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(viewport, &event);
        QTest::qWait(100);
        QVERIFY(event.isAccepted());
        QVERIFY(!menuSeen);
    }

    void theTabLastShownIsShownAgain()
    {
        {
            PrefsDialog dialog(nullptr);
            dialog.tabWidget()->setCurrentIndex(2);
            dialog.reject();
        }
        QCOMPARE(getStringPrefValue(PrefKeys::PreferencesDialogActiveTabName, QString()),
                 QStringLiteral("Color Labels"));
        {
            PrefsDialog dialog(nullptr);
            QCOMPARE(dialog.tabWidget()->currentIndex(), 2);
            dialog.tabWidget()->setCurrentIndex(3);
            pressOk(dialog);
        }
        {
            PrefsDialog dialog(nullptr);
            QCOMPARE(dialog.tabWidget()->tabText(dialog.tabWidget()->currentIndex()),
                     QStringLiteral("Options"));
            dialog.reject();
        }
        setStringPrefValue(PrefKeys::PreferencesDialogActiveTabName, QStringLiteral("No Such Tab"));
        PrefsDialog dialog(nullptr);
        QCOMPARE(dialog.tabWidget()->currentIndex(), 0);
    }

    void colorLabelsChangeOnlyOnOk()
    {
        ColorChoiceRegistry* registry = getColorChoiceRegistryInstance();
        {
            PrefsDialog dialog(nullptr);
            ColorLabelPrefsWidget* labels = dialog.colorLabelsTab();
            QCOMPARE(labels->getNumLabels(), 10);
            QCOMPARE(labels->nameFieldAt(0)->text(), QStringLiteral("Red"));
            labels->swatchAt(0)->setColor(QColor(10, 20, 30));
            labels->nameFieldAt(0)->setText(QStringLiteral("Drums"));
            dialog.reject();
        }
        QCOMPARE(registry->getNameOfColorChoiceAtIndex(0), QStringLiteral("Red"));
        {
            PrefsDialog dialog(nullptr);
            dialog.colorLabelsTab()->swatchAt(0)->setColor(QColor(10, 20, 30));
            dialog.colorLabelsTab()->nameFieldAt(0)->setText(QStringLiteral("Drums"));
            pressOk(dialog);
        }
        QCOMPARE(registry->getNameOfColorChoiceAtIndex(0), QStringLiteral("Drums"));
        QCOMPARE(registry->getColorOfChoiceAtIndex(0), QColor(10, 20, 30));
        QCOMPARE(getStringPrefValue(QStringLiteral("colorLabelName0"), QString()), QStringLiteral("Drums"));
        {
            PrefsDialog dialog(nullptr);
            QCOMPARE(dialog.colorLabelsTab()->nameFieldAt(0)->text(), QStringLiteral("Drums"));
            dialog.colorLabelsTab()->defaultsButton()->click();
            QCOMPARE(dialog.colorLabelsTab()->nameFieldAt(0)->text(), QStringLiteral("Red"));
            QCOMPARE(dialog.colorLabelsTab()->swatchAt(0)->getColor(), QColor(255, 0, 0));
            QCOMPARE(registry->getNameOfColorChoiceAtIndex(0), QStringLiteral("Drums"));
            QVERIFY(!dialog.colorLabelsTab()->defaultsButton()->isDefault());
            QVERIFY(!dialog.colorLabelsTab()->defaultsButton()->autoDefault());
            pressOk(dialog);
        }
        QCOMPARE(registry->getNameOfColorChoiceAtIndex(0), QStringLiteral("Red"));
    }

    void optionsAreStoredOnOkAndNotOnCancel()
    {
        {
            PrefsDialog dialog(nullptr);
            GeneralOptionsPrefsWidget* options = dialog.optionsTab();
            QCOMPARE(options->activationMethodComboBox()->count(), 122);
            QCOMPARE(options->activationMethodComboBox()->itemText(2), QStringLiteral("CC0"));
            QCOMPARE(options->activationMethodComboBox()->itemText(121), QStringLiteral("CC119"));
            QCOMPARE(options->middleCNameComboBox()->currentText(), QStringLiteral("C4"));
            options->activationMethodComboBox()->setCurrentIndex(66); // CC64
            options->middleCNameComboBox()->setCurrentIndex(0);
            dialog.reject();
        }
        QCOMPARE(getIntPrefValue(PrefKeys::DefaultMIDIOutputActivationMethod, 0), 0);
        QCOMPARE(getStringPrefValue(PrefKeys::MiddleCName, QStringLiteral("C4")), QStringLiteral("C4"));
        {
            PrefsDialog dialog(nullptr);
            GeneralOptionsPrefsWidget* options = dialog.optionsTab();
            options->activationMethodComboBox()->setCurrentIndex(66);
            options->activationSpecificityComboBox()->setCurrentIndex(1);
            options->middleCNameComboBox()->setCurrentIndex(0);
            options->showVelocitiesCheckBox()->setChecked(false);
            pressOk(dialog);
        }
        QCOMPARE(getIntPrefValue(PrefKeys::DefaultMIDIOutputActivationMethod, 0), 66);
        QCOMPARE(getIntPrefValue(PrefKeys::DefaultMIDIOutputActivationSpecificity, 0), 1);
        QCOMPARE(getStringPrefValue(PrefKeys::MiddleCName, QString()), QStringLiteral("C3"));
        QVERIFY(!getBoolPrefValue(PrefKeys::KeyboardShowNoteVelocities, true));
    }

    void storedChoicesOutOfRangeFallBackToTheirDefaults()
    {
        setIntPrefValue(PrefKeys::DefaultMIDIOutputActivationMethod, 500);
        setIntPrefValue(PrefKeys::DefaultMIDIOutputActivationSpecificity, -1);
        setStringPrefValue(PrefKeys::MiddleCName, QStringLiteral("c3"));
        PrefsDialog dialog(nullptr);
        GeneralOptionsPrefsWidget* options = dialog.optionsTab();
        QCOMPARE(options->activationMethodComboBox()->currentIndex(), 0);
        QCOMPARE(options->activationSpecificityComboBox()->currentIndex(), 0);
        QCOMPARE(options->middleCNameComboBox()->currentText(), QStringLiteral("C4"));
        pressOk(dialog);
        QCOMPARE(getIntPrefValue(PrefKeys::DefaultMIDIOutputActivationMethod, -5), 0);
        QCOMPARE(getIntPrefValue(PrefKeys::DefaultMIDIOutputActivationSpecificity, -5), 0);
        QCOMPARE(getStringPrefValue(PrefKeys::MiddleCName, QString()), QStringLiteral("C4"));
    }

    void theMenuCommandRemembersTheDialogSize()
    {
        QTimer::singleShot(0, this, [] {
            auto* dialog = qobject_cast<PrefsDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            dialog->resize(640, 480);
            dialog->reject();
        });
        DialogCommands::editPreferences(nullptr);
        QCOMPARE(getSizePrefValue(PrefKeys::PreferencesDialogSize, QSize()), QSize(640, 480));
        QTimer::singleShot(0, this, [] {
            auto* dialog = qobject_cast<PrefsDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            QCOMPARE(dialog->size(), QSize(640, 480));
            dialog->reject();
        });
        DialogCommands::editPreferences(nullptr);
    }
};

QTEST_MAIN(PrefsDialogTest)
#include "tst_PrefsDialog.moc"
