// The routing model's mutex: exclusive between threads, usable with the standard lock guards, and
// priority-inheriting where the C library offers it (glibc on Linux does).
#include "model/RoutingMutex.h"

#include <QTest>

#include <mutex>
#include <thread>

class RoutingMutexTest : public QObject
{
    Q_OBJECT

private slots:
    void threadsTakeTurnsAndNothingIsLost()
    {
        RoutingMutex mutex;
        QVERIFY(mutex.inheritsPriority());
        long counter = 0; // plain on purpose: only the mutex keeps the increments whole
        const auto work = [&] {
            for (int i = 0; i < 200000; ++i) {
                std::lock_guard<RoutingMutex> lock(mutex);
                ++counter;
            }
        };
        std::thread a(work);
        std::thread b(work);
        a.join();
        b.join();
        QCOMPARE(counter, 400000L);
    }

    void tryLockFailsWhileAnotherThreadHoldsIt()
    {
        RoutingMutex mutex;
        const auto takenByAnotherThread = [&mutex] {
            bool taken = false;
            std::thread other([&] {
                taken = mutex.try_lock();
                if (taken)
                    mutex.unlock();
            });
            other.join();
            return taken;
        };
        std::unique_lock<RoutingMutex> held(mutex);
        QVERIFY(!takenByAnotherThread());
        held.unlock();
        QVERIFY(takenByAnotherThread());
    }
};

QTEST_GUILESS_MAIN(RoutingMutexTest)
#include "tst_RoutingMutex.moc"
