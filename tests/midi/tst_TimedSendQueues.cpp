// The queues of the native JACK backend's output ports: what other threads hand over arrives in
// order and is never dropped, even past the ring's size; delayed messages wait in due order and a
// muted patch takes back its note ons but never its note offs.
#include "midi/JackMIDIEventRing.h"
#include "midi/JackMIDISchedule.h"
#include "support/BusyNeighbours.h"

#include <QTest>
#include <atomic>
#include <thread>
#include <vector>

namespace {

JackMIDIEvent noteEvent(std::uint8_t status, std::uint8_t note, std::int64_t due = 0, std::uint64_t owner = 0)
{
    JackMIDIEvent event;
    const unsigned char bytes[3] = {status, note, 100};
    event.setBytes(bytes, 3);
    event.dueFrame = due;
    event.ownerTag = owner;
    return event;
}

} // namespace

class TimedSendQueuesTest : public QObject
{
    Q_OBJECT

private slots:
    void panicBurstLargerThanTheRingArrivesWholeAndInOrder()
    {
        JackMIDIEventRing ring(64);
        for (int i = 0; i < 1000; ++i) {
            const bool overflowed = ring.push(noteEvent(0xB0, std::uint8_t(i % 128), i));
            QCOMPARE(overflowed, i >= 64);
        }
        JackMIDIEvent event;
        for (int i = 0; i < 1000; ++i) {
            QVERIFY(ring.pop(&event));
            QCOMPARE(event.dueFrame, std::int64_t(i));
        }
        QVERIFY(!ring.pop(&event));
        QVERIFY(ring.isEmpty());
        // Back to the ring once the overflow is read.
        QVERIFY(!ring.push(noteEvent(0x90, 1)));
    }

    void senderOnAnotherThreadNeverLosesAMessage()
    {
        JackMIDIEventRing ring(128);
        constexpr int kCount = 20000;
        std::atomic<bool> done{false};
        std::thread sender([&] {
            for (int i = 0; i < kCount; ++i)
                ring.push(noteEvent(0x90, 1, i));
            done.store(true);
        });
        std::int64_t expected = 0;
        JackMIDIEvent event;
        while (expected < kCount) {
            if (ring.pop(&event)) {
                QCOMPARE(event.dueFrame, expected);
                ++expected;
            } else if (done.load() && ring.isEmpty()) {
                break;
            }
        }
        sender.join();
        QCOMPARE(expected, std::int64_t(kCount));
    }

    // Two senders fill the ring past its size while the taker runs beside two busy processes: each
    // sender's events arrive whole and in its order. Events that waited in the overflow list were
    // once taken ahead of a ring's worth of older ones when the senders refilled the ring between
    // the taker's looks.
    void twoSendersUnderLoadKeepEachOnesOrder()
    {
        BusyNeighbours neighbours(2);
        QCOMPARE(neighbours.runningCount(), 2);
        constexpr int kRounds = 45;
        constexpr int kPerSender = 3000;
        for (int round = 0; round < kRounds; ++round) {
            JackMIDIEventRing ring(128);
            std::atomic<int> finished{0};
            auto send = [&](std::uint64_t sender) {
                for (int i = 0; i < kPerSender; ++i)
                    ring.push(noteEvent(0x90, 1, i, sender));
                finished.fetch_add(1);
            };
            std::thread first(send, 0);
            std::thread second(send, 1);
            std::int64_t next[2] = {0, 0};
            bool inOrder = true;
            JackMIDIEvent event;
            while (next[0] + next[1] < 2 * kPerSender) {
                if (ring.pop(&event)) {
                    const std::size_t sender = std::size_t(event.ownerTag);
                    inOrder = inOrder && sender < 2 && event.dueFrame == next[sender];
                    if (sender < 2)
                        ++next[sender];
                } else if (finished.load() == 2 && ring.isEmpty()) {
                    break;
                }
            }
            first.join();
            second.join();
            QVERIFY2(inOrder, qPrintable(QStringLiteral("round %1: an event came out of order").arg(round)));
            QCOMPARE(next[0] + next[1], std::int64_t(2 * kPerSender));
        }
    }

    void delayedMessagesWaitInDueOrder()
    {
        JackMIDISchedule schedule(16);
        QVERIFY(schedule.insert(noteEvent(0x90, 1, 500)));
        QVERIFY(schedule.insert(noteEvent(0x90, 2, 100)));
        QVERIFY(schedule.insert(noteEvent(0x80, 2, 500))); // same frame: after the one before it
        QVERIFY(schedule.insert(noteEvent(0x90, 3, 300)));
        std::vector<int> notes;
        while (!schedule.isEmpty()) {
            notes.push_back(schedule.front().bytes[1] + (schedule.front().bytes[0] == 0x80 ? 100 : 0));
            schedule.popFront();
        }
        QCOMPARE(notes, (std::vector<int>{2, 3, 1, 102}));
    }

    void fullScheduleRefusesRatherThanOverwrites()
    {
        JackMIDISchedule schedule(2);
        QVERIFY(schedule.insert(noteEvent(0x90, 1, 1)));
        QVERIFY(schedule.insert(noteEvent(0x90, 2, 2)));
        QVERIFY(!schedule.insert(noteEvent(0x90, 3, 0)));
        QCOMPARE(schedule.front().bytes[1], std::uint8_t(1));
    }

    void mutedPatchTakesBackItsNoteOnsOnly()
    {
        JackMIDISchedule schedule(16);
        schedule.insert(noteEvent(0x91, 60, 10, 7));
        schedule.insert(noteEvent(0x91, 61, 20, 8)); // another patch's
        schedule.insert(noteEvent(0x81, 60, 30, 7));
        schedule.insert(noteEvent(0xB1, 64, 40, 7));
        JackMIDIEvent silentNoteOn = noteEvent(0x91, 62, 50, 7);
        silentNoteOn.bytes[2] = 0; // velocity 0 ends a note: it stays
        schedule.insert(silentNoteOn);
        schedule.cancelNoteOns(7);
        QCOMPARE(schedule.count(), std::size_t(4));
        std::vector<std::uint8_t> statuses;
        while (!schedule.isEmpty()) {
            statuses.push_back(schedule.front().bytes[0]);
            schedule.popFront();
        }
        QCOMPARE(statuses, (std::vector<std::uint8_t>{0x91, 0x81, 0xB1, 0x91}));
    }
};

QTEST_GUILESS_MAIN(TimedSendQueuesTest)
#include "tst_TimedSendQueues.moc"
