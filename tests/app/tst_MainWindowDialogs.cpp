// The Edit and Help menus open the dialogs, and the update check behaves well in the window.
#include "LocalUpdateServer.h"
#include "WindowTestSupport.h"

#include "app/AboutBox.h"
#include "app/MainWindow.h"
#include "app/PrefsDialog.h"
#include "app/RerouteDialog.h"
#include "model/initializers/InitializerRegistry.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "model/routing/MIDIRoutingSetupManager.h"
#include "model/transforms/BuiltInTransforms.h"
#include "support/RoutingTestRig.h"
#include "support/TestPrefs.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>

using namespace WindowTestSupport;

class MainWindowDialogsTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<MainWindow> _window;

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
    }

    void init()
    {
        MIDIRoutingSetupManager::GetInstance()->clearCurrentRoutingSetup(true);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        _window = std::make_unique<MainWindow>();
        _window->openFirstSetup(QString());
        _window->show();
    }

    void cleanup()
    {
        _window.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void rerouteFromTheEditMenuMovesTheInput()
    {
        MIDIRoute* route = getCurrentRoutingSetup()->getMIDIRouteAtIndex(0);
        QCOMPARE(route->getMIDIInputPortName(), QStringLiteral("Keys"));
        auto answered = whenModalAppears<RerouteDialog>([](RerouteDialog* dialog) {
            QCOMPARE(dialog->getReplaceWithPortName(), QStringLiteral("Pads"));
            dialog->buttonBox()->button(QDialogButtonBox::Ok)->click();
        });
        trigger(QStringLiteral("Reroute Port/Channel..."));
        QVERIFY(*answered);
        QCOMPARE(route->getMIDIInputPortName(), QStringLiteral("Pads"));
    }

    void mergeWithOneInputSaysWhy()
    {
        QString text;
        QString title;
        auto answered = answerMessageBox(QMessageBox::Ok, &text, &title);
        trigger(QStringLiteral("Merge Outputs..."));
        QVERIFY(*answered);
        QCOMPARE(title, QStringLiteral("Merge Error"));
        QCOMPARE(text, QStringLiteral("Insufficient outputs for merging."));
    }

    void preferencesAndAboutOpenTheirDialogs()
    {
        auto prefs = whenModalAppears<PrefsDialog>([](PrefsDialog* dialog) { dialog->reject(); });
        trigger(QStringLiteral("Preferences..."));
        QVERIFY(*prefs);
        auto about = whenModalAppears<AboutBox>([](AboutBox* box) {
            QCOMPARE(box->windowTitle(), QStringLiteral("About Quorvell"));
            box->accept();
        });
        trigger(QStringLiteral("About Quorvell"));
        QVERIFY(*about);
    }

    void checkForUpdatesAsksTheConfiguredServer()
    {
        LocalUpdateServer server;
        server.answer(200, "<ProductUpdateInfo version=\"2.0.1\"/>");
        qputenv("QUORVELL_UPDATE_URL", server.url().toUtf8());
        QString text;
        QString title;
        auto answered = answerMessageBox(QMessageBox::Ok, &text, &title);
        trigger(QStringLiteral("Check For Updates..."));
        QTRY_VERIFY_WITH_TIMEOUT(*answered, 10000);
        QCOMPARE(title, QStringLiteral("Update Check"));
        QCOMPARE(text, QStringLiteral("Quorvell is up-to-date."));
        QCOMPARE(server.requests(), 1);
        qunsetenv("QUORVELL_UPDATE_URL");
    }

    void quittingDuringACheckShowsNoBox()
    {
        LocalUpdateServer server;
        server.stayQuiet();
        qputenv("QUORVELL_UPDATE_URL", server.url().toUtf8());
        trigger(QStringLiteral("Check For Updates..."));
        QTRY_COMPARE(server.requests(), 1);
        trigger(QStringLiteral("Check For Updates...")); // ignored while the first one runs
        QString title;
        QString text;
        auto box = answerMessageBox(QMessageBox::Ok, &text, &title);
        QProgressDialog* progress = nullptr;
        for (QProgressDialog* dialog : _window->findChildren<QProgressDialog*>()) {
            if (dialog->windowTitle() == QStringLiteral("Update Check"))
                progress = dialog;
        }
        QVERIFY(progress);
        QVERIFY(progress->isVisible());
        QVERIFY(_window->close());
        QVERIFY(!progress->isVisible());
        QTest::qWait(300);
        QVERIFY2(!*box, qPrintable(title + QLatin1Char(' ') + text));
        QCOMPARE(server.requests(), 1);
        qunsetenv("QUORVELL_UPDATE_URL");
    }
};

QTEST_MAIN(MainWindowDialogsTest)
#include "tst_MainWindowDialogs.moc"
