// The port tables grow while the MIDI thread reads them: what is there never moves.
#include "midi/StableIndexTable.h"

#include <QTest>
#include <atomic>
#include <thread>

class StableIndexTableTest : public QObject
{
    Q_OBJECT

private slots:
    void growingKeepsEverySlotWhereItWas()
    {
        StableIndexTable<int, 4, 8> table;
        QCOMPARE(table.size(), 0);
        QCOMPARE(table.growTo(3), 3);
        table[0] = 10;
        table[2] = 12;
        int* first = &table[0];
        int* third = &table[2];
        QCOMPARE(table.growTo(13), 13);
        QCOMPARE(&table[0], first);
        QCOMPARE(&table[2], third);
        QCOMPARE(table[0], 10);
        QCOMPARE(table[2], 12);
        QCOMPARE(table[12], 0);        // new slots start empty
        QCOMPARE(table.growTo(5), 13); // never shrinks
    }

    void growthStopsAtCapacity()
    {
        StableIndexTable<int, 4, 2> table;
        QCOMPARE(table.growTo(100), 8);
        QCOMPARE(table.size(), 8);
        table[7] = 1;
        QCOMPARE(table[7], 1);
    }

    void aReaderSeesEveryPublishedSlotWhileTheTableGrows()
    {
        StableIndexTable<std::atomic<int>, 8, 64> table;
        std::atomic<bool> done{false};
        std::atomic<long> bad{0};
        std::thread reader([&] {
            while (!done.load()) {
                const int size = table.size();
                for (int i = 0; i < size; ++i) {
                    if (table[i].load() != 0 && table[i].load() != i + 1)
                        bad.fetch_add(1);
                }
            }
        });
        for (int n = 1; n <= 500; ++n) {
            table.growTo(n);
            table[n - 1].store(n);
        }
        done.store(true);
        reader.join();
        QCOMPARE(bad.load(), 0L);
        QCOMPARE(table[499].load(), 500);
    }
};

QTEST_GUILESS_MAIN(StableIndexTableTest)
#include "tst_StableIndexTable.moc"
