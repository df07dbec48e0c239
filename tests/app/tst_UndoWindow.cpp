// Undo and redo in the window: the Edit menu names the step and takes the standard keys, the
// modified mark follows what was saved, and a patch deleted by a slip of the key comes back.
#include "WindowTestSupport.h"
#include "app/MainWindow.h"
#include "model/initializers/InitializerRegistry.h"
#include "model/routing/ActivationLearn.h"
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "model/routing/MIDIRoutingSetupManager.h"
#include "model/transforms/BuiltInTransforms.h"
#include "support/RoutingTestRig.h"
#include "support/TestPrefs.h"
#include "widgets/ActivationLearnButton.h"
#include "widgets/MIDIOutputWidget.h"
#include "widgets/MIDIPatchTargetWidget.h"

#include <QMenuBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>

using namespace WindowTestSupport;

class UndoWindowTest : public QObject
{
    Q_OBJECT

    QTemporaryDir _dir;
    std::unique_ptr<MainWindow> _window;

    MIDIRoutingSetup* current() const { return getCurrentRoutingSetup(); }
    QAction* actionWithShortcut(const QKeySequence& keys) const
    {
        for (QAction* action : _window->findChildren<QAction*>())
            if (action->shortcut() == keys)
                return action;
        return nullptr;
    }
    QAction* undoAction() const { return actionWithShortcut(QKeySequence(QKeySequence::Undo)); }
    QAction* redoAction() const { return actionWithShortcut(QKeySequence(QKeySequence::Redo)); }
    MIDIPatchTargetWidget* panelOf(MIDIPatchTarget* patch) const
    {
        for (auto* panel : _window->findChildren<MIDIPatchTargetWidget*>())
            if (panel->getMIDIPatchTarget() == patch)
                return panel;
        return nullptr;
    }
    MIDIOutputWidget* outputPanelOf(MIDIOutput* output) const
    {
        for (auto* panel : _window->findChildren<MIDIOutputWidget*>())
            if (panel->getMIDIOutput() == output)
                return panel;
        return nullptr;
    }

private slots:
    void initTestCase()
    {
        useTemporaryPrefs();
        RoutingTestRig::install();
        registerBuiltInTransforms();
        registerBuiltInInitializers();
        QVERIFY(_dir.isValid());
    }

    void init()
    {
        MIDIRoutingSetupManager::GetInstance()->clearCurrentRoutingSetup(true);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        _window = std::make_unique<MainWindow>();
        _window->openFirstSetup(QString());
    }

    void cleanup()
    {
        _window.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void editMenuNamesTheStepAndTakesTheStandardKeys()
    {
        QAction* undo = undoAction();
        QAction* redo = redoAction();
        QVERIFY(undo && redo);
        QMenu* edit = nullptr;
        for (QAction* entry : _window->menuBar()->actions())
            if (entry->text() == QStringLiteral("&Edit"))
                edit = entry->menu();
        QVERIFY(edit);
        QCOMPARE(edit->actions().at(0), undo);
        QCOMPARE(edit->actions().at(1), redo);
        QVERIFY(!undo->isEnabled());
        QVERIFY(!redo->isEnabled());

        MIDIOutput* output = current()->getActiveRoute()->getActiveMIDIOutput();
        actionNamed(_window.get(), QStringLiteral("New Patch"))->trigger();
        QCOMPARE(output->getNumMIDIPatchTargets(), 2);
        QVERIFY(undo->isEnabled());
        QCOMPARE(undo->text(), QStringLiteral("Undo Add Patch \"Patch2\""));

        _window->show();
        QVERIFY(QTest::qWaitForWindowExposed(_window.get()));
        _window->activateWindow();
        QTest::keySequence(_window.get(), QKeySequence(QKeySequence::Undo));
        QCOMPARE(output->getNumMIDIPatchTargets(), 1);
        QVERIFY(!undo->isEnabled());
        QCOMPARE(redo->text(), QStringLiteral("Redo Add Patch \"Patch2\""));
        QTest::keySequence(_window.get(), QKeySequence(QKeySequence::Redo));
        QCOMPARE(output->getNumMIDIPatchTargets(), 2);

        // A new setup starts with nothing to undo (undone to the unmodified state: no prompt).
        undo->trigger();
        QVERIFY(!current()->isModified());
        actionNamed(_window.get(), QStringLiteral("New"))->trigger();
        QVERIFY(!undo->isEnabled());
        QCOMPARE(_window->undoStack()->count(), 0);
    }

    void modifiedMarkFollowsTheSavedState()
    {
        QVERIFY(!current()->isModified());
        MIDIRoute* route = current()->getActiveRoute();
        actionNamed(_window.get(), QStringLiteral("New Output"))->trigger();
        QVERIFY(current()->isModified());
        QVERIFY(_window->isWindowModified());
        undoAction()->trigger();
        QCOMPARE(route->getNumMIDIOutputs(), 1);
        QVERIFY(!current()->isModified());
        QVERIFY(!_window->isWindowModified());
        redoAction()->trigger();
        QVERIFY(current()->isModified());

        const QString path = _dir.filePath(QStringLiteral("saved.qvs"));
        _window->setSetupFileChooser([path](QWidget*, bool, const QString&) { return path; });
        actionNamed(_window.get(), QStringLiteral("Save As..."))->trigger();
        QVERIFY(!current()->isModified());
        QVERIFY(_window->undoStack()->isClean());
        undoAction()->trigger();
        QVERIFY(current()->isModified());
        QVERIFY(_window->isWindowModified());
        redoAction()->trigger();
        QVERIFY(!current()->isModified());
        QVERIFY(!_window->isWindowModified());
    }

    void deleteThenUndoRestoresThePatchWithItsTransformsInItsPlace()
    {
        MIDIOutput* output = current()->getActiveRoute()->getActiveMIDIOutput();
        output->createNewMIDIPatchTarget(false, QString());
        MIDIPatchTarget* strings = output->createNewMIDIPatchTarget(false, QString());
        output->createNewMIDIPatchTarget(false, QString());
        strings->setName(QStringLiteral("Strings"));
        strings->createNewMIDIDataTransform(QStringLiteral("Transpose"));
        strings->createNewMIDIDataTransform(QStringLiteral("Velocity Map"));
        QCoreApplication::processEvents();
        MIDIPatchTargetWidget* panel = panelOf(strings);
        QVERIFY(panel);
        const int place = output->getIndexOfMIDIPatchTarget(strings);
        QCOMPARE(place, 2);

        QTest::keyClick(panel, Qt::Key_Delete);
        QTRY_VERIFY(!output->hasMIDIPatchTarget(strings));
        QTRY_VERIFY(!panelOf(strings));
        const QString status = _window->statusBar()->currentMessage();
        QVERIFY2(status.contains(QStringLiteral("Remove Patch \"Strings\"")), qPrintable(status));
        QVERIFY2(status.contains(QStringLiteral("Ctrl+Z")), qPrintable(status));
        QCOMPARE(undoAction()->text(), QStringLiteral("Undo Remove Patch \"Strings\""));

        undoAction()->trigger();
        QCOMPARE(output->getIndexOfMIDIPatchTarget(strings), place);
        QCOMPARE(output->getNumMIDIPatchTargets(), 4);
        QCOMPARE(strings->getNumMIDIDataTransforms(), 2);
        QCOMPARE(strings->getMIDIDataTransformAtIndex(0)->getName(), QStringLiteral("Transpose"));
        QTRY_VERIFY(panelOf(strings));
    }

    void learntKeyswitchIsOneStepAndEscapeOrANewSetupCancels()
    {
        _window->show();
        QVERIFY(QTest::qWaitForWindowExposed(_window.get()));
        MIDIRoute* route = current()->getActiveRoute();
        MIDIOutput* second = route->createNewMIDIOutput(false);
        route->getMIDIOutputAtIndex(0)->setActive(true);
        const int before = second->getMainActivationValue();
        QCoreApplication::processEvents();
        MIDIOutputWidget* panel = outputPanelOf(second);
        QVERIFY(panel);
        QTest::mouseClick(panel->getLearnButton(), Qt::LeftButton);
        RoutingTestRig::play(route->getMIDIInputPortName(), {0x90, 77, 100});
        QTRY_VERIFY(!panel->getLearnButton()->isListening());
        QCOMPARE(int(second->getMainActivationValue()), 77);
        QCOMPARE(undoAction()->text(), QStringLiteral("Undo Learn Activation Value of Output \"Output2\""));
        QVERIFY(_window->statusBar()->currentMessage().startsWith(QStringLiteral("Learnt")));
        undoAction()->trigger();
        QCOMPARE(int(second->getMainActivationValue()), before);

        // Escape in the window cancels.
        QTest::mouseClick(panel->getLearnButton(), Qt::LeftButton);
        QVERIFY(panel->getLearnButton()->isListening());
        QTest::keyClick(_window.get(), Qt::Key_Escape);
        QVERIFY(!panel->getLearnButton()->isListening());
        QVERIFY(_window->statusBar()->currentMessage().startsWith(QStringLiteral("Learn cancelled")));

        // A new setup while listening lets go of the old one's learn.
        QTest::mouseClick(panel->getLearnButton(), Qt::LeftButton);
        QPointer<ActivationLearn> learn = route->getActivationLearn();
        QVERIFY(learn->isLearning());
        _window->setWindowModified(false);
        current()->setModified(false);
        actionNamed(_window.get(), QStringLiteral("New"))->trigger();
        QVERIFY(!learn || !learn->isLearning());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!learn);
    }
};

QTEST_MAIN(UndoWindowTest)
#include "tst_UndoWindow.moc"
