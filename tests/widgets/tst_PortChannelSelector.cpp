#include "midi/MIDIPortInfo.h"
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "model/routing/MIDIRoutingSetupManager.h"
#include "support/RoutingTestRig.h"
#include "support/TestPrefs.h"
#include "widgets/MIDIPortChannelSelector.h"
#include "widgets/MIDIPortChannelUsageMole.h"

#include <QApplication>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <memory>

namespace {

// The current setup: "Lead" on Keys channel 2 with patches on SynthA channel 1 and SynthC (any
// channel), "Drums" on Pads listening on every channel.
struct UsedPorts
{
    UsedPorts()
    {
        auto* setup = new MIDIRoutingSetup(QStringLiteral("Stage"), nullptr);
        auto* lead = new MIDIRoute(QStringLiteral("Keys"), 1, QStringLiteral("Lead"), nullptr);
        setup->addMIDIRoute(lead);
        MIDIOutput* output = lead->createNewMIDIOutput(false);
        output->getMIDIPatchTargetAtIndex(0)->setMIDIOutputPortName(QStringLiteral("SynthA"));
        output->getMIDIPatchTargetAtIndex(0)->setMIDIChannel(0);
        MIDIPatchTarget* second = output->createNewMIDIPatchTarget(false, QStringLiteral("SynthC"));
        second->setMIDIOutputPortName(QStringLiteral("SynthC"));
        second->setMIDIChannel(127);
        setup->addMIDIRoute(new MIDIRoute(QStringLiteral("Pads"), 127, QStringLiteral("Drums"), nullptr));
        MIDIRoutingSetupManager::GetInstance()->setCurrentRoutingSetup(setup, true);
    }
    ~UsedPorts() { MIDIRoutingSetupManager::GetInstance()->clearCurrentRoutingSetup(true); }
};

QMenu* submenuFor(QMenu* menu, const QString& portName)
{
    for (QAction* action : menu->actions()) {
        if (action->menu() && action->menu()->objectName() == portName)
            return action->menu();
    }
    return nullptr;
}

QAction* entry(QMenu* portMenu, const QString& text)
{
    for (QAction* action : portMenu->actions()) {
        if (action->text() == text)
            return action;
    }
    return nullptr;
}

} // namespace

class PortChannelSelectorTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        useTemporaryPrefs();
        RoutingTestRig::install();
    }

    void selectorStartsOnTheFirstPort()
    {
        MIDIPortChannelSelector input(MIDIPortType::Input, nullptr);
        QCOMPARE(input.getMIDIPortName(), QStringLiteral("Keys"));
        QCOMPARE(input.getMIDIChannel(), BYTE(0));
        QCOMPARE(input.getDisplayText(), QStringLiteral("Keys, Ch. 1"));
        QCOMPARE(input.toolTip(), QStringLiteral("Input From Keys, Channel 1"));
        MIDIPortChannelSelector output(MIDIPortType::Output, nullptr);
        QCOMPARE(output.getDisplayText(), QStringLiteral("SynthA, Ch. 1"));
        QCOMPARE(output.toolTip(), QStringLiteral("Output To SynthA, Channel 1"));
        QCOMPARE(output.height(), 21);
    }

    void hostShowsTheModelWithoutAnnouncingIt()
    {
        MIDIPortChannelSelector selector(MIDIPortType::Output, nullptr);
        QSignalSpy changed(&selector, &MIDIPortChannelSelector::portAndChannelChangedTo);
        selector.setMIDIPortNameAndChannel(QStringLiteral("SynthB"), 127, Qt::NoModifier, false);
        QCOMPARE(changed.count(), 0);
        QCOMPARE(selector.getDisplayText(), QStringLiteral("SynthB"));
        QCOMPARE(selector.toolTip(), QStringLiteral("Output To SynthB, Any Channel"));
        selector.setMIDIPortNameAndChannel(QStringLiteral("SynthB"), 9, Qt::ShiftModifier, true);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toString(), QStringLiteral("SynthB"));
        QCOMPARE(changed.at(0).at(1).value<BYTE>(), BYTE(9));
        QCOMPARE(changed.at(0).at(2).value<Qt::KeyboardModifiers>(),
                 Qt::KeyboardModifiers(Qt::ShiftModifier));
        QCOMPARE(selector.getDisplayText(), QStringLiteral("SynthB, Ch. 10"));
    }

    void emptyPortShowsNoneAndIsNeverItalic()
    {
        MIDIPortChannelSelector input(MIDIPortType::Input, nullptr);
        input.setMIDIPortNameAndChannel(QString(), 3, Qt::NoModifier, false);
        input.indicatePortOpen(false);
        QCOMPARE(input.getDisplayText(), QStringLiteral("(none)"));
        QCOMPARE(input.toolTip(), QStringLiteral("(no MIDI input)"));
        QVERIFY(!input.font().italic());
        MIDIPortChannelSelector output(MIDIPortType::Output, nullptr);
        output.setMIDIPortNameAndChannel(QString(), 3, Qt::NoModifier, false);
        output.indicatePortOpen(false);
        QCOMPARE(output.toolTip(), QStringLiteral("(no MIDI output)"));
        QVERIFY(!output.font().italic());
    }

    void closedOrMissingPortIsItalic()
    {
        MIDIPortChannelSelector selector(MIDIPortType::Input, nullptr);
        QVERIFY(!selector.font().italic());
        selector.indicatePortOpen(false);
        QVERIFY(selector.font().italic());
        QCOMPARE(selector.toolTip(), QStringLiteral("Input From Keys, Channel 1\n(not currently open)"));
        selector.indicatePortOpen(true);
        QVERIFY(!selector.font().italic());
        selector.setMIDIPortNameAndChannel(QStringLiteral("Unplugged Pedalboard"), 0, Qt::NoModifier, false);
        QVERIFY(selector.font().italic());
        QVERIFY(selector.toolTip().endsWith(QStringLiteral("(not currently open)")));
    }

    void displayNamesFollowTheUsersAliases()
    {
        MIDIPortChannelSelector selector(MIDIPortType::Input, nullptr);
        selector.setMIDIPortNameAndChannel(QStringLiteral("Pads"), 127, Qt::NoModifier, false);
        MIDIPortInfo::GetInstance()->setInputPortAlias(QStringLiteral("Pads"),
                                                       QStringLiteral("Drum <b>Pads</b>"));
        QCOMPARE(selector.getDisplayText(), QStringLiteral("Drum <b>Pads</b>"));
        // Shown as typed, not as markup.
        QVERIFY(selector.toolTip().contains(QStringLiteral("&lt;b&gt;")));
        std::unique_ptr<QMenu> menu(selector.createPortMenu());
        QVERIFY(submenuFor(menu.get(), QStringLiteral("Pads")));
        QCOMPARE(submenuFor(menu.get(), QStringLiteral("Pads"))->title(), QStringLiteral("Drum <b>Pads</b>"));
        MIDIPortInfo::GetInstance()->setInputPortAlias(QStringLiteral("Pads"), QStringLiteral("Pads"));
        QCOMPARE(selector.getDisplayText(), QStringLiteral("Pads"));
    }

    void menuListsPortsWithAnyAndSixteenChannels()
    {
        MIDIPortChannelSelector selector(MIDIPortType::Output, nullptr);
        selector.setMIDIPortNameAndChannel(QStringLiteral("SynthB"), 4, Qt::NoModifier, false);
        std::unique_ptr<QMenu> menu(selector.createPortMenu());
        const QList<QAction*> actions = menu->actions();
        QCOMPARE(actions.size(), 5);
        QCOMPARE(actions.at(0)->text(), QStringLiteral("(none)"));
        QVERIFY(actions.at(1)->isSeparator());
        QCOMPARE(actions.at(2)->text(), QStringLiteral("SynthA"));
        QCOMPARE(actions.at(4)->text(), QStringLiteral("SynthC"));
        QMenu* synthB = submenuFor(menu.get(), QStringLiteral("SynthB"));
        QVERIFY(synthB);
        QCOMPARE(synthB->actions().size(), 18);
        QCOMPARE(synthB->actions().at(0)->text(), QStringLiteral("Any"));
        QVERIFY(synthB->actions().at(1)->isSeparator());
        QCOMPARE(synthB->actions().at(17)->text(), QStringLiteral("16"));
        QVERIFY(!synthB->icon().isNull());
        QVERIFY(!entry(synthB, QStringLiteral("5"))->icon().isNull());
        QVERIFY(entry(synthB, QStringLiteral("4"))->icon().isNull());
        QVERIFY(submenuFor(menu.get(), QStringLiteral("SynthA"))->icon().isNull());
        QVERIFY(actions.at(0)->icon().isNull());
    }

    void choosingFromTheMenuAnnouncesPortChannelAndModifiers()
    {
        MIDIPortChannelSelector selector(MIDIPortType::Output, nullptr);
        QSignalSpy changed(&selector, &MIDIPortChannelSelector::portAndChannelChangedTo);
        std::unique_ptr<QMenu> menu(selector.createPortMenu());
        selector.applyMenuChoice(entry(submenuFor(menu.get(), QStringLiteral("SynthC")), QStringLiteral("3")),
                                 Qt::AltModifier);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toString(), QStringLiteral("SynthC"));
        QCOMPARE(changed.at(0).at(1).value<BYTE>(), BYTE(2));
        QCOMPARE(changed.at(0).at(2).value<Qt::KeyboardModifiers>(), Qt::KeyboardModifiers(Qt::AltModifier));
        selector.applyMenuChoice(
            entry(submenuFor(menu.get(), QStringLiteral("SynthA")), QStringLiteral("Any")), Qt::NoModifier);
        QCOMPARE(selector.getMIDIPortName(), QStringLiteral("SynthA"));
        QCOMPARE(selector.getMIDIChannel(), BYTE(127));
        selector.applyMenuChoice(nullptr, Qt::NoModifier);
        QCOMPARE(changed.count(), 2);
    }

    void choosingNoneKeepsTheChannel()
    {
        MIDIPortChannelSelector selector(MIDIPortType::Input, nullptr);
        selector.setMIDIPortNameAndChannel(QStringLiteral("Keys"), 5, Qt::NoModifier, false);
        QSignalSpy changed(&selector, &MIDIPortChannelSelector::portAndChannelChangedTo);
        std::unique_ptr<QMenu> menu(selector.createPortMenu());
        selector.applyMenuChoice(menu->actions().at(0), Qt::ShiftModifier);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toString(), QString());
        QCOMPARE(changed.at(0).at(1).value<BYTE>(), BYTE(5));
        QCOMPARE(selector.getMIDIChannel(), BYTE(5));
        QCOMPARE(selector.getDisplayText(), QStringLiteral("(none)"));
        std::unique_ptr<QMenu> again(selector.createPortMenu());
        QVERIFY(!again->actions().at(0)->icon().isNull());
    }

    void switchedOffPortIsLeftOutButStillShown()
    {
        MIDIPortInfo::GetInstance()->setUseOutputPort(QStringLiteral("SynthB"), false);
        MIDIPortChannelSelector selector(MIDIPortType::Output, nullptr);
        selector.setMIDIPortNameAndChannel(QStringLiteral("SynthB"), 0, Qt::NoModifier, false);
        std::unique_ptr<QMenu> menu(selector.createPortMenu());
        QCOMPARE(submenuFor(menu.get(), QStringLiteral("SynthB")), nullptr);
        QVERIFY(submenuFor(menu.get(), QStringLiteral("SynthA")));
        QCOMPARE(selector.getDisplayText(), QStringLiteral("SynthB, Ch. 1"));
        MIDIPortInfo::GetInstance()->setUseOutputPort(QStringLiteral("SynthB"), true);
    }

    void menuMarksWhatTheSetupUses()
    {
        UsedPorts used;
        MIDIPortChannelSelector inputs(MIDIPortType::Input, nullptr);
        std::unique_ptr<QMenu> inputMenu(inputs.createPortMenu());
        QMenu* keys = submenuFor(inputMenu.get(), QStringLiteral("Keys"));
        QVERIFY(keys->menuAction()->font().bold());
        QVERIFY(keys->menuAction()->font().italic());
        QVERIFY(entry(keys, QStringLiteral("2"))->font().bold());
        QVERIFY(!entry(keys, QStringLiteral("1"))->font().bold());
        QVERIFY(!entry(keys, QStringLiteral("Any"))->font().bold());
        QVERIFY(
            entry(submenuFor(inputMenu.get(), QStringLiteral("Pads")), QStringLiteral("Any"))->font().bold());

        MIDIPortChannelSelector outputs(MIDIPortType::Output, nullptr);
        std::unique_ptr<QMenu> outputMenu(outputs.createPortMenu());
        QVERIFY(submenuFor(outputMenu.get(), QStringLiteral("SynthA"))->menuAction()->font().bold());
        QVERIFY(!submenuFor(outputMenu.get(), QStringLiteral("SynthB"))->menuAction()->font().bold());
        QVERIFY(entry(submenuFor(outputMenu.get(), QStringLiteral("SynthC")), QStringLiteral("Any"))
                    ->font()
                    .bold());
        const QFont usedPort = submenuFor(outputMenu.get(), QStringLiteral("SynthA"))->menuAction()->font();
        const QFont usedChannel =
            entry(submenuFor(outputMenu.get(), QStringLiteral("SynthA")), QStringLiteral("1"))->font();
        const auto size = [](const QFont& f) {
            return f.pixelSize() > 0 ? qreal(f.pixelSize()) : f.pointSizeF();
        };
        QCOMPARE(size(usedChannel), size(usedPort) + 1);
    }

    void withoutASetupNothingIsMarkedUsed()
    {
        MIDIRoutingSetupManager::GetInstance()->clearCurrentRoutingSetup(true);
        MIDIPortChannelSelector selector(MIDIPortType::Input, nullptr);
        std::unique_ptr<QMenu> menu(selector.createPortMenu());
        for (const QString& port : {QStringLiteral("Keys"), QStringLiteral("Pads")}) {
            QMenu* portMenu = submenuFor(menu.get(), port);
            QVERIFY(!portMenu->menuAction()->font().bold());
            for (QAction* action : portMenu->actions())
                QVERIFY(!action->font().bold());
        }
    }

    void usageCollectsInputsAndPatches()
    {
        UsedPorts used;
        const MIDIPortChannelUsageMole inputs(MIDIPortType::Input);
        QVERIFY(inputs.isPortBeingUsed(QStringLiteral("Keys")));
        QVERIFY(inputs.isPortChannelBeingUsed(QStringLiteral("Keys"), 1));
        QVERIFY(!inputs.isPortChannelBeingUsed(QStringLiteral("Keys"), 0));
        QVERIFY(inputs.isPortChannelBeingUsed(QStringLiteral("Pads"), 127));
        QVERIFY(!inputs.isPortBeingUsed(QStringLiteral("SynthA")));
        QVERIFY(!inputs.isPortChannelBeingUsed(QStringLiteral("Elsewhere"), 0));
        const MIDIPortChannelUsageMole outputs(MIDIPortType::Output);
        QVERIFY(outputs.isPortChannelBeingUsed(QStringLiteral("SynthA"), 0));
        QVERIFY(outputs.isPortChannelBeingUsed(QStringLiteral("SynthC"), 127));
        QVERIFY(!outputs.isPortBeingUsed(QStringLiteral("SynthB")));
        QVERIFY(!outputs.isPortBeingUsed(QStringLiteral("Keys")));
        QCOMPARE(outputs.getChannelsUsedOnPort(QStringLiteral("SynthA")), QList<BYTE>({0}));
    }

    void pressingTheButtonOpensTheMenuAndEscapeChangesNothing()
    {
        MIDIPortChannelSelector selector(MIDIPortType::Output, nullptr);
        selector.resize(200, 21);
        selector.show();
        QVERIFY(QTest::qWaitForWindowExposed(&selector));
        QSignalSpy changed(&selector, &MIDIPortChannelSelector::portAndChannelChangedTo);
        int menuWidth = 0;
        QTimer::singleShot(50, [&menuWidth] {
            QWidget* popup = QApplication::activePopupWidget();
            if (!popup)
                return;
            menuWidth = popup->width();
            QTest::keyClick(popup, Qt::Key_Escape);
        });
        QTest::mousePress(&selector, Qt::LeftButton);
        QVERIFY(menuWidth >= 200);
        QCOMPARE(changed.count(), 0);
        QCOMPARE(selector.getMIDIPortName(), QStringLiteral("SynthA"));

        QTimer::singleShot(50, [] {
            if (QWidget* popup = QApplication::activePopupWidget()) {
                QTest::keyClick(popup, Qt::Key_Down);
                QTest::keyClick(popup, Qt::Key_Return);
            }
        });
        QTest::mousePress(&selector, Qt::LeftButton);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(selector.getMIDIPortName(), QString());
        QCOMPARE(selector.getMIDIChannel(), BYTE(0));
    }
};

QTEST_MAIN(PortChannelSelectorTest)
#include "tst_PortChannelSelector.moc"
