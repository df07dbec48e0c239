#include "model/initializers/NoteOnInitializer.h"
#include "model/initializers/PitchBendInitializer.h"
#include "model/initializers/VolumeInitializer.h"
#include "support/TestPrefs.h"

#include <QTest>
#include <atomic>
#include <functional>
#include <thread>

using Bytes = std::vector<unsigned char>;

// Plays the MIDI thread activating an output: reads the initializers' messages into its own
// reserved buffer again and again while the GUI thread edits them, and keeps every message that
// fails the check. Starts reading before the editing begins and stops when told.
class ActivationReader
{
public:
    using Check = std::function<bool(const Bytes&)>;

    ActivationReader(QList<MIDIPatchInitializer*> initializers, Check check)
        : _initializers(std::move(initializers)), _check(std::move(check))
    {
        _thread = std::thread([this] { _run(); });
        while (_reads.load() == 0)
            std::this_thread::yield();
    }

    // Stops the thread; returns the number of messages read.
    long finish()
    {
        _stop.store(true);
        _thread.join();
        return _reads.load();
    }

    QList<Bytes> failures;
    bool reallocated = false;

private:
    void _run()
    {
        midiMessage_t buffer;
        buffer.reserve(3);
        const unsigned char* storage = buffer.data();
        while (!_stop.load()) {
            for (MIDIPatchInitializer* initializer : _initializers) {
                initializer->writeInitializationMessageTo(&buffer);
                if (!_check(buffer) && failures.size() < 10)
                    failures << buffer;
                if (buffer.data() != storage)
                    reallocated = true;
                _reads.fetch_add(1);
            }
        }
    }

    QList<MIDIPatchInitializer*> _initializers;
    Check _check;
    std::thread _thread;
    std::atomic<bool> _stop{false};
    std::atomic<long> _reads{0};
};

class InitializerThreadsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { useTemporaryPrefs(); }

    void keyswitchEditedDuringActivationIsNeverTorn()
    {
        // The GUI thread moves note and velocity up together, one setter at a time, so every state
        // that ever exists has note == velocity or note one above velocity (mod 128). A message built
        // from a mix of two edits would break that.
        NoteOnInitializer noteOn(nullptr);
        noteOn.setNote(0);
        noteOn.setVelocity(0);
        int deliveries = 0;
        midiMessage_t patchCopy;
        connect(&noteOn, &MIDIPatchInitializer::messageDeliveryRequested, this, [&](midiMessage_t* message) {
            copyMIDIMessage(message, &patchCopy);
            ++deliveries;
        });

        ActivationReader reader({&noteOn}, [](const Bytes& m) {
            if (m.size() != 3 || m[0] != 0x90 || m[1] > 127 || m[2] > 127)
                return false;
            return m[1] == m[2] || m[1] == (m[2] + 1) % 128;
        });
        const int edits = 20000;
        for (int i = 1; i <= edits; ++i) {
            noteOn.setNote(static_cast<BYTE>(i % 128));
            noteOn.setVelocity(static_cast<BYTE>(i % 128));
        }
        const long reads = reader.finish();

        QVERIFY(reads > 0);
        QCOMPARE(reader.failures, QList<Bytes>{});
        QVERIFY(!reader.reallocated);
        QCOMPARE(deliveries, 2 * edits);
        QCOMPARE(patchCopy, (Bytes{0x90, 0x20, 0x20})); // 20000 % 128 == 32
    }

    void bendEditedDuringActivationIsAlwaysAWholeValue()
    {
        PitchBendInitializer bend(nullptr);
        VolumeInitializer volume(nullptr);
        ActivationReader reader({&bend, &volume}, [](const Bytes& m) {
            static const QList<Bytes> valid{{0xE0, 0x00, 0x00},
                                            {0xE0, 0x00, 0x40},
                                            {0xE0, 0x7F, 0x7F},
                                            {0xB0, 0x07, 0x00},
                                            {0xB0, 0x07, 0x7F}};
            return valid.contains(m);
        });
        const int values[] = {0, 8192, 16383};
        for (int i = 0; i < 20000; ++i) {
            bend.setInt1(values[i % 3]);
            volume.setVolume(i % 2 ? 127 : 0);
        }
        const long reads = reader.finish();

        QVERIFY(reads > 0);
        QCOMPARE(reader.failures, QList<Bytes>{});
        QVERIFY(!reader.reallocated);
    }

    void readingFromFileDuringActivationIsNeverTorn()
    {
        // Reading an element sets byte1, byte2, byte3 and int1 one after the other; each step is a
        // consistent state, with the controller number always read before its value.
        VolumeInitializer volume(nullptr);
        ActivationReader reader({&volume}, [](const Bytes& m) {
            return m.size() == 3 && m[0] == 0xB0 && (m[1] == 7 || m[1] == 11) && m[2] <= 127;
        });
        QDomDocument doc;
        for (int i = 0; i < 5000; ++i) {
            QDomElement element = doc.createElement(QStringLiteral("MIDIPatchInitializer"));
            element.setAttribute(QStringLiteral("name"), QStringLiteral("Volume"));
            element.setAttribute(QStringLiteral("byte1"), i % 2 ? 7 : 11);
            element.setAttribute(QStringLiteral("byte2"), i % 128);
            volume.initFromDomElement(element);
        }
        const long reads = reader.finish();

        QVERIFY(reads > 0);
        QCOMPARE(reader.failures, QList<Bytes>{});
    }
};

QTEST_GUILESS_MAIN(InitializerThreadsTest)
#include "tst_InitializerThreads.moc"
