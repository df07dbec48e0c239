#include "app/StatusManager.h"

#include <QSignalSpy>
#include <QTest>
#include <QThread>

// The status channel needs no GUI but is tested with the application shell it belongs to.
class StatusManagerTest : public QObject
{
    Q_OBJECT

private slots:
    void statusPostsBothSignalsInOrder()
    {
        QStringList seen;
        auto* manager = StatusManager::GetInstance();
        auto a = connect(manager, qOverload<QString>(&StatusManager::statusMessagePosted), this,
                         [&](const QString& m) { seen << QStringLiteral("one:") + m; });
        auto b = connect(manager, qOverload<QString, int>(&StatusManager::statusMessagePosted), this,
                         [&](const QString& m, int t) { seen << QStringLiteral("two:%1:%2").arg(m).arg(t); });
        postStatusMessage(QStringLiteral("Saved"), 3000);
        disconnect(a);
        disconnect(b);
        QCOMPARE(seen, QStringList({QStringLiteral("one:Saved"), QStringLiteral("two:Saved:3000")}));
    }

    void errorFromAnotherThreadArrivesOnTheMainThread()
    {
        QThread* receivedOn = nullptr;
        QString received;
        auto c = connect(StatusManager::GetInstance(), &StatusManager::errorMessagePosted, this,
                         [&](const QString& m) {
                             received = m;
                             receivedOn = QThread::currentThread();
                         });
        QThread* poster = QThread::create([] { postErrorMessage(QStringLiteral("Unable to open port")); });
        poster->start();
        poster->wait();
        delete poster;
        QTRY_COMPARE(received, QStringLiteral("Unable to open port"));
        QCOMPARE(receivedOn, QThread::currentThread());
        disconnect(c);
    }

    void warningWithNoReceiverIsLost()
    {
        postWarningMessage(QStringLiteral("nobody listens"));
        QSignalSpy spy(StatusManager::GetInstance(), &StatusManager::warningMessagePosted);
        QCoreApplication::processEvents();
        QCOMPARE(spy.count(), 0);
        postWarningMessage(QStringLiteral("now heard"));
        QCOMPARE(spy.count(), 1);
    }
};

QTEST_MAIN(StatusManagerTest)
#include "tst_StatusManager.moc"
