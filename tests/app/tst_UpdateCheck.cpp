#include "LocalUpdateServer.h"
#include "ModalBoxCatcher.h"
#include "app/AboutBox.h"
#include "app/SafeLinks.h"
#include "app/UpdateCheckRunner.h"
#include "app/UpdateChecker.h"
#include "support/TestPrefs.h"

#include <QDesktopServices>
#include <QLabel>
#include <QMessageBox>
#include <QProgressDialog>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>
#include <QUrl>
#include <QWidget>

// Records the links the program hands to the desktop instead of starting a browser.
class LinkRecorder : public QObject
{
    Q_OBJECT

public:
    QStringList opened;

public slots:
    void open(const QUrl& url) { opened << url.toString(); }
};

class UpdateCheckTest : public QObject
{
    Q_OBJECT

private:
    // Runs one check through the window's side and returns the box it ended with.
    QPair<QString, QString> checkAgainst(LocalUpdateServer& server, int timeoutMs = 5000)
    {
        QWidget window;
        UpdateCheckRunner runner(&window);
        runner.setUpdateInfoUrl(server.url());
        runner.setTimeoutMs(timeoutMs);
        ModalBoxCatcher boxes;
        runner.checkForUpdates();
        if (!QTest::qWaitFor([&] { return boxes.count() > 0; }, 10000))
            return {};
        QTest::qWait(20);
        return {boxes.lastTitle(), boxes.lastText()};
    }

    static QByteArray document(const QByteArray& rootAttributes, const QByteArray& updates = {})
    {
        return "<?xml version=\"1.0\"?>\n<!DOCTYPE ProductUpdateInfo>\n<ProductUpdateInfo " + rootAttributes +
               ">" + updates + "</ProductUpdateInfo>\n";
    }

    LinkRecorder _links;

private slots:
    void initTestCase()
    {
        useTemporaryPrefs();
        for (const char* scheme : {"http", "https", "mailto", "file", "javascript"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &_links, "open");
    }

    void cleanupTestCase()
    {
        for (const char* scheme : {"http", "https", "mailto", "file", "javascript"})
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    }

    void serverNamingOurVersionSaysUpToDate()
    {
        LocalUpdateServer server;
        server.answer(200, document("name=\"Quorvell\" version=\"2.0.1\""));
        const auto box = checkAgainst(server);
        QCOMPARE(box.first, QStringLiteral("Update Check"));
        QCOMPARE(box.second, QStringLiteral("Quorvell is up-to-date."));
        QCOMPARE(server.requests(), 1);
    }

    void newerVersionWithNotesListsEveryNote()
    {
        LocalUpdateServer server;
        server.answer(200, document("version=\"2.1.0\"", "<update note=\"Faster switching\"/>"
                                                         "<group><update note=\"New transpose\"/></group>"));
        const auto box = checkAgainst(server);
        QCOMPARE(box.first, QStringLiteral("Update Avaiable"));
        QCOMPARE(box.second,
                 QStringLiteral("<p><b>Quorvell version 2.1.0 is now available.</b></p><p>Details:\n<ul>\n"
                                "  <li>&nbsp;Faster switching</li>\n  <li>&nbsp;New transpose</li>\n</ul>\n"
                                "</p>\n<p><center><font size=\"+1\"><b><a href=\"") +
                     QStringLiteral("https://quorvell.example/downloads/") +
                     QStringLiteral("\">Go To Downloads</a></b></font><br>\n<font size=\"-1\">(quit Quorvell "
                                    "before installing)</font></center></p>"));
    }

    void manyNotesKeepTheBoxOnTheScreen()
    {
        QStringList notes;
        for (int i = 1; i <= 300; ++i)
            notes << QStringLiteral("Note %1").arg(i);
        const QString text = UpdateCheckRunner::makeUpdateAvailableText(QStringLiteral("2.1.0"), notes,
                                                                        QStringLiteral("https://x.example/"));
        QCOMPARE(text.count(QStringLiteral("<li>")), UpdateCheckRunner::kMaxNotesShown);
        QVERIFY(text.contains(QStringLiteral("<li>&nbsp;Note 14</li>")));
        QVERIFY(!text.contains(QStringLiteral("Note 15<")));
        QVERIFY(text.contains(QStringLiteral("<li>&nbsp;and 286 more</li>")));
        // Exactly the limit: every note, no count.
        const QString full = UpdateCheckRunner::makeUpdateAvailableText(
            QStringLiteral("2.1.0"), notes.mid(0, UpdateCheckRunner::kMaxNotesShown), QStringLiteral("x"));
        QVERIFY(full.contains(QStringLiteral("Note 15</li>")));
        QVERIFY(!full.contains(QStringLiteral("more</li>")));

        // The box shown fits on the screen.
        QMessageBox box(QMessageBox::Information, QStringLiteral("Update Avaiable"), text, QMessageBox::Ok);
        box.setTextFormat(Qt::RichText);
        QVERIFY(box.sizeHint().height() < 1000);
    }

    void escapeOnTheProgressWindowCancelsTheCheck()
    {
        LocalUpdateServer server;
        server.stayQuiet();
        QWidget window;
        UpdateCheckRunner runner(&window);
        runner.setUpdateInfoUrl(server.url());
        runner.setTimeoutMs(300);
        ModalBoxCatcher boxes;
        runner.checkForUpdates();
        QTRY_COMPARE(server.requests(), 1);
        QProgressDialog* progress = window.findChild<QProgressDialog*>();
        QVERIFY(progress && progress->isVisible());
        QTest::keyClick(progress, Qt::Key_Escape);
        QVERIFY(!progress->isVisible());
        QVERIFY(!runner.isUpdateCheckRunning());
        QTest::qWait(500); // past the time-out: no error box
        QCOMPARE(boxes.count(), 0);
        // A second request starts a new check.
        runner.checkForUpdates();
        QTRY_COMPARE(server.requests(), 2);
        runner.abortUpdateCheck();
    }

    void newerVersionWithoutNotesHasNoDetailsList()
    {
        LocalUpdateServer server;
        server.answer(200, document("version=\"3.0\""));
        const auto box = checkAgainst(server);
        QCOMPARE(box.first, QStringLiteral("Update Avaiable"));
        QVERIFY(box.second.startsWith(
            QStringLiteral("<p><b>Quorvell version 3.0 is now available.</b></p>\n<p>")));
        QVERIFY(!box.second.contains(QStringLiteral("Details:")));
    }

    void olderVersionStillCountsAsAnUpdate()
    {
        LocalUpdateServer server;
        server.answer(200, document("version=\"1.9.9\""));
        const auto box = checkAgainst(server);
        QCOMPARE(box.first, QStringLiteral("Update Avaiable"));
        QVERIFY(box.second.contains(QStringLiteral("Quorvell version 1.9.9 is now available.")));
    }

    void replyWithoutVersionIsAnError()
    {
        for (const QByteArray& body : {document("name=\"Quorvell\""), QByteArray("<html>not found</html>"),
                                       QByteArray("garbage"), QByteArray()}) {
            LocalUpdateServer server;
            server.answer(200, body);
            const auto box = checkAgainst(server);
            QCOMPARE(box.first, QStringLiteral("Update Check"));
            QCOMPARE(box.second,
                     UpdateCheckRunner::makeErrorText(QStringLiteral("The reply held no version.")));
        }
    }

    void markupInNotesAndVersionShowsAsPlainText()
    {
        LocalUpdateServer server;
        server.answer(200, document("version=\"&lt;b&gt;9&lt;/b&gt;\"",
                                    "<update note=\"&lt;a href='file:///etc/passwd'&gt;click&lt;/a&gt; "
                                    "&lt;img src=x&gt; &amp;amp;\"/>"));
        const auto box = checkAgainst(server);
        QCOMPARE(box.first, QStringLiteral("Update Avaiable"));
        QVERIFY(box.second.contains(QStringLiteral("Quorvell version &lt;b&gt;9&lt;/b&gt; is now")));
        QVERIFY(
            box.second.contains(QStringLiteral("<li>&nbsp;&lt;a href='file:///etc/passwd'&gt;click&lt;/a&gt; "
                                               "&lt;img src=x&gt; &amp;amp;</li>")));
        QVERIFY(!box.second.contains(QStringLiteral("<a href='file")));
        QVERIFY(!box.second.contains(QStringLiteral("<img")));
        // The only link left is the downloads page.
        QCOMPARE(box.second.count(QStringLiteral("<a ")), 1);
    }

    void missingPageShowsTheErrorBox()
    {
        LocalUpdateServer server;
        server.answer(404, "<html>gone</html>");
        const auto box = checkAgainst(server);
        QCOMPARE(box.first, QStringLiteral("Update Check"));
        QVERIFY2(box.second.startsWith(QStringLiteral("Unable to retrieve update information:\n\n")),
                 qPrintable(box.second));
        QVERIFY2(box.second.contains(QStringLiteral("Not Found")), qPrintable(box.second));
        QVERIFY(box.second.endsWith(QStringLiteral("\n\nCheck your network connection and try again.")));
    }

    void refusedConnectionShowsTheErrorBox()
    {
        quint16 closedPort = 0;
        {
            QTcpServer probe;
            QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
            closedPort = probe.serverPort();
        }
        QWidget window;
        UpdateCheckRunner runner(&window);
        runner.setUpdateInfoUrl(QStringLiteral("http://127.0.0.1:%1/update.xml").arg(closedPort));
        ModalBoxCatcher boxes;
        runner.checkForUpdates();
        QTRY_COMPARE_WITH_TIMEOUT(boxes.count(), 1, 10000);
        QCOMPARE(boxes.lastTitle(), QStringLiteral("Update Check"));
        QVERIFY2(boxes.lastText().contains(QStringLiteral("refused"), Qt::CaseInsensitive),
                 qPrintable(boxes.lastText()));
        QVERIFY(!runner.isUpdateCheckRunning());
    }

    void silentServerGivesTheErrorBoxAfterTheTimeout()
    {
        LocalUpdateServer server;
        server.stayQuiet();
        const auto box = checkAgainst(server, 300);
        QCOMPARE(box.first, QStringLiteral("Update Check"));
        QVERIFY2(box.second.contains(QStringLiteral("did not answer within 0.3 seconds")),
                 qPrintable(box.second));
        QCOMPARE(UpdateChecker::kDefaultTimeoutMs, 15000);
    }

    void oversizedReplyIsRefused()
    {
        const QByteArray huge = document("version=\"9.9\"", QByteArray(UpdateChecker::kMaxReplyBytes, ' '));
        for (bool announceLength : {true, false}) {
            LocalUpdateServer server;
            server.answer(200, huge, announceLength);
            const auto box = checkAgainst(server);
            QCOMPARE(box.first, QStringLiteral("Update Check"));
            QVERIFY2(box.second.contains(QStringLiteral("larger than 1 MiB")), qPrintable(box.second));
        }
        // Just under the limit is read.
        LocalUpdateServer server;
        server.answer(200, document("version=\"2.0.1\"", QByteArray(1000 * 1000, ' ')));
        QCOMPARE(checkAgainst(server).second, QStringLiteral("Quorvell is up-to-date."));
    }

    void secondCheckWhileOneRunsDoesNothing()
    {
        LocalUpdateServer server;
        server.stayQuiet();
        QWidget window;
        UpdateCheckRunner runner(&window);
        runner.setUpdateInfoUrl(server.url());
        ModalBoxCatcher boxes;
        runner.checkForUpdates();
        QTRY_COMPARE(server.requests(), 1);
        runner.checkForUpdates();
        runner.checkForUpdates();
        QTest::qWait(200);
        QCOMPARE(server.requests(), 1);
        QVERIFY(runner.isUpdateCheckRunning());
        runner.abortUpdateCheck();
    }

    void quittingDuringACheckEndsItWithoutABox()
    {
        LocalUpdateServer server;
        server.stayQuiet();
        ModalBoxCatcher boxes;
        {
            QWidget window;
            auto* runner = new UpdateCheckRunner(&window);
            runner->setUpdateInfoUrl(server.url());
            runner->setTimeoutMs(200);
            runner->checkForUpdates();
            QTRY_COMPARE(server.requests(), 1);
            runner->abortUpdateCheck();
            QVERIFY(!runner->isUpdateCheckRunning());
            QTest::qWait(400); // past the time-out: nothing may report now
            QCOMPARE(boxes.count(), 0);
            // A check can be started again afterwards; closing the window mid-check is quiet too.
            runner->checkForUpdates();
            QVERIFY(runner->isUpdateCheckRunning());
        }
        QTest::qWait(400);
        QCOMPARE(boxes.count(), 0);
    }

    void checkerReportsStraightToItsSignals()
    {
        LocalUpdateServer server;
        server.answer(200, document("version=\"2.0.1\"", "<update note=\"a\"/>"));
        UpdateChecker checker(QStringLiteral("2.0.1"), server.url(), nullptr);
        QSignalSpy finished(&checker, &UpdateChecker::updateCheckFinished);
        checker.startUpdateCheck();
        QVERIFY(finished.wait(5000));
        QCOMPARE(finished.at(0).at(0).toBool(), false);
        QCOMPARE(checker.getUpdateVersionInfo(), QStringLiteral("2.0.1"));
        QCOMPARE(checker.getUpdateDetails(), QStringList{QStringLiteral("a")});
    }

    void addressComesFromTheEnvironmentWhenSet()
    {
        qputenv("QUORVELL_UPDATE_URL", "http://127.0.0.1:1/elsewhere.xml");
        QCOMPARE(UpdateChecker::defaultUpdateInfoUrl(), QStringLiteral("http://127.0.0.1:1/elsewhere.xml"));
        qunsetenv("QUORVELL_UPDATE_URL");
        QCOMPARE(UpdateChecker::defaultUpdateInfoUrl(),
                 QStringLiteral("https://quorvell.example/updates/linux/ProductUpdateInfo.xml"));
    }

    void nonWebAddressIsAnErrorNotARequest()
    {
        UpdateChecker checker(QStringLiteral("2.0.1"), QStringLiteral("file:///etc/hostname"), nullptr);
        QSignalSpy error(&checker, &UpdateChecker::updateCheckError);
        checker.startUpdateCheck();
        QVERIFY(error.wait(2000));
        QVERIFY(error.at(0).at(0).toString().contains(QStringLiteral("not an http or https address")));
    }

    void onlyWebAndMailLinksAreOpened()
    {
        QVERIFY(isSafeLink(QStringLiteral("https://quorvell.example/downloads/"), false));
        QVERIFY(isSafeLink(QStringLiteral("HTTP://quorvell.example/"), false));
        QVERIFY(!isSafeLink(QStringLiteral("mailto:support@quorvell.example"), false));
        QVERIFY(isSafeLink(QStringLiteral("mailto:support@quorvell.example"), true));
        QVERIFY(!isSafeLink(QStringLiteral("file:///etc/passwd"), true));
        QVERIFY(!isSafeLink(QStringLiteral("javascript:alert(1)"), true));
        QVERIFY(!isSafeLink(QStringLiteral("http:///nohost"), true));
        _links.opened.clear();
        QVERIFY(!openLinkIfSafe(QStringLiteral("file:///etc/passwd"), true));
        QVERIFY(openLinkIfSafe(QStringLiteral("https://quorvell.example/x"), false));
        QCOMPARE(_links.opened, QStringList{QStringLiteral("https://quorvell.example/x")});
    }

    void linksInTheBoxesGoThroughTheSafeOpener()
    {
        QMessageBox box(QMessageBox::Information, QStringLiteral("Update Avaiable"),
                        UpdateCheckRunner::makeUpdateAvailableText(
                            QStringLiteral("3.0"), {}, QStringLiteral("https://quorvell.example/d/")),
                        QMessageBox::Ok);
        box.setTextFormat(Qt::RichText);
        routeMessageBoxLinksThroughSafeOpener(&box);
        auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        QVERIFY(label);
        QVERIFY(!label->openExternalLinks());
        _links.opened.clear();
        emit label->linkActivated(QStringLiteral("file:///etc/passwd"));
        emit label->linkActivated(QStringLiteral("mailto:someone@quorvell.example"));
        emit label->linkActivated(QStringLiteral("https://quorvell.example/d/"));
        QCOMPARE(_links.opened, QStringList{QStringLiteral("https://quorvell.example/d/")});
    }

    void aboutBoxShowsVersionAndOpensOnlyItsOwnKindsOfLinks()
    {
        const QString body = AboutBox::makeApplicationBody();
        QVERIFY(body.startsWith(QStringLiteral("<p>")));
        QVERIFY(body.contains(QStringLiteral("<br><br>Version 2.0.1 - ")));
        QVERIFY(body.contains(
            QStringLiteral("<br><br>Support Contact: <a href='mailto:support@quorvell.example'>")));
        QVERIFY(body.endsWith(QStringLiteral("<center><a href='https://quorvell.example/donate/'><img "
                                             "src=:/icons/PayPal_DonateNow.png></a></center>")));
        AboutBox box(QStringLiteral("Quorvell"), QPixmap(32, 32), body, nullptr);
        QCOMPARE(box.windowTitle(), QStringLiteral("About Quorvell"));
        auto* label = box.findChild<QLabel*>(QStringLiteral("aboutBody"));
        QVERIFY(label);
        QVERIFY(!label->openExternalLinks());
        _links.opened.clear();
        emit label->linkActivated(QStringLiteral("mailto:support@quorvell.example"));
        emit label->linkActivated(QStringLiteral("file:///etc/passwd"));
        emit label->linkActivated(QStringLiteral("https://quorvell.example/donate/"));
        QCOMPARE(_links.opened, QStringList({QStringLiteral("mailto:support@quorvell.example"),
                                             QStringLiteral("https://quorvell.example/donate/")}));
        QCOMPARE(box.size(), box.sizeHint());
    }
};

QTEST_MAIN(UpdateCheckTest)
#include "tst_UpdateCheck.moc"
