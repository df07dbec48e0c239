#include "app/StatusManager.h"

#include <QCoreApplication>
#include <QMutex>

StatusManager* StatusManager::_instance = nullptr;

StatusManager* StatusManager::GetInstance()
{
    // The first post may come from a MIDI thread; make creation safe and keep the object in the
    // application's main thread so queued deliveries land there.
    static QMutex creationMutex;
    QMutexLocker locker(&creationMutex);
    if (!_instance) {
        _instance = new StatusManager();
        if (QCoreApplication::instance())
            _instance->moveToThread(QCoreApplication::instance()->thread());
    }
    return _instance;
}

void StatusManager::postErrorMessage(const QString& message)
{
    emit errorMessagePosted(message);
}

void StatusManager::postWarningMessage(const QString& message)
{
    emit warningMessagePosted(message);
}

void StatusManager::postStatusMessage(const QString& message, int timeOut)
{
    emit statusMessagePosted(message);
    emit statusMessagePosted(message, timeOut);
}

void postErrorMessage(const QString& message)
{
    StatusManager::GetInstance()->postErrorMessage(message);
}

void postWarningMessage(const QString& message)
{
    StatusManager::GetInstance()->postWarningMessage(message);
}

void postStatusMessage(const QString& message, int timeOut)
{
    StatusManager::GetInstance()->postStatusMessage(message, timeOut);
}
