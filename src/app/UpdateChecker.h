#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>

class QNetworkAccessManager;
class QNetworkReply;
class QTimer;

/// Fetches the update information with one HTTP GET and compares the version it names with the
/// program's own: any different version counts as an update. The check runs only when asked; a
/// second request while one runs is ignored. A reply over 1 MiB, a reply naming no version and a
/// server that does not answer within the time-out are reported as errors. GUI thread only.
class UpdateChecker : public QObject
{
    Q_OBJECT

public:
    /// Largest update document accepted.
    static constexpr qint64 kMaxReplyBytes = 1024 * 1024;
    /// How long the whole exchange may take before it is given up.
    static constexpr int kDefaultTimeoutMs = 15000;

    UpdateChecker(QString currentVersion, QString updateInfoUrl, QObject* parent);
    ~UpdateChecker() override;

    /// The address of the update information: QUORVELL_UPDATE_URL when set, else the built-in one.
    static QString defaultUpdateInfoUrl();

    /// Issues the request. Does nothing while a request is already running.
    void startUpdateCheck();
    /// Gives up a running request without reporting anything.
    void abortUpdateCheck();
    bool isUpdateCheckRunning() const { return !_reply.isNull(); }

    /// True when the version read differs from the program's own.
    bool isUpdateAvailable() const { return _updateVersion != _currentVersion; }
    QString getUpdateVersionInfo() const { return _updateVersion; }
    QStringList getUpdateDetails() const { return _updateDetails; }
    QString getErrorText() const { return _errorText; }

    void setTimeoutMs(int timeoutMs) { _timeoutMs = timeoutMs; }

signals:
    void updateCheckFinished(bool updateAvailable);
    void updateCheckError(const QString& errorText);

private slots:
    void _replyFinishedSLOT(QNetworkReply* reply);
    void _replyReadyReadSLOT();
    void _timedOutSLOT();

private:
    bool _parseVersionInfoFromReply(QByteArray* replyData);
    void _stopReading(const QString& reason);
    void _reportError(const QString& errorText);
    void _reportFinished();
    void _deliver(std::function<void()> emitter);

    QString _currentVersion;
    QString _updateInfoUrl;
    QNetworkAccessManager* _networkManager;
    QString _errorText;
    QString _updateVersion;
    QStringList _updateDetails;

    QPointer<QNetworkReply> _reply;
    QByteArray _replyData;
    QString _abortReason;
    QTimer* _timeoutTimer;
    int _timeoutMs = kDefaultTimeoutMs;
    int _checkGeneration = 0;
};
