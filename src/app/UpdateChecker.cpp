#include "app/UpdateChecker.h"

#include "app/DeploymentInfo.h"

#include <QDomDocument>
#include <QDomElement>
#include <QDomNodeList>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

UpdateChecker::UpdateChecker(QString currentVersion, QString updateInfoUrl, QObject* parent)
    : QObject(parent), _currentVersion(std::move(currentVersion)), _updateInfoUrl(std::move(updateInfoUrl)),
      _networkManager(new QNetworkAccessManager(this)), _timeoutTimer(new QTimer(this))
{
    _timeoutTimer->setSingleShot(true);
    connect(_networkManager, &QNetworkAccessManager::finished, this, &UpdateChecker::_replyFinishedSLOT);
    connect(_timeoutTimer, &QTimer::timeout, this, &UpdateChecker::_timedOutSLOT);
}

UpdateChecker::~UpdateChecker()
{
    abortUpdateCheck();
}

QString UpdateChecker::defaultUpdateInfoUrl()
{
    const QString fromEnvironment = qEnvironmentVariable("QUORVELL_UPDATE_URL");
    return fromEnvironment.isEmpty() ? QString::fromUtf8(DeploymentInfo::kUpdateInfoUrl) : fromEnvironment;
}

void UpdateChecker::startUpdateCheck()
{
    if (isUpdateCheckRunning())
        return;
    _errorText.clear();
    _replyData.clear();
    _abortReason.clear();

    const QUrl url(_updateInfoUrl);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        // Reported from the event loop, as a network failure would be, so callers see one order.
        _reportError(QStringLiteral("The update information address \"%1\" is not an http or https address.")
                         .arg(_updateInfoUrl));
        return;
    }
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::UserAgentHeader,
                      QStringLiteral("Quorvell/%1").arg(QStringLiteral(QUORVELL_VERSION)));
    _reply = _networkManager->get(request);
    connect(_reply.data(), &QNetworkReply::readyRead, this, &UpdateChecker::_replyReadyReadSLOT);
    _timeoutTimer->start(_timeoutMs);
}

void UpdateChecker::abortUpdateCheck()
{
    ++_checkGeneration; // a result already on its way is dropped
    _timeoutTimer->stop();
    if (QNetworkReply* reply = _reply.data()) {
        _reply = nullptr;
        reply->disconnect(this);
        reply->abort(); // its finished() is ignored, as it is no longer the running reply
        reply->deleteLater();
    }
}

void UpdateChecker::_replyReadyReadSLOT()
{
    if (_reply.isNull() || !_abortReason.isEmpty())
        return;
    const qint64 announced = _reply->header(QNetworkRequest::ContentLengthHeader).toLongLong();
    if (announced > kMaxReplyBytes || _replyData.size() + _reply->bytesAvailable() > kMaxReplyBytes) {
        _stopReading(QStringLiteral("The update information is larger than 1 MiB and was refused."));
        return;
    }
    _replyData += _reply->readAll();
}

void UpdateChecker::_timedOutSLOT()
{
    _stopReading(
        QStringLiteral("The update server did not answer within %1 seconds.").arg(_timeoutMs / 1000.0));
}

void UpdateChecker::_stopReading(const QString& reason)
{
    if (_reply.isNull() || !_abortReason.isEmpty())
        return;
    _abortReason = reason;
    _reply->abort(); // finished() follows, where the reason is reported
}

void UpdateChecker::_replyFinishedSLOT(QNetworkReply* reply)
{
    if (reply != _reply.data()) {
        reply->deleteLater();
        return;
    }
    _timeoutTimer->stop();
    _reply = nullptr;
    reply->deleteLater();

    if (!_abortReason.isEmpty()) {
        _reportError(_abortReason);
        return;
    }
    if (reply->error() != QNetworkReply::NoError) {
        _reportError(reply->errorString());
        return;
    }
    if (_replyData.size() + reply->bytesAvailable() > kMaxReplyBytes) {
        _reportError(QStringLiteral("The update information is larger than 1 MiB and was refused."));
        return;
    }
    _replyData += reply->readAll();
    QByteArray data;
    data.swap(_replyData);
    if (!_parseVersionInfoFromReply(&data)) {
        _reportError(QStringLiteral("The reply held no version."));
        return;
    }
    _reportFinished();
}

bool UpdateChecker::_parseVersionInfoFromReply(QByteArray* replyData)
{
    QDomDocument document(QStringLiteral("ProductUpdateInfo"));
    document.setContent(*replyData);
    const QDomElement root = document.documentElement();
    _updateVersion = root.attribute(QStringLiteral("version"));
    _updateDetails.clear();
    const QDomNodeList updates = root.elementsByTagName(QStringLiteral("update"));
    for (int i = 0; i < updates.count(); ++i)
        _updateDetails << updates.at(i).toElement().attribute(QStringLiteral("note"));
    return !_updateVersion.trimmed().isEmpty();
}

void UpdateChecker::_reportError(const QString& errorText)
{
    _errorText = errorText;
    _deliver([this, errorText] { emit updateCheckError(errorText); });
}

void UpdateChecker::_reportFinished()
{
    _deliver([this] { emit updateCheckFinished(isUpdateAvailable()); });
}

void UpdateChecker::_deliver(std::function<void()> emitter)
{
    // Results reach the receivers from the event loop, never from inside the network code that
    // found them (an abort emits finished() on the spot), so a receiver may run a message box or
    // delete this checker without pulling the ground from under the reply.
    const int generation = _checkGeneration;
    QMetaObject::invokeMethod(
        this,
        [this, generation, emitter = std::move(emitter)] {
            if (generation == _checkGeneration)
                emitter();
        },
        Qt::QueuedConnection);
}
