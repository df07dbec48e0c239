#include "app/UpdateCheckRunner.h"

#include "app/DeploymentInfo.h"
#include "app/SafeLinks.h"
#include "app/UpdateChecker.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QProgressDialog>

UpdateCheckRunner::UpdateCheckRunner(QWidget* window)
    : QObject(window), _window(window), _updateInfoUrl(UpdateChecker::defaultUpdateInfoUrl()),
      _timeoutMs(UpdateChecker::kDefaultTimeoutMs)
{
    connect(qApp, &QCoreApplication::aboutToQuit, this, &UpdateCheckRunner::abortUpdateCheck);
}

UpdateCheckRunner::~UpdateCheckRunner()
{
    abortUpdateCheck();
    delete _progressDialog;
}

void UpdateCheckRunner::checkForUpdates()
{
    if (_updateChecker)
        return;
    _initUpdateCheck();
}

void UpdateCheckRunner::_initUpdateCheck()
{
    if (!_progressDialog) {
        _progressDialog = new QProgressDialog(_window);
        _progressDialog->setCancelButton(nullptr);
        _progressDialog->setWindowModality(Qt::NonModal);
        _progressDialog->setAutoClose(false);
        _progressDialog->setAutoReset(false);
        _progressDialog->reset(); // built hidden: it must not pop up on its own later
        // Closing the progress window (or the main window, which closes every other window)
        // ends the check.
        connect(_progressDialog, &QProgressDialog::canceled, this, &UpdateCheckRunner::abortUpdateCheck);
        // Escape rejects the dialog (it has no cancel button to click): that ends the check too.
        connect(_progressDialog, &QDialog::rejected, this, &UpdateCheckRunner::abortUpdateCheck);
        if (_window)
            _progressDialog->setFixedWidth(qMax(300, _window->sizeHint().width() / 2));
    }
    _progressDialog->setWindowTitle(QStringLiteral("Update Check"));
    _progressDialog->setLabelText(QStringLiteral("Checking for updates..."));
    _progressDialog->setRange(0, 0);
    _progressDialog->setValue(0);
    _progressDialog->show();
    QCoreApplication::processEvents();

    _updateChecker = new UpdateChecker(QStringLiteral(QUORVELL_VERSION), _updateInfoUrl, this);
    _updateChecker->setTimeoutMs(_timeoutMs);
    connect(_updateChecker, &UpdateChecker::updateCheckFinished, this,
            &UpdateCheckRunner::_updateCheckerFinishedSLOT);
    connect(_updateChecker, &UpdateChecker::updateCheckError, this,
            &UpdateCheckRunner::_updateCheckerErrorSLOT);
    _updateChecker->startUpdateCheck();
}

void UpdateCheckRunner::abortUpdateCheck()
{
    if (_progressDialog)
        _progressDialog->hide();
    _cleanUpUpdateCheck();
}

void UpdateCheckRunner::_cleanUpUpdateCheck()
{
    if (!_updateChecker)
        return;
    UpdateChecker* checker = _updateChecker;
    _updateChecker = nullptr;
    checker->disconnect(this);
    checker->abortUpdateCheck();
    checker->setParent(nullptr);
    checker->deleteLater();
}

void UpdateCheckRunner::_updateCheckerErrorSLOT(const QString& errorText)
{
    _progressDialog->hide();
    _cleanUpUpdateCheck();
    _showBox(QMessageBox::Critical, QStringLiteral("Update Check"), makeErrorText(errorText), false);
}

void UpdateCheckRunner::_updateCheckerFinishedSLOT(bool updateAvailable)
{
    _progressDialog->hide();
    const QString version = _updateChecker->getUpdateVersionInfo();
    const QStringList details = _updateChecker->getUpdateDetails();
    _cleanUpUpdateCheck();
    if (updateAvailable) {
        _showBox(
            QMessageBox::Information, QStringLiteral("Update Avaiable"),
            makeUpdateAvailableText(version, details, QString::fromUtf8(DeploymentInfo::kDownloadsPageUrl)),
            true);
    } else {
        _showBox(QMessageBox::Information, QStringLiteral("Update Check"),
                 QStringLiteral("Quorvell is up-to-date."), false);
    }
}

void UpdateCheckRunner::_showBox(int icon, const QString& title, const QString& text, bool richText)
{
    emit messageShown(title, text);
    QPointer<QMessageBox> box =
        new QMessageBox(QMessageBox::Icon(icon), title, text, QMessageBox::Ok, _window.data());
    box->setTextFormat(richText ? Qt::RichText : Qt::PlainText);
    routeMessageBoxLinksThroughSafeOpener(box);
    box->exec();
    delete box.data();
}

QString UpdateCheckRunner::makeUpdateAvailableText(const QString& version, const QStringList& details,
                                                   const QString& downloadsUrl)
{
    QString text = QStringLiteral("<p><b>Quorvell version ") + version.toHtmlEscaped() +
                   QStringLiteral(" is now available.</b>");
    if (!details.isEmpty()) {
        text += QStringLiteral("</p><p>Details:\n<ul>\n");
        // A long list would make the box taller than the screen: the first notes and a count.
        const qsizetype shown = details.size() > kMaxNotesShown ? kMaxNotesShown - 1 : details.size();
        for (qsizetype i = 0; i < shown; ++i)
            text +=
                QStringLiteral("  <li>&nbsp;") + details.at(i).toHtmlEscaped() + QStringLiteral("</li>\n");
        if (shown < details.size())
            text += QStringLiteral("  <li>&nbsp;and %1 more</li>\n").arg(details.size() - shown);
        text += QStringLiteral("</ul>\n");
    }
    text += QStringLiteral("</p>\n<p><center><font size=\"+1\"><b><a href=\"") +
            downloadsUrl.toHtmlEscaped() +
            QStringLiteral("\">Go To Downloads</a></b></font><br>\n<font size=\"-1\">(quit Quorvell before "
                           "installing)</font></center></p>");
    return text;
}

QString UpdateCheckRunner::makeErrorText(const QString& errorText)
{
    return QStringLiteral("Unable to retrieve update information:\n\n") + errorText +
           QStringLiteral("\n\nCheck your network connection and try again.");
}
