#include "persistence/AppPrefsChangeNotifier.h"

#include <QMutex>

AppPrefsChangeNotifier* AppPrefsChangeNotifier::_instance = nullptr;

AppPrefsChangeNotifier* AppPrefsChangeNotifier::GetInstance()
{
    static QMutex creationMutex;
    QMutexLocker locker(&creationMutex);
    if (!_instance)
        _instance = new AppPrefsChangeNotifier();
    return _instance;
}

void AppPrefsChangeNotifier::prefValueChangeNotify(const QString& prefKey)
{
    emit prefValueChanged(prefKey);
}
