#pragma once

#include <QObject>
#include <QString>

/// The status channel: errors, warnings and transient status texts from anywhere in the program.
/// Posting is allowed from any thread; receivers connected with the automatic connection type get
/// the signal on their own thread. Nothing is stored: a message posted with no receiver is lost.
class StatusManager : public QObject
{
    Q_OBJECT

public:
    static StatusManager* GetInstance();

    void postErrorMessage(const QString& message);
    void postWarningMessage(const QString& message);
    /// A time-out of 0 keeps the text until it is replaced.
    void postStatusMessage(const QString& message, int timeOut);

signals:
    void statusMessagePosted(QString message);
    void statusMessagePosted(QString message, int timeOut);
    void warningMessagePosted(QString message);
    void errorMessagePosted(QString message);

private:
    StatusManager() = default;
    static StatusManager* _instance;
};

void postErrorMessage(const QString& message);
void postWarningMessage(const QString& message);
void postStatusMessage(const QString& message, int timeOut);
