// The prompt to save before Close, New, Open and Quit let go of a setup with unsaved changes:
// Save, Don't Save and Cancel, and a failed save that must keep the command from going ahead.
#include "WindowTestSupport.h"

#include "app/MainWindow.h"
#include "model/initializers/InitializerRegistry.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "model/routing/MIDIRoutingSetupManager.h"
#include "model/transforms/BuiltInTransforms.h"
#include "persistence/AppPrefs.h"
#include "persistence/PrefKeys.h"
#include "support/RoutingTestRig.h"
#include "support/TestPrefs.h"

#include <QFileDialog>
#include <QScopeGuard>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

using namespace WindowTestSupport;

class MainWindowPromptTest : public QObject
{
    Q_OBJECT

    QTemporaryDir _dir;
    std::unique_ptr<MainWindow> _window;

    MIDIRoutingSetup* current() const { return getCurrentRoutingSetup(); }

    // A saved setup with an edit not yet saved.
    QString openEditedSetup(const QString& name = QStringLiteral("gig.ms"))
    {
        const QString path = _dir.filePath(name);
        writeFile(path, setupFileBytes());
        _window->openFirstSetup(path);
        current()->getMIDIRouteAtIndex(0)->setName(QStringLiteral("Edited"));
        return path;
    }

    static QByteArray fileBytes(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    void trigger(const QString& actionText)
    {
        QAction* action = actionNamed(_window.get(), actionText);
        QVERIFY2(action, qPrintable(actionText));
        action->trigger();
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

    void closeAskedCancelKeepsTheSetup()
    {
        openEditedSetup();
        MIDIRoutingSetup* before = current();
        QString text;
        auto answered = answerMessageBox(QMessageBox::Cancel, &text);
        trigger(QStringLiteral("Close"));
        QVERIFY(*answered);
        QCOMPARE(text, QStringLiteral("Save current setup before proceeding?"));
        QCOMPARE(current(), before);
        QVERIFY(current()->isModified());
    }

    void closeAskedDontSaveDropsTheEdit()
    {
        const QString path = openEditedSetup();
        const QByteArray onDisk = fileBytes(path);
        auto answered = whenModalAppears<QMessageBox>([](QMessageBox* box) {
            QCOMPARE(box->button(QMessageBox::Discard)->text(), QStringLiteral("Don't Save"));
            box->button(QMessageBox::Discard)->click();
        });
        trigger(QStringLiteral("Close"));
        QVERIFY(*answered);
        QVERIFY(!current());
        QCOMPARE(fileBytes(path), onDisk);
        QCOMPARE(_window->windowTitle(), QStringLiteral("Quorvell"));
    }

    void closeAskedSaveWritesThenCloses()
    {
        const QString path = openEditedSetup();
        auto answered = answerMessageBox(QMessageBox::Save);
        trigger(QStringLiteral("Close"));
        QVERIFY(*answered);
        QVERIFY(!current());
        QVERIFY(fileBytes(path).contains("Edited"));
    }

    void newAskedCancelKeepsTheSetupAndDontSaveStartsAfresh()
    {
        openEditedSetup();
        MIDIRoutingSetup* before = current();
        auto cancelled = answerMessageBox(QMessageBox::Cancel);
        trigger(QStringLiteral("New"));
        QVERIFY(*cancelled);
        QCOMPARE(current(), before);

        auto discarded = answerMessageBox(QMessageBox::Discard);
        trigger(QStringLiteral("New"));
        QVERIFY(*discarded);
        QVERIFY(current() && current() != before);
        QCOMPARE(current()->getNumMIDIRoutes(), 1);
        QVERIFY(!current()->isModified());
        QVERIFY(!current()->hasBeenSaved());
        QCOMPARE(_window->windowTitle(), QStringLiteral("Untitled[*] - Quorvell"));
    }

    void openAskedCancelShowsNoFileDialog()
    {
        openEditedSetup();
        MIDIRoutingSetup* before = current();
        auto answered = answerMessageBox(QMessageBox::Cancel);
        bool fileDialogShown = false;
        auto dialog = whenModalAppears<QFileDialog>(
            [&fileDialogShown](QFileDialog* d) {
                fileDialogShown = true;
                d->reject();
            },
            1500);
        trigger(QStringLiteral("Open..."));
        QVERIFY(*answered);
        QTest::qWait(100);
        QVERIFY(!fileDialogShown);
        QCOMPARE(current(), before);
    }

    void openAskedSaveThenOpensTheChosenFile()
    {
        const QString path = openEditedSetup();
        const QString other = _dir.filePath(QStringLiteral("other.ms"));
        writeFile(other, setupFileBytes(QStringLiteral("Other Keys")));
        auto saved = answerMessageBox(QMessageBox::Save);
        bool chosen = false;
        bool savedFirst = false;
        _window->setSetupFileChooser([&](QWidget*, bool forSaving, const QString&) {
            // The prompt was answered and the edits written before the file is asked for.
            savedFirst = *saved && fileBytes(path).contains("Edited");
            chosen = !forSaving;
            return forSaving ? QString() : other;
        });
        auto restore = qScopeGuard([this] { _window->setSetupFileChooser({}); });
        trigger(QStringLiteral("Open..."));
        QVERIFY(chosen);
        QVERIFY(savedFirst);
        QVERIFY(fileBytes(path).contains("Edited"));
        QCOMPARE(current()->getFilePath(), other);
        QCOMPARE(current()->getMIDIRouteAtIndex(0)->getName(), QStringLiteral("Other Keys"));
    }

    void quitAskedCancelKeepsTheWindowAndStoresNothing()
    {
        setPointPrefValue(PrefKeys::MainWindowPosition, QPoint(7, 7));
        _window->show();
        openEditedSetup();
        auto answered = answerMessageBox(QMessageBox::Cancel);
        trigger(QStringLiteral("Quit"));
        QVERIFY(*answered);
        QVERIFY(_window->isVisible());
        QVERIFY(current());
        QCOMPARE(getPointPrefValue(PrefKeys::MainWindowPosition, QPoint()), QPoint(7, 7));
    }

    void quitAskedDontSaveStoresGeometryAndLetsGo()
    {
        setPointPrefValue(PrefKeys::MainWindowPosition, QPoint(7, 7));
        setBoolPrefValue(PrefKeys::KeyboardVisible, true);
        _window->show();
        openEditedSetup();
        trigger(QStringLiteral("Hide Keyboard"));
        QVERIFY(actionNamed(_window.get(), QStringLiteral("Show Keyboard")));
        auto answered = answerMessageBox(QMessageBox::Discard);
        trigger(QStringLiteral("Quit"));
        QVERIFY(*answered);
        QVERIFY(!_window->isVisible());
        QVERIFY(!current());
        QCOMPARE(getPointPrefValue(PrefKeys::MainWindowPosition, QPoint()), _window->pos());
        QCOMPARE(getSizePrefValue(PrefKeys::MainWindowSize, QSize()), _window->size());
        QCOMPARE(getBoolPrefValue(PrefKeys::KeyboardVisible, true), false);
    }

    void quitWithNothingChangedDoesNotAsk()
    {
        _window->show();
        const QString path = _dir.filePath(QStringLiteral("calm.ms"));
        writeFile(path, setupFileBytes());
        _window->openFirstSetup(path);
        bool asked = false;
        auto box = whenModalAppears<QMessageBox>(
            [&asked](QMessageBox* b) {
                asked = true;
                b->reject();
            },
            1000);
        trigger(QStringLiteral("Quit"));
        QTest::qWait(100);
        QVERIFY(!asked);
        QVERIFY(!_window->isVisible());
    }

    void emptiedUntitledSetupClosesWithoutAsking()
    {
        _window->openFirstSetup(QString());
        MIDIRoute* only = current()->getMIDIRouteAtIndex(0);
        current()->removeMIDIRoute(only, true);
        QVERIFY(current()->isModified());
        bool asked = false;
        auto box = whenModalAppears<QMessageBox>(
            [&asked](QMessageBox* b) {
                asked = true;
                b->reject();
            },
            1000);
        trigger(QStringLiteral("Close"));
        QTest::qWait(100);
        QVERIFY(!asked);
        QVERIFY(!current());
    }

    void failedSaveKeepsCloseNewOpenAndQuitFromGoingAhead()
    {
        _window->show();
        openEditedSetup();
        // The folder of the file is gone: the save cannot be written.
        const QString lost = _dir.filePath(QStringLiteral("gone/gig.ms"));
        current()->setFilePath(lost);
        MIDIRoutingSetup* before = current();
        for (const QString& command : {QStringLiteral("Close"), QStringLiteral("New"),
                                       QStringLiteral("Open..."), QStringLiteral("Quit")}) {
            QString errorText;
            QString errorTitle;
            bool fileDialogShown = false;
            auto prompt = answerMessageBox(QMessageBox::Save);
            // The error box comes after the prompt has been answered.
            std::shared_ptr<ModalAnswer> error;
            std::shared_ptr<ModalAnswer> fileDialog;
            QTimer::singleShot(0, this, [&] {
                error = answerMessageBox(QMessageBox::Ok, &errorText, &errorTitle);
                fileDialog = whenModalAppears<QFileDialog>(
                    [&fileDialogShown](QFileDialog* d) {
                        fileDialogShown = true;
                        d->reject();
                    },
                    1500);
            });
            trigger(command);
            QTRY_VERIFY_WITH_TIMEOUT(*prompt, 60000);
            QTRY_VERIFY2_WITH_TIMEOUT(!errorText.isEmpty(), qPrintable(command), 60000);
            QCOMPARE(errorTitle, QStringLiteral("Quorvell Error"));
            QVERIFY2(errorText.contains(QStringLiteral("gone")), qPrintable(errorText));
            QTest::qWait(50);
            QVERIFY2(!fileDialogShown, qPrintable(command));
            QCOMPARE(current(), before);
            QVERIFY(current()->isModified());
            QVERIFY(_window->isVisible());
            QVERIFY(!_window->statusBar()->currentMessage().contains(QStringLiteral("saved.")));
        }
    }
};

QTEST_MAIN(MainWindowPromptTest)
#include "tst_MainWindowPrompt.moc"
