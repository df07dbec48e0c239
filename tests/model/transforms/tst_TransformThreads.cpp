#include "model/MIDIMessage.h"
#include "model/transforms/MIDIDataTransform.h"
#include "model/transforms/ValueMapBuffer.h"
#include "support/TestPrefs.h"

#include <QCoreApplication>
#include <QTest>
#include <atomic>
#include <thread>

namespace {

constexpr int kRewrites = 4000;
constexpr int kMinimumReads = 2000;

enum class MapShape
{
    Identity,
    Reversed,
    AllMin,
    AllMax,
    Torn
};

MapShape shapeOf(const ValueMapBuffer::Values& values)
{
    bool identity = true, reversed = true, allMin = true, allMax = true;
    for (int i = 0; i < 128; ++i) {
        identity = identity && values[i] == i;
        reversed = reversed && values[i] == 127 - i;
        allMin = allMin && values[i] == 0;
        allMax = allMax && values[i] == 127;
    }
    if (identity)
        return MapShape::Identity;
    if (reversed)
        return MapShape::Reversed;
    if (allMin)
        return MapShape::AllMin;
    if (allMax)
        return MapShape::AllMax;
    return MapShape::Torn;
}

// Maps note-on velocities through the value map, as a velocity map type does.
class VelocityMapper : public MIDIDataTransform
{
public:
    VelocityMapper() : MIDIDataTransform(QStringLiteral("Velocity Map"), nullptr) {}

    void transformThisIfYouCan(midiMessage_t* message, midiMessageList_t*) override
    {
        if (!isNoteOnMessage(message))
            return;
        const BYTE velocity = getVelocity(message);
        setVelocity(message, getMapValueAt(velocity));
        emit handledAMessage();
        emit lastValueReceived(velocity);
    }
};

// Starts a reader thread, waits until it runs, and lets the caller write until both the writes
// are done and the reader has read enough times to overlap them.
template <typename Reader, typename Writer>
void runConcurrently(Reader reader, Writer writer, std::atomic<int>& reads)
{
    std::atomic<bool> stop{false};
    std::atomic<bool> started{false};
    std::thread thread([&] {
        started.store(true);
        while (!stop.load())
            reader();
    });
    while (!started.load())
        std::this_thread::yield();
    for (int i = 0; i < kRewrites || reads.load() < kMinimumReads; ++i)
        writer(i);
    stop.store(true);
    thread.join();
}

} // namespace

class TransformThreadsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { useTemporaryPrefs(); }

    void midiThreadNeverSeesAHalfRewrittenMap()
    {
        MIDIDataTransform transform(QStringLiteral("CC Map"), nullptr);
        std::atomic<int> reads{0};
        std::atomic<int> torn{0};
        auto reader = [&] {
            ValueMapBuffer::Values values;
            transform.copyMapValues(values);
            if (shapeOf(values) == MapShape::Torn)
                torn.fetch_add(1);
            reads.fetch_add(1);
        };
        auto writer = [&](int i) {
            switch (i % 6) {
            case 0:
                transform.setMappingToDefault();
                break;
            case 1:
                transform.reverseMapping();
                break;
            case 2:
                transform.setAllMappingValuesToMin();
                break;
            case 3:
                transform.invertMapping();
                break; // all minimum becomes all maximum
            case 4:
                transform.setMapValuesFromString(QString(128, QChar(char16_t(0))));
                break;
            default:
                transform.setAllMappingValuesToMax();
                break;
            }
        };
        runConcurrently(reader, writer, reads);
        QCOMPARE(torn.load(), 0);
        QVERIFY(reads.load() >= kMinimumReads);
    }

    void everyPublishedShiftIsReadWhole()
    {
        // Each published map is a rotation: entry i holds (k + i) mod 128 for one k.
        ValueMapBuffer buffer;
        std::atomic<int> reads{0};
        std::atomic<int> torn{0};
        auto reader = [&] {
            ValueMapBuffer::Values values;
            buffer.copyValues(values);
            for (int i = 1; i < 128; ++i) {
                if (values[i] != (values[0] + i) % 128) {
                    torn.fetch_add(1);
                    break;
                }
            }
            const BYTE single = buffer.valueAt(static_cast<BYTE>(reads.load() % 128));
            if (single > 127)
                torn.fetch_add(1);
            reads.fetch_add(1);
        };
        auto writer = [&](int k) {
            ValueMapBuffer::Values values;
            for (int i = 0; i < 128; ++i)
                values[i] = static_cast<BYTE>((k + i) % 128);
            buffer.publish(values);
        };
        runConcurrently(reader, writer, reads);
        QCOMPARE(torn.load(), 0);
    }

    void singleEntryWritesPublishWholeMaps()
    {
        MIDIDataTransform transform(QStringLiteral("Velocity Map"), nullptr);
        transform.setAllMappingValuesToMin();
        std::atomic<int> reads{0};
        std::atomic<int> broken{0};
        auto reader = [&] {
            // The writer only ever turns entries to 127 in ascending order and then back to 0
            // in ascending order, so a whole map is a run of one value, then a run of the other.
            ValueMapBuffer::Values values;
            transform.copyMapValues(values);
            int changes = 0;
            for (int i = 1; i < 128; ++i) {
                if (values[i] != values[i - 1])
                    ++changes;
                if (values[i] != 0 && values[i] != 127)
                    broken.fetch_add(1);
            }
            if (changes > 1)
                broken.fetch_add(1);
            reads.fetch_add(1);
        };
        auto writer = [&](int i) {
            const int entry = i % 128;
            const bool rising = (i / 128) % 2 == 0;
            transform.setMapValueAt(static_cast<BYTE>(entry), rising ? 127 : 0);
        };
        runConcurrently(reader, writer, reads);
        QCOMPARE(broken.load(), 0);
    }

    void parametersAreReadWholeWhileTheGuiChangesThem()
    {
        constexpr int kPatternA = 0x0F0F0F0F;
        constexpr int kPatternB = ~0x0F0F0F0F;
        VelocityMapper transform;
        transform.setInt1(kPatternA);
        transform.setInt2(kPatternB);
        transform.setAllMappingValuesToMin();
        std::atomic<int> reads{0};
        std::atomic<int> broken{0};
        auto reader = [&] {
            const int int1 = transform.getInt1();
            const int int2 = transform.getInt2();
            const BYTE byte1 = transform.getByte1();
            if ((int1 != kPatternA && int1 != kPatternB) || (int2 != kPatternA && int2 != kPatternB))
                broken.fetch_add(1);
            if (byte1 != 0 && byte1 != 127)
                broken.fetch_add(1);
            midiMessage_t note = {0x90, 0x40, 0x64};
            midiMessageList_t list = {&note};
            if (!transform.isBypassed())
                transform.transformWhatYouCan(&list);
            if (note[2] != 0x64 && note[2] != 0x00 && note[2] != 0x7F)
                broken.fetch_add(1);
            reads.fetch_add(1);
        };
        auto writer = [&](int i) {
            const bool even = i % 2 == 0;
            transform.setInt1(even ? kPatternB : kPatternA);
            transform.setInt2(even ? kPatternA : kPatternB);
            transform.setByte1(even ? 127 : 0);
            transform.setBypassed(i % 3 == 0);
            if (i % 16 == 0)
                transform.invertMapping();
        };
        runConcurrently(reader, writer, reads);
        QCOMPARE(broken.load(), 0);
    }

    void activityFromTheMIDIThreadArrivesQueued()
    {
        VelocityMapper transform;
        QList<int> lastValues;
        int handled = 0;
        connect(&transform, &MIDIDataTransform::lastValueReceived, this,
                [&](unsigned char value) { lastValues.append(value); });
        connect(&transform, &MIDIDataTransform::handledAMessage, this, [&] { ++handled; });
        std::thread midiThread([&] {
            midiMessage_t note = {0x92, 0x3C, 0x21};
            midiMessageList_t list = {&note};
            transform.transformWhatYouCan(&list);
        });
        midiThread.join();
        QCOMPARE(handled, 0); // nothing runs on the MIDI thread's behalf until the GUI's loop does
        QCoreApplication::processEvents();
        QCOMPARE(handled, 1);
        QCOMPARE(lastValues, QList<int>{0x21});
    }
};

QTEST_GUILESS_MAIN(TransformThreadsTest)
#include "tst_TransformThreads.moc"
