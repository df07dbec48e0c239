#include "model/initializers/CCInitializer.h"
#include "model/initializers/MIDIPatchInitializerOwner.h"
#include "model/initializers/NoteOffInitializer.h"
#include "model/initializers/NoteOnInitializer.h"
#include "model/initializers/PitchBendInitializer.h"
#include "model/initializers/ProgChgInitializer.h"
#include "model/initializers/VolumeInitializer.h"
#include "persistence/AppPrefs.h"
#include "persistence/PrefKeys.h"
#include "support/TestPrefs.h"

#include <QSignalSpy>
#include <QTest>
#include <memory>

using Bytes = std::vector<unsigned char>;

// Stands in for the patch: owns initializers in a list and answers the owner's question.
class FakePatch : public QObject, public MIDIPatchInitializerOwner
{
    Q_OBJECT

public:
    QList<MIDIPatchInitializer*> initializers;

    MIDIPatchInitializer* getFirstMIDIPatchInitializerOfType(const QString& typeName) const override
    {
        for (MIDIPatchInitializer* initializer : initializers) {
            if (initializer->getName() == typeName)
                return initializer;
        }
        return nullptr;
    }
};

// Everything an initializer announced, in order, with the delivered message copied at emission.
struct Recorder
{
    QStringList events;
    QList<Bytes> delivered;

    void follow(MIDIPatchInitializer* initializer)
    {
        QObject::connect(initializer, &MIDIPatchInitializer::modifiedChangedTo, initializer,
                         [this](bool modified) { events << QStringLiteral("modified %1").arg(modified); });
        QObject::connect(initializer, &MIDIPatchInitializer::byte1ValueChangedTo, initializer,
                         [this](BYTE value) { events << QStringLiteral("byte1 %1").arg(value); });
        QObject::connect(initializer, &MIDIPatchInitializer::byte2ValueChangedTo, initializer,
                         [this](BYTE value) { events << QStringLiteral("byte2 %1").arg(value); });
        QObject::connect(initializer, &MIDIPatchInitializer::byte3ValueChangedTo, initializer,
                         [this](BYTE value) { events << QStringLiteral("byte3 %1").arg(value); });
        QObject::connect(initializer, &MIDIPatchInitializer::int1ValueChangedTo, initializer,
                         [this](int value) { events << QStringLiteral("int1 %1").arg(value); });
        QObject::connect(initializer, &MIDIPatchInitializer::messageDeliveryRequested, initializer,
                         [this](midiMessage_t* message) {
                             events << QStringLiteral("deliver");
                             delivered << *message;
                         });
    }
};

class PatchInitializersTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { useTemporaryPrefs(); }

    void newInitializersSendTheirDefaultMessages_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<Bytes>("expected");
        QTest::addColumn<QString>("description");
        QTest::newRow("note on") << "Note On" << Bytes{0x90, 0x0C, 0x7F} << "C0, Velocity 127";
        QTest::newRow("note off") << "Note Off" << Bytes{0x80, 0x0C, 0x7F} << "Turn Off C0";
        QTest::newRow("program change") << "Program Change" << Bytes{0xC0, 0x00} << "PC# 1";
        QTest::newRow("volume") << "Volume" << Bytes{0xB0, 0x07, 0x7F} << "Volume: 127";
        QTest::newRow("cc") << "CC" << Bytes{0xB0, 0x0B, 0x7F} << "CC11, Value 127";
        QTest::newRow("pitch bend") << "Pitch Bend" << Bytes{0xE0, 0x00, 0x40} << "Pitch Bend: 8192";
    }

    void newInitializersSendTheirDefaultMessages()
    {
        QFETCH(QString, type);
        QFETCH(Bytes, expected);
        QFETCH(QString, description);
        std::unique_ptr<MIDIPatchInitializer> initializer(makeInitializer(type));
        QCOMPARE(initializer->getName(), type);
        QCOMPARE(*initializer->getInitializationMessage(), expected);
        QCOMPARE(initializer->getDescriptionString(), description);
        // Defaults are set quietly: a new initializer is neither modified nor announced.
        QVERIFY(!initializer->isModified());
        QCOMPARE(initializer->getObjTypeName(), QStringLiteral("MIDIPatchInitializer"));
    }

    void editedInitializersSendWhatWasChosen_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<int>("byte1");
        QTest::addColumn<int>("byte2");
        QTest::addColumn<int>("int1");
        QTest::addColumn<Bytes>("expected");
        QTest::addColumn<QString>("description");
        QTest::newRow("keyswitch C2 soft")
            << "Note On" << 36 << 40 << 0 << Bytes{0x90, 0x24, 0x28} << "C2, Velocity 40";
        QTest::newRow("note on top") << "Note On" << 127 << 1 << 0 << Bytes{0x90, 0x7F, 0x01}
                                     << "G9, Velocity 1";
        // A note off always goes out with velocity 127, whatever byte2 holds.
        QTest::newRow("note off F#3")
            << "Note Off" << 54 << 3 << 0 << Bytes{0x80, 0x36, 0x7F} << "Turn Off F#3";
        QTest::newRow("program 5") << "Program Change" << 4 << 0 << 0 << Bytes{0xC0, 0x04} << "PC# 5";
        QTest::newRow("program 128") << "Program Change" << 127 << 0 << 0 << Bytes{0xC0, 0x7F} << "PC# 128";
        QTest::newRow("volume half") << "Volume" << 7 << 64 << 0 << Bytes{0xB0, 0x07, 0x40} << "Volume: 64";
        QTest::newRow("sustain on") << "CC" << 64 << 127 << 0 << Bytes{0xB0, 0x40, 0x7F} << "CC64, Value 127";
        QTest::newRow("mod wheel off") << "CC" << 1 << 0 << 0 << Bytes{0xB0, 0x01, 0x00} << "CC1, Value 0";
        QTest::newRow("bend down") << "Pitch Bend" << 0 << 0 << 0 << Bytes{0xE0, 0x00, 0x00}
                                   << "Pitch Bend: 0";
        QTest::newRow("bend up") << "Pitch Bend" << 0 << 0 << 16383 << Bytes{0xE0, 0x7F, 0x7F}
                                 << "Pitch Bend: 16383";
        QTest::newRow("bend 1000") << "Pitch Bend" << 0 << 0 << 1000 << Bytes{0xE0, 0x68, 0x07}
                                   << "Pitch Bend: 1000";
    }

    void editedInitializersSendWhatWasChosen()
    {
        QFETCH(QString, type);
        QFETCH(int, byte1);
        QFETCH(int, byte2);
        QFETCH(int, int1);
        QFETCH(Bytes, expected);
        QFETCH(QString, description);
        std::unique_ptr<MIDIPatchInitializer> initializer(makeInitializer(type));
        initializer->setByte1(static_cast<BYTE>(byte1));
        initializer->setByte2(static_cast<BYTE>(byte2));
        initializer->setInt1(int1);
        QCOMPARE(*initializer->getInitializationMessage(), expected);
        QCOMPARE(initializer->getDescriptionString(), description);

        midiMessage_t own;
        initializer->writeInitializationMessageTo(&own);
        QCOMPARE(own, expected);
    }

    void namedSettersChangeTheRightParameter()
    {
        NoteOnInitializer noteOn(nullptr);
        noteOn.setNote(60);
        noteOn.setVelocity(100);
        QCOMPARE(*noteOn.getInitializationMessage(), (Bytes{0x90, 0x3C, 0x64}));
        NoteOffInitializer noteOff(nullptr);
        noteOff.setNote(61);
        QCOMPARE(*noteOff.getInitializationMessage(), (Bytes{0x80, 0x3D, 0x7F}));
        ProgChgInitializer program(nullptr);
        program.setPCNum(9);
        QCOMPARE(*program.getInitializationMessage(), (Bytes{0xC0, 0x09}));
        VolumeInitializer volume(nullptr);
        volume.setVolume(90);
        QCOMPARE(*volume.getInitializationMessage(), (Bytes{0xB0, 0x07, 0x5A}));
        QCOMPARE(volume.getByte1(), BYTE{7});
    }

    void baseInitializerSendsNothing()
    {
        MIDIPatchInitializer initializer(QStringLiteral("Custom"), nullptr);
        initializer.setByte1(5);
        QVERIFY(initializer.getInitializationMessage()->empty());
        midiMessage_t message{0x90, 1, 2};
        initializer.writeInitializationMessageTo(&message);
        QVERIFY(message.empty());
        QCOMPARE(initializer.getDescriptionString(), QStringLiteral("Custom"));
    }

    void noteNamesFollowTheMiddleCPreference()
    {
        NoteOnInitializer noteOn(nullptr);
        noteOn.setNote(60);
        QCOMPARE(noteOn.getDescriptionString(), QStringLiteral("C4, Velocity 127"));
        setStringPrefValue(PrefKeys::MiddleCName, QStringLiteral("C3"));
        QCOMPARE(noteOn.getDescriptionString(), QStringLiteral("C3, Velocity 127"));
        setStringPrefValue(PrefKeys::MiddleCName, QStringLiteral("C4"));
    }

    void movingTheVelocitySliderIsHeardAtOnce()
    {
        NoteOnInitializer noteOn(nullptr);
        Recorder recorder;
        recorder.follow(&noteOn);
        noteOn.setVelocity(80);
        QCOMPARE(recorder.events, (QStringList{"modified 1", "byte2 80", "deliver"}));
        QCOMPARE(recorder.delivered, (QList<Bytes>{{0x90, 0x0C, 0x50}}));
        QVERIFY(noteOn.isModified());

        recorder.events.clear();
        noteOn.setNote(48);
        QCOMPARE(recorder.events, (QStringList{"byte1 48", "deliver"}));
        QCOMPARE(recorder.delivered.last(), (Bytes{0x90, 0x30, 0x50}));
    }

    void deliveryPointsAtTheInitializersOwnMessage()
    {
        CCInitializer cc(nullptr);
        midiMessage_t* seen = nullptr;
        connect(&cc, &MIDIPatchInitializer::messageDeliveryRequested, this,
                [&seen](midiMessage_t* message) { seen = message; });
        cc.setByte2(5);
        QCOMPARE(seen, cc.getInitializationMessage());
    }

    void everyByteSetterAnnouncesItsOwnSignal()
    {
        CCInitializer cc(nullptr);
        Recorder recorder;
        recorder.follow(&cc);
        cc.setByte1(74);
        cc.setByte2(20);
        cc.setByte3(9);
        QCOMPARE(recorder.events, (QStringList{"modified 1", "byte1 74", "deliver", "byte2 20", "deliver",
                                               "byte3 9", "deliver"}));
        QCOMPARE(cc.getByte3(), BYTE{9});
        // byte3 is stored but not part of the controller message.
        QCOMPARE(recorder.delivered.last(), (Bytes{0xB0, 0x4A, 0x14}));
    }

    void byteAbove127ChangesNothing()
    {
        ProgChgInitializer program(nullptr);
        Recorder recorder;
        recorder.follow(&program);
        program.setByte1(200);
        program.setByte2(128);
        program.setByte3(255);
        QVERIFY(recorder.events.isEmpty());
        QVERIFY(!program.isModified());
        QCOMPARE(*program.getInitializationMessage(), (Bytes{0xC0, 0x00}));
    }

    void choosingTheSameProgramAgainIsHeardAgain()
    {
        // Picking the value already set re-sends it (an audition) and counts as an edit.
        ProgChgInitializer program(nullptr);
        Recorder recorder;
        recorder.follow(&program);
        program.setPCNum(0);
        QCOMPARE(recorder.events, (QStringList{"modified 1", "byte1 0", "deliver"}));
        QCOMPARE(recorder.delivered, (QList<Bytes>{{0xC0, 0x00}}));
        QVERIFY(program.isModified());
    }

    void sameBendValueSendsNothing()
    {
        PitchBendInitializer bend(nullptr);
        Recorder recorder;
        recorder.follow(&bend);
        bend.setInt1(8192);
        QVERIFY(recorder.events.isEmpty());
        QVERIFY(!bend.isModified());
        bend.setInt1(0);
        QCOMPARE(recorder.events, (QStringList{"modified 1", "int1 0", "deliver"}));
        QCOMPARE(recorder.delivered, (QList<Bytes>{{0xE0, 0x00, 0x00}}));
        recorder.events.clear();
        bend.setInt1(0);
        QVERIFY(recorder.events.isEmpty());
    }

    void bendValueOutsideFourteenBitsBendsFully()
    {
        PitchBendInitializer bend(nullptr);
        bend.setInt1(20000);
        QCOMPARE(bend.getInt1(), 20000);
        QCOMPARE(*bend.getInitializationMessage(), (Bytes{0xE0, 0x7F, 0x7F}));
        QCOMPARE(bend.getDescriptionString(), QStringLiteral("Pitch Bend: 20000"));
        bend.setInt1(-5);
        QCOMPARE(*bend.getInitializationMessage(), (Bytes{0xE0, 0x00, 0x00}));
        QCOMPARE(bend.getInt1(), -5);
    }

    void noteOffFollowsThePatchsFirstKeyswitch()
    {
        FakePatch patch;
        auto* first = new NoteOnInitializer(&patch);
        first->setNote(36);
        auto* second = new NoteOnInitializer(&patch);
        second->setNote(40);
        patch.initializers << new ProgChgInitializer(&patch) << first << second;

        auto* noteOff = new NoteOffInitializer(&patch);
        QCOMPARE(noteOff->getByte1(), BYTE{36});
        QCOMPARE(*noteOff->getInitializationMessage(), (Bytes{0x80, 0x24, 0x7F}));
        QVERIFY(!noteOff->isModified());
        QCOMPARE(noteOff->getParentMIDIPatchTarget<FakePatch>(), &patch);
    }

    void noteOffWithoutKeyswitchUsesNote12()
    {
        FakePatch patch;
        patch.initializers << new VolumeInitializer(&patch);
        NoteOffInitializer inPatch(&patch);
        QCOMPARE(inPatch.getByte1(), BYTE{12});

        QObject notAPatch;
        NoteOffInitializer elsewhere(&notAPatch);
        QCOMPARE(elsewhere.getByte1(), BYTE{12});
        QCOMPARE(elsewhere.getParentMIDIPatchTarget<FakePatch>(), nullptr);
    }

    void writingIntoAReservedBufferNeverReallocates()
    {
        midiMessage_t buffer;
        buffer.reserve(3);
        const unsigned char* storage = buffer.data();
        NoteOnInitializer noteOn(nullptr);
        ProgChgInitializer program(nullptr);
        PitchBendInitializer bend(nullptr);
        MIDIPatchInitializer* all[] = {&noteOn, &program, &bend, &noteOn};
        const Bytes expected[] = {{0x90, 0x0C, 0x7F}, {0xC0, 0x00}, {0xE0, 0x00, 0x40}, {0x90, 0x0C, 0x7F}};
        for (int i = 0; i < 4; ++i) {
            all[i]->writeInitializationMessageTo(&buffer);
            QCOMPARE(buffer, expected[i]);
            QCOMPARE(buffer.data(), storage);
        }
    }

    void patchMayChangeTheChannelOfItsCopy()
    {
        // The patch sets the channel on its own copy; the initializer keeps sending on channel 1.
        VolumeInitializer volume(nullptr);
        midiMessage_t copy;
        copy.reserve(3);
        volume.writeInitializationMessageTo(&copy);
        setMIDIChannelIndex(&copy, 9);
        QCOMPARE(copy, (Bytes{0xB9, 0x07, 0x7F}));
        midiMessage_t again;
        volume.writeInitializationMessageTo(&again);
        QCOMPARE(again, (Bytes{0xB0, 0x07, 0x7F}));
    }

private:
    static MIDIPatchInitializer* makeInitializer(const QString& type)
    {
        if (type == QLatin1String("Note On"))
            return new NoteOnInitializer(nullptr);
        if (type == QLatin1String("Note Off"))
            return new NoteOffInitializer(nullptr);
        if (type == QLatin1String("Program Change"))
            return new ProgChgInitializer(nullptr);
        if (type == QLatin1String("Volume"))
            return new VolumeInitializer(nullptr);
        if (type == QLatin1String("CC"))
            return new CCInitializer(nullptr);
        return new PitchBendInitializer(nullptr);
    }
};

QTEST_GUILESS_MAIN(PatchInitializersTest)
#include "tst_PatchInitializers.moc"
