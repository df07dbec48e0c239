#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

class QProgressDialog;
class QWidget;
class UpdateChecker;

/// The window's side of "Check For Updates...": shows the progress dialog while the update
/// information is fetched, then one of three boxes (error, update available, up to date). The
/// rest of the window stays usable meanwhile; a second request while one runs does nothing, and
/// abortUpdateCheck() (on quit) ends a running check without any box. GUI thread only.
class UpdateCheckRunner : public QObject
{
    Q_OBJECT

public:
    /// The window is the parent of the progress dialog and the boxes.
    explicit UpdateCheckRunner(QWidget* window);
    ~UpdateCheckRunner() override;

    /// Starts a check unless one is running.
    void checkForUpdates();
public slots:
    /// Ends a running check silently (also when the progress window is closed, or on quit).
    void abortUpdateCheck();

public:
    bool isUpdateCheckRunning() const { return _updateChecker != nullptr; }

    /// Address used by the next check (default: UpdateChecker::defaultUpdateInfoUrl()).
    void setUpdateInfoUrl(const QString& url) { _updateInfoUrl = url; }
    /// Time-out of the next check in milliseconds.
    void setTimeoutMs(int timeoutMs) { _timeoutMs = timeoutMs; }

    /// At most this many lines of notes in the box; a longer list ends with "and N more".
    static constexpr int kMaxNotesShown = 15;

    /// Rich text of the "Update Avaiable" box. Version and notes come from the network and are
    /// escaped, so they show as typed and can carry no markup or links.
    static QString makeUpdateAvailableText(const QString& version, const QStringList& details,
                                           const QString& downloadsUrl);
    /// Text of the "Update Check" error box.
    static QString makeErrorText(const QString& errorText);

signals:
    /// A box is about to be shown (for the window's status or for tests): title and text.
    void messageShown(const QString& title, const QString& text);

private slots:
    void _updateCheckerFinishedSLOT(bool updateAvailable);
    void _updateCheckerErrorSLOT(const QString& errorText);

private:
    void _initUpdateCheck();
    void _cleanUpUpdateCheck();
    void _showBox(int icon, const QString& title, const QString& text, bool richText);

    QPointer<QWidget> _window;
    QProgressDialog* _progressDialog = nullptr;
    UpdateChecker* _updateChecker = nullptr;
    QString _updateInfoUrl;
    int _timeoutMs;
};
