#include "model/MIDIMessage.h"
#include "model/transforms/MakeMonophonic.h"
#include "model/transforms/NoteFilter.h"
#include "model/transforms/NoteTransposer.h"
#include "model/transforms/VelocityFilter.h"
#include "model/transforms/VelocityFromCC.h"
#include "model/transforms/VelocityMapping.h"
#include "model/transforms/VelocityToCC.h"
#include "model/transforms/VelocityVariation.h"
#include "support/TestPrefs.h"

#include <QElapsedTimer>
#include <QTest>
#include <atomic>
#include <thread>

// The player keeps playing while the user turns every knob of a chain of note transforms: the
// MIDI side must never see a torn parameter, never send a data byte above 127, and never race
// with the editing side (run under ThreadSanitizer).
class NoteTransformThreadsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { useTemporaryPrefs(); }

    void editingWhilePlayingNeverSendsABadByte()
    {
        NoteTransposer transpose(nullptr);
        VelocityMapping map(nullptr);
        VelocityFromCC fromCC(nullptr);
        VelocityVariation variation(nullptr);
        VelocityFilter velocityFilter(nullptr);
        NoteFilter noteFilter(nullptr);
        MakeMonophonic mono(nullptr);
        VelocityToCC toCC(nullptr);
        MIDIDataTransform* chain[] = {&transpose,      &map,        &fromCC, &variation,
                                      &velocityFilter, &noteFilter, &mono,   &toCC};
        variation.setVariationAmount(127);

        std::atomic<bool> stop{false};
        std::atomic<int> rounds{0};
        std::atomic<int> badBytes{0};
        std::atomic<int> messagesSent{0};
        std::thread player([&] {
            midiMessage_t message;
            message.reserve(3);
            midiMessageList_t list;
            list.reserve(8);
            for (int round = 0; !stop.load() || round < 2000; ++round) {
                rounds.store(round + 1);
                const BYTE note = static_cast<BYTE>(round % 128);
                if (round % 3 == 0)
                    message = {0xB0, 1, static_cast<BYTE>(round % 128)};
                else if (round % 3 == 1)
                    message = {0x90, note, static_cast<BYTE>(1 + round % 127)};
                else
                    message = {0x80, static_cast<BYTE>((round - 1) % 128), 0};
                list.assign(1, &message);
                for (MIDIDataTransform* transform : chain)
                    transform->transformWhatYouCan(&list);
                for (const midiMessage_t* sent : list) {
                    for (std::size_t i = 1; i < sent->size(); ++i) {
                        if ((*sent)[i] > 127)
                            badBytes.fetch_add(1);
                    }
                    messagesSent.fetch_add(1);
                }
            }
        });

        // Edit only once the player is under way, so both sides really overlap.
        while (rounds.load() == 0)
            std::this_thread::yield();
        // Keep editing until the player has also played a while, however the threads are scheduled.
        const int roundsBefore = rounds.load();
        QElapsedTimer clock;
        clock.start();
        for (int turn = 1; (turn <= 2000 || rounds.load() < roundsBefore + 20) && clock.elapsed() < 10000;
             ++turn) {
            transpose.setInt1(turn % 50 - 25);
            transpose.setInt2(turn % 7 - 3);
            map.setMapValueAt(static_cast<BYTE>(turn % 128), static_cast<BYTE>((turn * 7) % 128));
            if (turn % 50 == 0)
                map.reverseMapping();
            fromCC.setByte1(static_cast<BYTE>(turn % 3));
            variation.setVariationType(static_cast<VelocityVariation::VariationType>(turn % 3));
            velocityFilter.setByte1(static_cast<BYTE>(turn % 128));
            velocityFilter.setByte2(static_cast<BYTE>(turn % 2));
            noteFilter.toggleNoteAcceptance(static_cast<BYTE>((turn * 13) % 128));
            toCC.setByte1(static_cast<BYTE>(turn % 120));
        }
        const int roundsWhileEditing = rounds.load();
        stop.store(true);
        player.join();
        QCOMPARE(badBytes.load(), 0);
        QVERIFY(messagesSent.load() > 0);
        QVERIFY(roundsWhileEditing > roundsBefore + 1);
    }
};

QTEST_GUILESS_MAIN(NoteTransformThreadsTest)
#include "tst_NoteTransformThreads.moc"
