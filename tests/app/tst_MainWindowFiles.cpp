// Opening setups in the window: from the recent-files menu, by dropping files, with Save As; what
// is enabled with and without a setup; and that nothing a file does can cost the current setup.
#include "WindowTestSupport.h"

#include "app/MainWindow.h"
#include "app/RecentFilesMenu.h"
#include "app/WindowGeometry.h"
#include "model/initializers/InitializerRegistry.h"
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "model/routing/MIDIRoutingSetupManager.h"
#include "model/transforms/BuiltInTransforms.h"
#include "persistence/AppPrefs.h"
#include "persistence/PrefKeys.h"
#include "persistence/RecentFilesTracker.h"
#include "persistence/RememberedPaths.h"
#include "support/RoutingTestRig.h"
#include "support/TestPrefs.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPointer>
#include <QProgressDialog>
#include <QScopeGuard>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <sys/stat.h>

using namespace WindowTestSupport;

class MainWindowFilesTest : public QObject
{
    Q_OBJECT

    QTemporaryDir _dir;
    std::unique_ptr<MainWindow> _window;

    MIDIRoutingSetup* current() const { return getCurrentRoutingSetup(); }

    QString file(const QString& name, const QByteArray& bytes = setupFileBytes())
    {
        const QString path = _dir.filePath(name);
        writeFile(path, bytes);
        return path;
    }

    RecentFilesMenu* recentMenu() const { return _window->findChild<RecentFilesMenu*>(); }

    QAction* recentEntry(const QString& text) const
    {
        const QList<QAction*> entries = recentMenu()->actions();
        for (QAction* action : entries) {
            if (action->text() == text)
                return action;
        }
        return nullptr;
    }

    // Drags the files over the setup view; returns whether the view takes them.
    bool drop(const QStringList& paths)
    {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& path : paths)
            urls << QUrl::fromLocalFile(path);
        data.setUrls(urls);
        QWidget* view = _window->centralWidget();
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view, &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent dropEvent(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view, &dropEvent);
        return dropEvent.isAccepted();
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
    }

    void cleanup()
    {
        _window.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void closeDisablesTheSetupCommandsAndNewBringsThemBack()
    {
        const QStringList setupCommands = {"Save",
                                           "Save As...",
                                           "Close",
                                           "New Input",
                                           "New Output",
                                           "New Patch",
                                           "Reroute Port/Channel...",
                                           "Merge Outputs...",
                                           "All Notes Off"};
        const QStringList alwaysOn = {
            "New",           "Open...", "Quit", "Preferences...", "Hide Keyboard", "Check For Updates...",
            "About Quorvell"};
        _window->openFirstSetup(QString());
        for (const QString& text : setupCommands)
            QVERIFY2(actionNamed(_window.get(), text)->isEnabled(), qPrintable(text));
        actionNamed(_window.get(), QStringLiteral("Close"))->trigger();
        QVERIFY(!current());
        QCOMPARE(_window->windowTitle(), QStringLiteral("Quorvell"));
        for (const QString& text : setupCommands)
            QVERIFY2(!actionNamed(_window.get(), text)->isEnabled(), qPrintable(text));
        for (const QString& text : alwaysOn)
            QVERIFY2(actionNamed(_window.get(), text)->isEnabled(), qPrintable(text));
        // The commands of the Create menu do nothing without a setup.
        actionNamed(_window.get(), QStringLiteral("New Input"))->trigger();
        QVERIFY(!current());

        actionNamed(_window.get(), QStringLiteral("New"))->trigger();
        QVERIFY(current());
        for (const QString& text : setupCommands)
            QVERIFY2(actionNamed(_window.get(), text)->isEnabled(), qPrintable(text));
    }

    void createMenuAddsInputsOutputsAndPatches()
    {
        _window->openFirstSetup(QString());
        actionNamed(_window.get(), QStringLiteral("New Input"))->trigger();
        QCOMPARE(current()->getNumMIDIRoutes(), 2);
        MIDIRoute* added = current()->getMIDIRouteAtIndex(1);
        QCOMPARE(current()->getActiveRoute(), added);
        actionNamed(_window.get(), QStringLiteral("New Output"))->trigger();
        QCOMPARE(added->getNumMIDIOutputs(), 2);
        const int patches = added->getActiveMIDIOutput()->getNumMIDIPatchTargets();
        actionNamed(_window.get(), QStringLiteral("New Patch"))->trigger();
        QCOMPARE(added->getActiveMIDIOutput()->getNumMIDIPatchTargets(), patches + 1);
        QVERIFY(_window->isWindowModified());
        QCOMPARE(_window->windowTitle(), QStringLiteral("Untitled[*] - Quorvell"));
    }

    void recentMenuNamesFilesAndMarksMissingOnes()
    {
        const QString present = file(QStringLiteral("Rock & Roll.ms"));
        const QString missing = _dir.filePath(QStringLiteral("Gone.ms"));
        setMostRecentlyOpenedFile(missing);
        setMostRecentlyOpenedFile(present);
        QAction* first = recentMenu()->actions().value(0);
        QVERIFY(first);
        QCOMPARE(first->text(), QStringLiteral("Rock && Roll.ms"));
        QCOMPARE(first->statusTip(), QStringLiteral("Open ") + QDir::toNativeSeparators(present));
        QAction* gone = recentEntry(QStringLiteral("Gone.ms"));
        QVERIFY(gone);
        QCOMPARE(gone->statusTip(), QDir::toNativeSeparators(missing) + QStringLiteral(" does not exist."));

        _window->openFirstSetup(QString());
        MIDIRoutingSetup* before = current();
        gone->trigger();
        QTest::qWait(50);
        QCOMPARE(current(), before);

        first->trigger();
        QCOMPARE(current()->getFilePath(), present);
        QCOMPARE(_window->windowTitle(), QStringLiteral("Rock & Roll.ms[*] - Quorvell"));

        // Opening a file that is not the most recent one changes the list while its entry's
        // triggered signal runs: the entry lives on until the signal has returned.
        setMostRecentlyOpenedFile(file(QStringLiteral("Other.ms")));
        QPointer<QAction> entry = recentEntry(QStringLiteral("Rock && Roll.ms"));
        QVERIFY(entry);
        bool entryAliveAfterOpening = false;
        connect(recentMenu(), &RecentFilesMenu::recentFileSelected, this,
                [&] { entryAliveAfterOpening = !entry.isNull(); });
        entry->trigger();
        QVERIFY(entryAliveAfterOpening);
        QCOMPARE(current()->getFilePath(), present);
        QTRY_VERIFY(!entry);
        QCOMPARE(recentMenu()->actions().value(0)->text(), QStringLiteral("Rock && Roll.ms"));
    }

    void fileNamesInTheProgressLabelArePlainText()
    {
        const QString path = file(QStringLiteral("<u>Live<br>Set &amp; more.ms"));
        _window->openFirstSetup(path);
        QCOMPARE(current()->getFilePath(), path);
        QLabel* label = nullptr;
        for (QProgressDialog* dialog : _window->findChildren<QProgressDialog*>()) {
            if (dialog->windowTitle() == QStringLiteral("Opening Setup File"))
                label = dialog->findChild<QLabel*>();
        }
        QVERIFY(label);
        QCOMPARE(label->textFormat(), Qt::PlainText);
        QCOMPARE(label->text(), QStringLiteral("Opening <u>Live<br>Set &amp; more.ms"));
    }

    void brokenFileLeavesCurrentSetupUntouched()
    {
        const QString good = file(QStringLiteral("good.ms"));
        _window->openFirstSetup(good);
        MIDIRoutingSetup* before = current();
        const QString lastOpen = getLastOpenPath();
        const QString broken = file(QStringLiteral("sub/broken.ms"), QByteArray());
        QDir().mkpath(_dir.filePath(QStringLiteral("sub")));
        writeFile(broken, "<MIDIRoutingSetup><MIDIRoutes>");
        setMostRecentlyOpenedFile(broken);
        setMostRecentlyOpenedFile(good);
        const QStringList recent = getRecentFileList();

        QString text;
        auto box = answerMessageBox(QMessageBox::Ok, &text);
        recentEntry(QStringLiteral("broken.ms"))->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(*box, 60000);
        QVERIFY2(text.contains(QStringLiteral("broken.ms")), qPrintable(text));
        QCOMPARE(current(), before);
        QCOMPARE(current()->getFilePath(), good);
        QCOMPARE(current()->getNumMIDIRoutes(), 1);
        QCOMPARE(getRecentFileList(), recent);
        QCOMPARE(getLastOpenPath(), lastOpen);
    }

    void pipeAndHugeFileAreRefusedWithAReason()
    {
        _window->openFirstSetup(QString());
        MIDIRoutingSetup* before = current();
        const QString pipe = _dir.filePath(QStringLiteral("pipe.ms"));
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        const QString huge = _dir.filePath(QStringLiteral("huge.ms"));
        {
            QFile f(huge);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QVERIFY(f.resize(qint64(65) * 1024 * 1024)); // sparse: takes no disk space
        }
        setMostRecentlyOpenedFile(pipe);
        setMostRecentlyOpenedFile(huge);

        QString text;
        auto box = answerMessageBox(QMessageBox::Ok, &text);
        recentEntry(QStringLiteral("pipe.ms"))->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(*box, 60000);
        QVERIFY2(text.contains(QStringLiteral("not a regular file")), qPrintable(text));
        QCOMPARE(current(), before);

        box = answerMessageBox(QMessageBox::Ok, &text);
        recentEntry(QStringLiteral("huge.ms"))->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(*box, 60000);
        QVERIFY2(text.contains(QStringLiteral("64 MiB")), qPrintable(text));
        QCOMPARE(current(), before);
    }

    void droppingAFolderOrAnotherSuffixIsRefused()
    {
        _window->openFirstSetup(QString());
        MIDIRoutingSetup* before = current();
        const QString folder = _dir.filePath(QStringLiteral("folder.ms"));
        QDir().mkpath(folder);
        QVERIFY(!drop({folder}));
        QVERIFY(!drop({file(QStringLiteral("notes.txt"))}));
        QVERIFY(!drop({file(QStringLiteral("upper.MS"))}));
        QTest::qWait(50);
        QCOMPARE(current(), before);
    }

    void droppingSeveralFilesOpensTheFirstSetupAfterTheDrop()
    {
        _window->openFirstSetup(QString());
        const QString first = file(QStringLiteral("first.ms"), setupFileBytes(QStringLiteral("First")));
        const QString second = file(QStringLiteral("second.ms"), setupFileBytes(QStringLiteral("Second")));
        QVERIFY(drop({file(QStringLiteral("readme.txt")), first, second}));
        // Opened from a queued call, once the drop event is over.
        QVERIFY(!current()->hasBeenSaved());
        QTRY_COMPARE_WITH_TIMEOUT(current()->getFilePath(), first, 60000);
        QCOMPARE(current()->getMIDIRouteAtIndex(0)->getName(), QStringLiteral("First"));
        QCOMPARE(getMostRecentlyOpenedFile(), QDir::toNativeSeparators(first));
    }

    void fortyMissingPortsMakeOneBox()
    {
        _window->openFirstSetup(QString());
        const QString many = file(QStringLiteral("many.ms"),
                                  setupFileBytes(QStringLiteral("In"), QStringLiteral("Unplugged"), 40));
        int boxes = 0;
        QString text;
        std::shared_ptr<ModalAnswer> box;
        std::function<void()> expectBox = [&] {
            box = whenModalAppears<QMessageBox>(
                [&](QMessageBox* b) {
                    ++boxes;
                    text = b->text();
                    // Port names come from files and devices: never taken for markup.
                    QCOMPARE(b->textFormat(), Qt::PlainText);
                    b->accept();
                    expectBox();
                },
                120000);
        };
        expectBox();
        setMostRecentlyOpenedFile(many);
        recentEntry(QStringLiteral("many.ms"))->trigger();
        QCOMPARE(current()->getNumMIDIRoutes(), 40);
        QTRY_COMPARE_WITH_TIMEOUT(boxes, 1, 60000);
        QTest::qWait(1000);
        QCOMPARE(boxes, 1);
        QVERIFY2(text.contains(QStringLiteral("(40 times)")), qPrintable(text));
        box.reset();
    }

    void saveAsAddsTheSuffixOnceAndAsksBeforeReplacing()
    {
        _window->openFirstSetup(QString());
        // The names a user would type into the file dialog, one per Save As.
        QStringList typed;
        QStringList starts;
        _window->setSetupFileChooser([&](QWidget*, bool forSaving, const QString& start) {
            starts << start;
            return forSaving && !typed.isEmpty() ? _dir.filePath(typed.takeFirst()) : QString();
        });
        auto restore = qScopeGuard([this] { _window->setSetupFileChooser({}); });

        typed << QStringLiteral("Gig");
        actionNamed(_window.get(), QStringLiteral("Save As..."))->trigger();
        const QString gig = _dir.filePath(QStringLiteral("Gig.ms"));
        QCOMPARE(current()->getFilePath(), gig);
        QVERIFY(QFile::exists(gig));
        QCOMPARE(_window->statusBar()->currentMessage(),
                 QDir::toNativeSeparators(gig) + QStringLiteral(" saved."));
        QCOMPARE(_window->windowTitle(), QStringLiteral("Gig.ms[*] - Quorvell"));

        typed << QStringLiteral("Second.ms");
        actionNamed(_window.get(), QStringLiteral("Save As..."))->trigger();
        // A saved setup offers its own file as the place to start.
        QCOMPARE(starts.last(), gig);
        QCOMPARE(current()->getFilePath(), _dir.filePath(QStringLiteral("Second.ms")));
        QVERIFY(!QFile::exists(_dir.filePath(QStringLiteral("Second.ms.ms"))));

        // "Old" typed where "Old.ms" exists: the user is asked, and saying no keeps the old file.
        const QString old = file(QStringLiteral("Old.ms"), "keep me");
        current()->getMIDIRouteAtIndex(0)->setName(QStringLiteral("Changed"));
        QString question;
        auto replace = answerMessageBox(QMessageBox::Cancel, &question);
        typed << QStringLiteral("Old");
        actionNamed(_window.get(), QStringLiteral("Save As..."))->trigger();
        QVERIFY(*replace);
        QVERIFY2(question.contains(QStringLiteral("Old.ms")), qPrintable(question));
        QFile kept(old);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("keep me"));
        QVERIFY(current()->isModified());
        QCOMPARE(current()->getFilePath(), _dir.filePath(QStringLiteral("Second.ms")));

        // Giving up in the dialog writes nothing.
        actionNamed(_window.get(), QStringLiteral("Save As..."))->trigger();
        QVERIFY(current()->isModified());
    }

    void allNotesOffEndsWhatSoundsOnEveryPort()
    {
        const QString path = file(QStringLiteral("play.ms"));
        _window->openFirstSetup(path);
        RoutingTestRig::clearSent();
        RoutingTestRig::play(QStringLiteral("Keys"), {0x90, 60, 100});
        RoutingTestRig::play(QStringLiteral("Keys"), {0xE0, 0x00, 0x70});
        QCOMPARE(RoutingTestRig::takeSent(QStringLiteral("SynthA")).size(), 2);
        QAction* panic = actionNamed(_window.get(), QStringLiteral("All Notes Off"));
        QCOMPARE(panic->shortcut(), QKeySequence(QStringLiteral("Ctrl+.")));
        QCOMPARE(panic->statusTip(), QStringLiteral("End every sounding note and sustain pedal on every port "
                                                    "and channel of the setup."));
        panic->trigger();
        const QList<midiMessage_t> sent = RoutingTestRig::takeSent(QStringLiteral("SynthA"));
        QVERIFY(sent.contains(midiMessage_t({0x80, 60, 127})));
        QVERIFY(sent.contains(midiMessage_t({0xB0, 123, 0})));
        QVERIFY(sent.contains(midiMessage_t({0xE0, 0x00, 0x40})));
    }

    void storedGeometryOffScreenIsBroughtBack()
    {
        const QRect screen(0, 0, 1920, 1080);
        QCOMPARE(clampWindowGeometry(QRect(5000, 3000, 800, 600), screen), QRect(1120, 480, 800, 600));
        QCOMPARE(clampWindowGeometry(QRect(-900, -50, 800, 600), screen), QRect(0, 0, 800, 600));
        QCOMPARE(clampWindowGeometry(QRect(100, 100, 800, 4000), screen), QRect(100, 0, 800, 1080));
        QCOMPARE(clampWindowGeometry(QRect(100, 100, 800, 600), screen), QRect(100, 100, 800, 600));

        setPointPrefValue(PrefKeys::MainWindowPosition, QPoint(9000, 9000));
        setSizePrefValue(PrefKeys::MainWindowSize, QSize(3000, 400));
        _window->show();
        const QRect available = _window->screen()->availableGeometry();
        QVERIFY2(available.contains(_window->frameGeometry().topLeft()), "window placed off the screen");
        // The stored width is not used: the width is the window's own.
        QCOMPARE(_window->width(), _window->sizeHint().width());
    }
};

QTEST_MAIN(MainWindowFilesTest)
#include "tst_MainWindowFiles.moc"
