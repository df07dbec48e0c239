// The setup on screen as a player uses it: inputs and the active input's outputs, panels that
// activate on any press, arrow keys, drags that reorder through the model, the modifier keys of
// the port selectors and mute buttons, removals with their confirmation, and outputs following
// keyswitches played on a port.
#include "../app/WindowTestSupport.h"
#include "app/StatusManager.h"
#include "midi/MIDIPortInfo.h"
#include "model/ModelSignalPump.h"
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "model/routing/MIDIRoutingSetupManager.h"
#include "support/FakeMIDIBackend.h"
#include "support/TestPrefs.h"
#include "widgets/ArrowKeyPressSignalingScrollArea.h"
#include "widgets/ClickableLabel.h"
#include "widgets/CurrentRoutingSetupWidget.h"
#include "widgets/LookAndFeel.h"
#include "widgets/MIDIOutputStackWidget.h"
#include "widgets/MIDIOutputWidget.h"
#include "widgets/MIDIPatchTargetStackWidget.h"
#include "widgets/MIDIPatchTargetWidget.h"
#include "widgets/MIDIPortChannelSelector.h"
#include "widgets/MIDIRouteInputStackWidget.h"
#include "widgets/MIDIRouteInputWidget.h"
#include "widgets/MenuButton.h"
#include "widgets/NoWheelComboBox.h"
#include "widgets/PopupMenuDriver.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

using namespace WindowTestSupport;
using PopupMenuDriver::choose;

namespace {
const QString kKeys = QStringLiteral("Keys");
const QString kPads = QStringLiteral("Pads");
const QString kSynthA = QStringLiteral("SynthA");
const QString kSynthB = QStringLiteral("SynthB");
} // namespace

class SetupViewTest : public QObject
{
    Q_OBJECT

    FakeMIDIBackend* _backend = nullptr;
    std::unique_ptr<CurrentRoutingSetupWidget> _view;
    MIDIRoutingSetup* _setup = nullptr;

    // Three inputs on Keys (channels 1 to 3); the first has three outputs of two patches each.
    void makeSetup()
    {
        _setup = MIDIRoutingSetupManager::GetInstance()->createNewRoutingSetup(true, QString());
        for (int i = 0; i < 3; ++i) {
            MIDIRoute* route = _setup->createNewMIDIRoute(false);
            route->setMIDIInputPortName(kKeys);
            route->setMIDIChannel(BYTE(i));
        }
        MIDIRoute* first = input(0);
        first->createNewMIDIOutput(false);
        first->createNewMIDIOutput(false);
        for (int o = 0; o < 3; ++o) {
            MIDIOutput* output = first->getMIDIOutputAtIndex(o);
            output->setMainActivationValue(BYTE(24 + o));
            output->createNewMIDIPatchTarget(false, kSynthA);
            for (int p = 0; p < 2; ++p) {
                output->getMIDIPatchTargetAtIndex(p)->setMIDIOutputPortName(kSynthA);
                output->getMIDIPatchTargetAtIndex(p)->setMIDIChannel(BYTE(p));
            }
        }
        _setup->setActiveRoute(first);
        QTest::qWait(20);
    }

    MIDIRoute* input(int i) const { return _setup->getMIDIRouteAtIndex(i); }
    MIDIRouteInputWidget* inputWidget(int i) const
    {
        return _view->getInputStack()->getWidgetForRoute(input(i));
    }
    MIDIOutputWidget* outputWidget(MIDIOutput* output) const
    {
        return _view->getOutputStack()->getWidgetForOutput(output);
    }
    MIDIPatchTargetWidget* patchWidget(MIDIOutput* output, int p) const
    {
        return outputWidget(output)->getPatchStack()->getWidgetForPatch(output->getMIDIPatchTargetAtIndex(p));
    }

    static void dragPanel(QWidget* box, QWidget* panel, int toY)
    {
        const QPoint from = panel->geometry().center();
        const QPoint to(from.x(), toY);
        QTest::mousePress(panel, Qt::LeftButton, {}, panel->rect().center());
        for (const QPoint& point : {from + QPoint(0, QApplication::startDragDistance() + 1), to}) {
            QMouseEvent move(QEvent::MouseMove, point, box->mapToGlobal(point), Qt::NoButton, Qt::LeftButton,
                             Qt::NoModifier);
            QApplication::sendEvent(box, &move);
        }
        QTest::mouseRelease(box, Qt::LeftButton, {}, to);
        QTest::qWait(20);
    }

private slots:
    void initTestCase()
    {
        useTemporaryPrefs();
        _backend = FakeMIDIBackend::install({kKeys, kPads}, {kSynthA, kSynthB});
        QVERIFY(_backend);
        styleTheApplication();
    }

    void init()
    {
        makeSetup();
        _view = std::make_unique<CurrentRoutingSetupWidget>(nullptr);
        _view->resize(900, 700);
        _view->show();
        QVERIFY(QTest::qWaitForWindowExposed(_view.get()));
    }

    void cleanup()
    {
        _view.reset();
        MIDIRoutingSetupManager::GetInstance()->clearCurrentRoutingSetup(true);
        QTest::qWait(10);
    }

    void theOutputColumnFollowsTheActiveInput()
    {
        QCOMPARE(_view->getInputStack()->getNumWidgets(), 3);
        QCOMPARE(_view->getOutputStack()->getMIDIRoute(), input(0));
        QCOMPARE(_view->getOutputHeadingText(), QStringLiteral("Outputs: Input1"));

        // A press on a child control of the second input (its activation method box) activates it.
        QTest::mousePress(inputWidget(1)->getActivationMethodCombo(), Qt::LeftButton);
        QTest::mouseRelease(inputWidget(1)->getActivationMethodCombo(), Qt::LeftButton);
        if (auto* popup = QApplication::activePopupWidget())
            popup->close();
        QCOMPARE(_setup->getActiveRoute(), input(1));
        QCOMPARE(_view->getOutputStack()->getMIDIRoute(), input(1));

        input(1)->setName(QStringLiteral("Strings"));
        QCOMPARE(_view->getOutputHeadingText(), QStringLiteral("Outputs: Strings"));

        // Removing the active input shows the input that takes its place; removing the last one
        // leaves no active input and an empty output column.
        _setup->removeMIDIRoute(input(1), true);
        QCOMPARE(_view->getOutputStack()->getMIDIRoute(), input(0));
        _setup->removeMIDIRoutesFrom(input(1), true);
        _setup->removeMIDIRoute(input(0), true);
        QTest::qWait(10);
        QVERIFY(!_view->getOutputStack());
        QCOMPARE(_view->getOutputPlaceholderText(), QString());

        MIDIRoutingSetupManager::GetInstance()->clearCurrentRoutingSetup(true);
        QVERIFY(!_view->getInputStack());
        QVERIFY(!_view->getAddInputButton()->isEnabled());
    }

    void arrowKeysWalkInputsAndOutputs()
    {
        ArrowKeyPressSignalingScrollArea* inputs = _view->getInputScrollArea();
        inputs->setFocus();
        QTest::keyClick(inputs, Qt::Key_Down);
        QCOMPARE(_setup->getActiveRoute(), input(1));
        QTest::keyClick(inputs, Qt::Key_Up);
        QCOMPARE(_setup->getActiveRoute(), input(0));

        // Left folds the active input; Right with Shift and Control unfolds them all.
        _setup->showInnardsOfAllRoutes(false);
        QTest::keyClick(inputs, Qt::Key_Right, Qt::ShiftModifier | Qt::ControlModifier);
        for (int i = 0; i < 3; ++i)
            QVERIFY(input(i)->isShowingInnards());
        QTest::keyClick(inputs, Qt::Key_Left);
        QVERIFY(!input(0)->isShowingInnards());
        QCOMPARE(inputWidget(0)->height(), 33);

        // In the output column the arrows switch sounds; a focused panel passes them on.
        MIDIRoute* route = input(0);
        route->setActiveMIDIOutput(route->getMIDIOutputAtIndex(0));
        MIDIOutputWidget* first = outputWidget(route->getMIDIOutputAtIndex(0));
        first->setFocus();
        QTest::keyClick(first, Qt::Key_Down);
        QCOMPARE(route->getActiveMIDIOutput(), route->getMIDIOutputAtIndex(1));
        QTest::keyClick(_view->getOutputScrollArea(), Qt::Key_Up);
        QCOMPARE(route->getActiveMIDIOutput(), route->getMIDIOutputAtIndex(0));

        // Enter on a focused input panel makes it the active input.
        inputWidget(2)->setFocus();
        QTest::keyClick(inputWidget(2), Qt::Key_Return);
        QCOMPARE(_setup->getActiveRoute(), input(2));
    }

    void draggingReordersThroughTheModel()
    {
        MIDIRouteInputStackWidget* stack = _view->getInputStack();
        MIDIRoute* first = input(0);
        dragPanel(stack, inputWidget(0), stack->height() - 10);
        QCOMPARE(_setup->getIndexOfMIDIRoute(first), 2);
        QCOMPARE(stack->getWidgetIndex(stack->getWidgetForRoute(first)), 2);

        _setup->setActiveRoute(first);
        MIDIOutput* output = first->getMIDIOutputAtIndex(0);
        MIDIPatchTarget* patch = output->getMIDIPatchTargetAtIndex(0);
        MIDIPatchTargetStackWidget* patches = outputWidget(output)->getPatchStack();
        const int heightBefore = outputWidget(output)->height();
        dragPanel(patches, patchWidget(output, 0), patches->height() - 5);
        QCOMPARE(output->getIndexOfMIDIPatchTarget(patch), 1);
        QCOMPARE(patches->getWidgetIndex(patches->getWidgetForPatch(patch)), 1);
        QCOMPARE(outputWidget(output)->height(), heightBefore);

        // Folding one patch shrinks its output panel by 78 pixels.
        patch->showInnards(false);
        QCOMPARE(outputWidget(output)->height(), heightBefore - 78);
    }

    void inputPortChoicesFollowTheModifierKeys()
    {
        // Control+Alt from an input listening on every channel: the later inputs listen on every
        // channel too, never on channel 128 and up.
        input(0)->setMIDIChannel(MIDIRoute::kAnyChannel);
        auto choice = choose({kPads, QStringLiteral("Any")}, Qt::ControlModifier | Qt::AltModifier);
        QTest::mouseClick(inputWidget(0)->getPortChannelSelector(), Qt::LeftButton);
        QTRY_VERIFY(choice->chosen);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(input(i)->getMIDIInputPortName(), kPads);
            QCOMPARE(input(i)->getMIDIChannel(), MIDIRoute::kAnyChannel);
        }

        // Alt: every input takes the port, keeping its channel.
        input(1)->setMIDIChannel(4);
        choice = choose({kKeys, QStringLiteral("2")}, Qt::AltModifier);
        QTest::mouseClick(inputWidget(0)->getPortChannelSelector(), Qt::LeftButton);
        QTRY_VERIFY(choice->chosen);
        QCOMPARE(input(2)->getMIDIInputPortName(), kKeys);
        QCOMPARE(input(1)->getMIDIChannel(), BYTE(4));
        QCOMPARE(input(0)->getMIDIChannel(), BYTE(1));

        // Alt with Shift is no rule: only this input changes.
        choice = choose({kPads, QStringLiteral("3")}, Qt::AltModifier | Qt::ShiftModifier);
        QTest::mouseClick(inputWidget(0)->getPortChannelSelector(), Qt::LeftButton);
        QTRY_VERIFY(choice->chosen);
        QCOMPARE(input(0)->getMIDIInputPortName(), kPads);
        QCOMPARE(input(1)->getMIDIInputPortName(), kKeys);

        // Control: every input on this one's old port moves, keeping channels.
        choice = choose({kKeys, QStringLiteral("1")}, Qt::ControlModifier);
        QTest::mouseClick(inputWidget(1)->getPortChannelSelector(), Qt::LeftButton);
        QTRY_VERIFY(choice->chosen);
        QCOMPARE(input(1)->getMIDIInputPortName(), kKeys);
        QCOMPARE(input(0)->getMIDIInputPortName(), kPads);
    }

    void selectorsFollowPortsThatComeAndGo()
    {
        MIDIPortInfo* info = MIDIPortInfo::GetInstance();
        MIDIPortChannelSelector* keys = inputWidget(0)->getPortChannelSelector();
        MIDIPortChannelSelector* synth =
            patchWidget(input(0)->getMIDIOutputAtIndex(0), 0)->getPortChannelSelector();
        const auto shownOpen = [](MIDIPortChannelSelector* selector) {
            return !selector->font().italic() &&
                   !selector->toolTip().contains(QStringLiteral("not currently open"));
        };
        QVERIFY(shownOpen(keys));
        QVERIFY(shownOpen(synth));

        _setup->setModified(false);
        // Unplugged: both show it, and the setup keeps the names.
        _backend->removeInputPort(kKeys);
        _backend->removeOutputPort(kSynthA);
        QVERIFY(info->refreshPorts());
        QVERIFY(!shownOpen(keys));
        QVERIFY(!shownOpen(synth));
        QCOMPARE(input(0)->getMIDIInputPortName(), kKeys);
        QVERIFY(!_setup->isModified());

        // Plugged back, and a new port turns up in the menu without a restart.
        _backend->addInputPort(kKeys);
        _backend->addOutputPort(kSynthA);
        _backend->addOutputPort(QStringLiteral("SynthNew"));
        QVERIFY(info->refreshPorts());
        QVERIFY(shownOpen(keys));
        QVERIFY(shownOpen(synth));
        std::unique_ptr<QMenu> menu(synth->createPortMenu());
        QStringList texts;
        for (QAction* action : menu->actions())
            texts << action->text();
        QVERIFY2(texts.contains(QStringLiteral("SynthNew")), qPrintable(texts.join(QLatin1Char('|'))));
        _backend->removeOutputPort(QStringLiteral("SynthNew"));
        QVERIFY(info->refreshPorts());
    }

    void muteAndPatchPortsFollowTheModifierKeys()
    {
        MIDIOutput* output = input(0)->getMIDIOutputAtIndex(0);
        output->createNewMIDIPatchTarget(false, kSynthA);
        QTest::qWait(10);
        auto mute = [&](int p, Qt::KeyboardModifiers modifiers) {
            QTest::mouseClick(patchWidget(output, p)->getMuteButton(), Qt::LeftButton, modifiers);
        };
        auto muted = [&] {
            QString states;
            for (int p = 0; p < output->getNumMIDIPatchTargets(); ++p)
                states +=
                    output->getMIDIPatchTargetAtIndex(p)->isMuted() ? QLatin1Char('M') : QLatin1Char('-');
            return states;
        };
        mute(1, Qt::AltModifier);
        QCOMPARE(muted(), QStringLiteral("-MM"));
        mute(0, Qt::ShiftModifier);
        QCOMPARE(muted(), QStringLiteral("MMM"));
        mute(1, Qt::ControlModifier); // solo: this one plays, everything else is muted
        QCOMPARE(muted(), QStringLiteral("M-M"));
        QCOMPARE(patchWidget(output, 2)->getMuteButton()->toolTip(), QStringLiteral("Unmute"));
        mute(1, Qt::ControlModifier); // the only one playing: all play again
        QCOMPARE(muted(), QStringLiteral("---"));
        mute(2, Qt::ControlModifier | Qt::ShiftModifier); // no rule: this patch alone
        QCOMPARE(muted(), QStringLiteral("--M"));

        // Control+Alt on the second patch: it and the later ones take SynthB with rising channels.
        auto choice = choose({kSynthB, QStringLiteral("5")}, Qt::ControlModifier | Qt::AltModifier);
        QTest::mouseClick(patchWidget(output, 1)->getPortChannelSelector(), Qt::LeftButton);
        QTRY_VERIFY(choice->chosen);
        QCOMPARE(output->getMIDIPatchTargetAtIndex(0)->getMIDIOutputPortName(), kSynthA);
        QCOMPARE(output->getMIDIPatchTargetAtIndex(1)->getMIDIChannel(), BYTE(4));
        QCOMPARE(output->getMIDIPatchTargetAtIndex(2)->getMIDIOutputPortName(), kSynthB);
        QCOMPARE(output->getMIDIPatchTargetAtIndex(2)->getMIDIChannel(), BYTE(5));

        // Control+Alt from a patch that keeps every message's channel: the later ones keep them too.
        choice = choose({kSynthA, QStringLiteral("Any")}, Qt::ControlModifier | Qt::AltModifier);
        QTest::mouseClick(patchWidget(output, 0)->getPortChannelSelector(), Qt::LeftButton);
        QTRY_VERIFY(choice->chosen);
        for (int p = 0; p < 3; ++p)
            QCOMPARE(output->getMIDIPatchTargetAtIndex(p)->getMIDIChannel(), MIDIPatchTarget::kAnyChannel);
        output->getMIDIPatchTargetAtIndex(2)->setMIDIChannel(5);

        // Alt+Shift: every patch of every output of the input takes the port, keeping channels.
        MIDIPatchTarget* elsewhere = input(0)->getMIDIOutputAtIndex(2)->getMIDIPatchTargetAtIndex(1);
        elsewhere->setMIDIOutputPortName(kSynthB);
        choice = choose({kSynthA, QStringLiteral("1")}, Qt::AltModifier | Qt::ShiftModifier);
        QTest::mouseClick(patchWidget(output, 2)->getPortChannelSelector(), Qt::LeftButton);
        QTRY_VERIFY(choice->chosen);
        QCOMPARE(elsewhere->getMIDIOutputPortName(), kSynthA);
        QCOMPARE(elsewhere->getMIDIChannel(), BYTE(1));
        QCOMPARE(output->getMIDIPatchTargetAtIndex(2)->getMIDIChannel(), BYTE(0));
    }

    void bulkRemovalsAskFirstAndRunAfterTheMenu()
    {
        MIDIRoute* route = input(0);
        MIDIOutput* second = route->getMIDIOutputAtIndex(1);
        QPointer<MIDIOutputWidget> widget = outputWidget(second);

        // Alt on "Remove" of the second of three outputs asks; Cancel keeps both.
        auto choice = choose({QStringLiteral("Remove Output2")}, Qt::AltModifier);
        auto no = answerMessageBox(QMessageBox::Cancel);
        widget->openContextMenuAt(QPoint(200, 10));
        QVERIFY(choice->chosen);
        QTRY_VERIFY(no->answered);
        QTest::qWait(20);
        QCOMPARE(route->getNumMIDIOutputs(), 3);

        // Agreeing removes it and the one after it.
        choice = choose({QStringLiteral("Remove Output2")}, Qt::AltModifier);
        auto yes = whenModalAppears<QMessageBox>([](QMessageBox* box) {
            for (QAbstractButton* button : box->buttons()) {
                if (box->buttonRole(button) == QMessageBox::DestructiveRole)
                    button->click();
            }
        });
        widget->openContextMenuAt(QPoint(200, 10));
        QTRY_COMPARE(route->getNumMIDIOutputs(), 1);
        QTRY_VERIFY(!widget);

        // The only output offers no removal, and Delete does nothing to it.
        choice = choose({});
        outputWidget(route->getMIDIOutputAtIndex(0))->openContextMenuAt(QPoint(200, 10));
        QVERIFY(choice->menuSeen);
        QVERIFY(!choice->topEntries.contains(QStringLiteral("Remove Output1")));
        QVERIFY(choice->topEntries.contains(QStringLiteral("Copy Patch \"Patch1\"")) ||
                choice->topEntries.contains(QStringLiteral("Copy (2) Patches")));

        // Delete on a focused input removes just that one, without asking.
        inputWidget(2)->setFocus();
        QTest::keyClick(inputWidget(2), Qt::Key_Delete);
        QTRY_COMPARE(_setup->getNumMIDIRoutes(), 2);
    }

    void deleteOnTheOnlyPatchSaysWhyInTheStatusBar()
    {
        MIDIOutput* output = input(0)->getMIDIOutputAtIndex(0);
        output->removeMIDIPatchTarget(output->getMIDIPatchTargetAtIndex(1), true);
        QTRY_VERIFY(patchWidget(output, 0));
        QSignalSpy status(StatusManager::GetInstance(),
                          qOverload<QString, int>(&StatusManager::statusMessagePosted));
        MIDIPatchTargetWidget* only = patchWidget(output, 0);
        only->setFocus();
        QTest::keyClick(only, Qt::Key_Delete);
        QTRY_COMPARE(status.count(), 1);
        QCOMPARE(output->getNumMIDIPatchTargets(), 1);
        const QString text = status.at(0).at(0).toString();
        QVERIFY2(text.contains(QStringLiteral("only patch")) && text.contains(QStringLiteral("\"Patch1\"")),
                 qPrintable(text));
    }

    void keyswitchesFromThePortMoveTheActiveOutput()
    {
        MIDIRoute* route = input(0);
        route->setActiveMIDIOutput(route->getMIDIOutputAtIndex(0));
        QTest::qWait(50);
        MIDIOutput* third = route->getMIDIOutputAtIndex(2);
        // The keyswitch of the third output, played on channel 1 of Keys.
        QTRY_VERIFY(_backend->injectInputMessage(0, {0x90, 26, 100}) > 0);
        QTRY_COMPARE(route->getActiveMIDIOutput(), third);
        QTRY_COMPARE(outputWidget(third)->palette().color(QPalette::Window),
                     getActivatedPalette().color(QPalette::Window));

        // Note 21 on the second input's channel makes that input active: its outputs show.
        _backend->injectInputMessage(0, {0x91, 21, 100});
        QTRY_COMPARE(_setup->getActiveRoute(), input(1));
        QTRY_COMPARE(_view->getOutputStack()->getMIDIRoute(), input(1));
        _backend->injectInputMessage(0, {0x81, 21, 0});
        _backend->injectInputMessage(0, {0x80, 26, 0});
    }

    void menusOutliveThePanelDeletedWhileTheyAreOpen()
    {
        MIDIPatchTarget* patch = input(0)->getMIDIOutputAtIndex(0)->getMIDIPatchTargetAtIndex(0);
        const int initializersBefore = patch->getNumMIDIPatchInitializers();
        QPointer<MIDIPatchTargetWidget> panel = patchWidget(input(0)->getMIDIOutputAtIndex(0), 0);
        QPointer<MenuButton> button = panel->getAddInitializerButton();

        // While the "+" menu runs its loop, note 21 on the second input's channel makes that input
        // current: the output column and this panel go. Then an entry is chosen.
        bool panelGoneInMenu = false;
        QString entryChosen;
        auto* timer = new QTimer(this);
        timer->setInterval(20);
        const QDeadlineTimer deadline(10000);
        connect(timer, &QTimer::timeout, this, [&, timer] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu || !menu->isVisible())
                return;
            if (panel && deadline.hasExpired()) {
                timer->stop();
                menu->close();
                return;
            }
            if (panel) {
                if (_setup->getActiveRoute() == input(0))
                    _backend->injectInputMessage(0, {0x91, 21, 100});
                return;
            }
            panelGoneInMenu = true;
            timer->stop();
            timer->deleteLater();
            QAction* entry = menu->actions().value(0);
            QVERIFY(entry);
            entryChosen = entry->data().toString();
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(entry).center());
        });
        timer->start();
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), button->mapToGlobal(QPointF(5, 5)),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(button, &press);
        QVERIFY(panelGoneInMenu);
        QVERIFY(!entryChosen.isEmpty());
        QVERIFY(!button);
        // Posted events run (none for the dead button); the choice added nothing to the patch.
        QTest::qWait(30);
        QCOMPARE(patch->getNumMIDIPatchInitializers(), initializersBefore);
        QCOMPARE(_view->getOutputStack()->getMIDIRoute(), input(1));
        _backend->injectInputMessage(0, {0x81, 21, 0});
    }

    void newPanelsScrollFullyIntoView()
    {
        _view->resize(864, 600);
        QTest::qWait(20);
        QScrollArea* area = _view->getOutputScrollArea();
        // Whole in the viewport, or (taller than it) filling it.
        auto inView = [area](QWidget* panel) {
            if (!panel || !area->widget()->isAncestorOf(panel))
                return false;
            const QRect rect(panel->mapTo(area->viewport(), QPoint(0, 0)), panel->size());
            const QRect viewport = area->viewport()->rect();
            return viewport.contains(rect) ||
                   (rect.height() > viewport.height() && rect.intersected(viewport) == viewport);
        };
        MIDIOutput* output = input(0)->getMIDIOutputAtIndex(2);
        QPointer<QWidget> added;
        connect(_view->getOutputStack(), &MIDIOutputStackWidget::patchWidgetAdded, this,
                [&added](QWidget* widget) { added = widget; });
        for (int i = 0; i < 10; ++i) {
            added = nullptr;
            output->createNewMIDIPatchTarget(true, QString());
            QVERIFY2(added, qPrintable(QStringLiteral("patch %1 has no panel").arg(i + 3)));
            // In view once the layout has handled what the addition posted, with no clock involved.
            for (int round = 0; round < 20; ++round)
                QCoreApplication::sendPostedEvents();
            QVERIFY2(inView(added), qPrintable(QStringLiteral("patch %1").arg(i + 3)));
            // And it stays there once everything has settled.
            QTest::qWait(50);
            QVERIFY2(inView(added), qPrintable(QStringLiteral("patch %1").arg(i + 3)));
        }
        // A new output too.
        QPointer<QWidget> addedOutput;
        connect(_view->getOutputStack(), &ReorderWidget::widgetAdded, this,
                [&addedOutput](QWidget* widget) { addedOutput = widget; });
        input(0)->createNewMIDIOutput(true);
        QVERIFY(addedOutput);
        for (int round = 0; round < 20; ++round)
            QCoreApplication::sendPostedEvents();
        QVERIFY(inView(addedOutput));
        QTest::qWait(50);
        QVERIFY(inView(addedOutput));
    }

    void droppedSetupFilesAreHandedToTheWindow()
    {
        QSignalSpy requested(_view.get(), &CurrentRoutingSetupWidget::setupFileOpenRequested);
        QSignalSpy keyboard(_view.get(), &CurrentRoutingSetupWidget::keyboardVisibilityChangedTo);
        _view->setKeyboardVisible(false);
        _view->setKeyboardVisible(false);
        QCOMPARE(keyboard.count(), 1);
        QCOMPARE(_view->getKeyboardToggleLabel()->toolTip(), QStringLiteral("Show Keyboard"));

        auto drop = [&](const QString& path) {
            QMimeData data;
            data.setUrls({QUrl::fromLocalFile(path)});
            QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(_view.get(), &enter);
            QDropEvent dropEvent(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(_view.get(), &dropEvent);
            return enter.isAccepted();
        };
        QVERIFY(!drop(QStringLiteral("/tmp/notes.txt")));
        QCOMPARE(requested.count(), 0);
        QTemporaryDir dir;
        const QString setupPath = dir.filePath(QStringLiteral("Evening.ms"));
        writeFile(setupPath, setupFileBytes());
        QVERIFY(drop(setupPath));
        QCOMPARE(requested.count(), 1);
        QCOMPARE(requested.at(0).at(0).toString(), setupPath);
    }

    void everyControlIsNamedForAssistiveTechnology()
    {
        MIDIPatchTargetWidget* patch = patchWidget(input(0)->getMIDIOutputAtIndex(0), 0);
        QCOMPARE(patch->getMuteButton()->accessibleName(), QStringLiteral("Mute Patch1"));
        input(0)->getMIDIOutputAtIndex(0)->getMIDIPatchTargetAtIndex(0)->setName(QStringLiteral("Grand"));
        QCOMPARE(patch->getMuteButton()->accessibleName(), QStringLiteral("Mute Grand"));
        QCOMPARE(inputWidget(0)->getActivationMethodCombo()->accessibleName(),
                 QStringLiteral("Activation Method Input1"));
        QVERIFY(!inputWidget(0)->getActivationMethodCombo()->whatsThis().isEmpty());
    }
};

QTEST_MAIN(SetupViewTest)
#include "tst_SetupView.moc"
