#include "model/MIDIMessage.h"
#include "model/transforms/BuiltInTransforms.h"
#include "model/transforms/MIDIDataTransform.h"
#include "model/transforms/TransformRegistry.h"
#include "support/TestPrefs.h"

#include <QTest>
#include <memory>

namespace {

// One description case, named after the text it expects. Bytes given as -1 keep the defaults.
void row(const char* type, int byte1, int byte2, int octaves, int semitones, bool bypassed, const char* text)
{
    QTest::newRow(text) << QString::fromLatin1(type) << byte1 << byte2 << octaves << semitones << bypassed
                        << QString::fromLatin1(text);
}

} // namespace

// Picking a note type from the menu, or reading it from a setup file, gives the real type with its
// defaults, and each type describes itself in the transform strip.
class NoteTransformCreationTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        useTemporaryPrefs();
        registerBuiltInTransforms();
    }

    void eachNoteTypeIsCreatedByItsMenuName_data()
    {
        QTest::addColumn<QString>("className");
        QTest::addColumn<bool>("editable");
        QTest::addColumn<int>("byte1");
        QTest::addColumn<int>("byte2");
        QTest::addColumn<int>("map0");
        QTest::newRow("Transpose") << "NoteTransposer" << true << 0 << 0 << 0;
        QTest::newRow("Converge On Note") << "ConvergeOnNote" << true << 60 << 0 << 0;
        QTest::newRow("Velocity Map") << "VelocityMapping" << true << 0 << 0 << 0;
        QTest::newRow("Velocity To CC") << "VelocityToCC" << true << 11 << 0 << 0;
        QTest::newRow("Velocity From CC") << "VelocityFromCC" << true << 1 << 64 << 0;
        QTest::newRow("Make Monophonic") << "MakeMonophonic" << false << 0 << 0 << 0;
        QTest::newRow("Note Filter") << "NoteFilter" << true << 0 << 0 << 127;
        QTest::newRow("Velocity Filter") << "VelocityFilter" << true << 21 << 0 << 0;
        QTest::newRow("Velocity Variation") << "VelocityVariation" << true << 10 << 2 << 0;
        QTest::newRow("Ignore All Notes") << "NoteBlocker" << false << 0 << 0 << 0;
    }

    void eachNoteTypeIsCreatedByItsMenuName()
    {
        QFETCH(QString, className);
        QFETCH(bool, editable);
        QFETCH(int, byte1);
        QFETCH(int, byte2);
        QFETCH(int, map0);
        const QString name = QString::fromLatin1(QTest::currentDataTag());
        QObject owner;
        MIDIDataTransform* transform = createMIDIDataTransformOfType(name, &owner);
        QVERIFY(transform != nullptr);
        QCOMPARE(QString::fromLatin1(transform->metaObject()->className()), className);
        QCOMPARE(transform->parent(), &owner);
        QCOMPARE(transform->getName(), name);
        QCOMPARE(transform->hasEditableParameters(), editable);
        QCOMPARE(int(transform->getByte1()), byte1);
        QCOMPARE(int(transform->getByte2()), byte2);
        QCOMPARE(int(transform->getMapValueAt(0)), map0);
        QCOMPARE(createMIDIDataTransformOfType(className, &owner), nullptr);
    }

    void eachNoteTypeDescribesItself_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<int>("byte1");
        QTest::addColumn<int>("byte2");
        QTest::addColumn<int>("octaves");
        QTest::addColumn<int>("semitones");
        QTest::addColumn<bool>("bypassed");
        QTest::addColumn<QString>("text");
        row("Transpose", -1, -1, 0, 0, false, "(no transpose)");
        row("Transpose", -1, -1, 0, 0, true, "(no transpose) (bypassed)");
        row("Transpose", -1, -1, 1, 2, false, "Transpose Up 1 Octave and 2 Semitones");
        row("Transpose", -1, -1, -1, 3, false, "Transpose Down 1 Octave and Up 3 Semitones");
        row("Transpose", -1, -1, 0, -5, false, "Transpose Down 5 Semitones");
        row("Transpose", -1, -1, 0, 1, false, "Transpose Up 1 Semitone");
        row("Transpose", -1, -1, 2, -1, false, "Transpose Up 2 Octaves and Down 1 Semitone");
        row("Transpose", -1, -1, -2, 0, true, "Transpose Down 2 Octaves (bypassed)");
        row("Converge On Note", -1, -1, 0, 0, false, "Converge On C4");
        row("Converge On Note", 61, -1, 0, 0, true, "Converge On C#4 (bypassed)");
        row("Velocity Map", -1, -1, 0, 0, true, "Velocity Map (bypassed)");
        row("Velocity To CC", 74, -1, 0, 0, false, "Copy Velocity to CC74");
        row("Velocity To CC", -1, -1, 0, 0, true, "Copy Velocity to CC11 (bypassed)");
        row("Velocity From CC", -1, -1, 0, 0, false, "Velocity from CC1");
        row("Make Monophonic", -1, -1, 0, 0, false, "Make Monophonic");
        row("Note Filter", -1, -1, 0, 0, true, "Note Filter (bypassed)");
        row("Velocity Filter", -1, -1, 0, 0, false, "Ignore Velocities Below 21");
        row("Velocity Filter", 100, 1, 0, 0, true, "Ignore Velocities Above 100 (bypassed)");
        row("Velocity Variation", -1, -1, 0, 0, false, "Vary Velocities By 10 Above and Below");
        row("Velocity Variation", -1, 0, 0, 0, false, "Vary Velocities By 10 Above");
        row("Velocity Variation", -1, 1, 0, 0, true, "Vary Velocities By 10 Below");
        row("Velocity Variation", 0, -1, 0, 0, false, "Velocity Variation - no variation");
        row("Ignore All Notes", -1, -1, 0, 0, true, "Ignore All Notes (bypassed)");
    }

    void eachNoteTypeDescribesItself()
    {
        QFETCH(QString, type);
        QFETCH(int, byte1);
        QFETCH(int, byte2);
        QFETCH(int, octaves);
        QFETCH(int, semitones);
        QFETCH(bool, bypassed);
        QFETCH(QString, text);
        std::unique_ptr<MIDIDataTransform> transform(createMIDIDataTransformOfType(type, nullptr));
        if (byte1 >= 0)
            transform->setByte1(BYTE(byte1));
        if (byte2 >= 0)
            transform->setByte2(BYTE(byte2));
        transform->setInt2(octaves);
        transform->setInt1(semitones);
        transform->setBypassed(bypassed);
        QCOMPARE(transform->getDescriptionString(), text);
    }

    void transposeReadFromAFilePlaysWithItsAmount()
    {
        std::unique_ptr<MIDIDataTransform> original(createMIDIDataTransformOfType("Transpose", nullptr));
        original->setInt2(-2);
        original->setInt1(3);
        QDomDocument doc;
        const QDomElement element = original->toDomElement(doc);
        std::unique_ptr<MIDIDataTransform> copy(
            createMIDIDataTransformOfType(element.attribute(QStringLiteral("name")), nullptr));
        copy->initFromDomElement(element);
        midiMessage_t note = {0x90, 60, 100};
        midiMessageList_t list{&note};
        copy->transformWhatYouCan(&list);
        QCOMPARE(note, (midiMessage_t{0x90, 39, 100}));
    }
};

QTEST_GUILESS_MAIN(NoteTransformCreationTest)
#include "tst_NoteTransformCreation.moc"
