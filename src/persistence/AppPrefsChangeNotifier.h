#pragma once

#include <QObject>
#include <QString>

/// Announces every written preference key, so live views can follow changes made elsewhere.
class AppPrefsChangeNotifier : public QObject
{
    Q_OBJECT

public:
    static AppPrefsChangeNotifier* GetInstance();

    void prefValueChangeNotify(const QString& prefKey);

signals:
    void prefValueChanged(QString prefKey);

private:
    AppPrefsChangeNotifier() = default;
    static AppPrefsChangeNotifier* _instance;
};
