#include "model/BuiltInTransforms.h"
#include "model/ConvergeOnNote.h"
#include "model/MakeMonophonic.h"
#include "model/NoteBlocker.h"
#include "model/NoteFilter.h"
#include "model/NoteTransposer.h"
#include "model/TransformRegistry.h"
#include "model/VelocityFilter.h"
#include "model/VelocityFromCC.h"
#include "model/VelocityMapping.h"
#include "model/VelocityToCC.h"
#include "model/VelocityVariation.h"
#include "support/TestPrefs.h"

#include <QTest>
#include <memory>

namespace {

template <typename T> bool isA(QObject* object)
{
    return qobject_cast<T*>(object) != nullptr;
}

} // namespace

// Picking a note type from the menu, or reading it from a setup file, must give the real type
// with its defaults, and a saved transform must come back as the same type with the same settings.
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
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("editable");
        QTest::addColumn<int>("byte1");
        QTest::addColumn<int>("byte2");
        QTest::addColumn<int>("map0");
        QTest::newRow("Transpose") << "Transpose" << true << 0 << 0 << 0;
        QTest::newRow("Converge On Note") << "Converge On Note" << true << 60 << 0 << 0;
        QTest::newRow("Velocity Map") << "Velocity Map" << true << 0 << 0 << 0;
        QTest::newRow("Velocity To CC") << "Velocity To CC" << true << 11 << 0 << 0;
        QTest::newRow("Velocity From CC") << "Velocity From CC" << true << 1 << 64 << 0;
        QTest::newRow("Make Monophonic") << "Make Monophonic" << false << 0 << 0 << 0;
        QTest::newRow("Note Filter") << "Note Filter" << true << 0 << 0 << 127;
        QTest::newRow("Velocity Filter") << "Velocity Filter" << true << 21 << 0 << 0;
        QTest::newRow("Velocity Variation") << "Velocity Variation" << true << 10 << 2 << 0;
        QTest::newRow("Ignore All Notes") << "Ignore All Notes" << false << 0 << 0 << 0;
    }

    void eachNoteTypeIsCreatedByItsMenuName()
    {
        QFETCH(QString, name);
        QFETCH(bool, editable);
        QFETCH(int, byte1);
        QFETCH(int, byte2);
        QFETCH(int, map0);
        QObject owner;
        MIDIDataTransform* transform = createMIDIDataTransformOfType(name, &owner);
        QVERIFY(transform != nullptr);
        QCOMPARE(transform->parent(), &owner);
        QCOMPARE(transform->getName(), name);
        QCOMPARE(transform->hasEditableParameters(), editable);
        QCOMPARE(int(transform->getByte1()), byte1);
        QCOMPARE(int(transform->getByte2()), byte2);
        QCOMPARE(transform->getInt1(), 0);
        QCOMPARE(transform->getInt2(), 0);
        QCOMPARE(int(transform->getMapValueAt(0)), map0);
        QVERIFY(!transform->isBypassed());
    }

    void registryNamesGiveTheirOwnClasses()
    {
        QObject owner;
        QVERIFY(isA<NoteTransposer>(createMIDIDataTransformOfType(QStringLiteral("Transpose"), &owner)));
        QVERIFY(
            isA<ConvergeOnNote>(createMIDIDataTransformOfType(QStringLiteral("Converge On Note"), &owner)));
        QVERIFY(isA<VelocityMapping>(createMIDIDataTransformOfType(QStringLiteral("Velocity Map"), &owner)));
        QVERIFY(isA<VelocityToCC>(createMIDIDataTransformOfType(QStringLiteral("Velocity To CC"), &owner)));
        QVERIFY(
            isA<VelocityFromCC>(createMIDIDataTransformOfType(QStringLiteral("Velocity From CC"), &owner)));
        QVERIFY(
            isA<MakeMonophonic>(createMIDIDataTransformOfType(QStringLiteral("Make Monophonic"), &owner)));
        QVERIFY(isA<NoteFilter>(createMIDIDataTransformOfType(QStringLiteral("Note Filter"), &owner)));
        QVERIFY(
            isA<VelocityFilter>(createMIDIDataTransformOfType(QStringLiteral("Velocity Filter"), &owner)));
        QVERIFY(isA<VelocityVariation>(
            createMIDIDataTransformOfType(QStringLiteral("Velocity Variation"), &owner)));
        QVERIFY(isA<NoteBlocker>(createMIDIDataTransformOfType(QStringLiteral("Ignore All Notes"), &owner)));
        QCOMPARE(createMIDIDataTransformOfType(QStringLiteral("VelocityMapping"), &owner), nullptr);
    }

    void savedNoteTransformsComeBackWithTheirSettings()
    {
        QObject owner;
        auto* transpose =
            qobject_cast<NoteTransposer*>(createMIDIDataTransformOfType(QStringLiteral("Transpose"), &owner));
        transpose->setInt2(-1);
        transpose->setInt1(4);
        auto* variation = qobject_cast<VelocityVariation*>(
            createMIDIDataTransformOfType(QStringLiteral("Velocity Variation"), &owner));
        variation->setVariationAmount(30);
        variation->setVariationType(VelocityVariation::VaryBelow);
        variation->setBypassed(true);

        QDomDocument doc;
        for (MIDIDataTransform* original :
             {static_cast<MIDIDataTransform*>(transpose), static_cast<MIDIDataTransform*>(variation)}) {
            const QDomElement element = original->toDomElement(doc);
            MIDIDataTransform* copy =
                createMIDIDataTransformOfType(element.attribute(QStringLiteral("name")), &owner);
            QVERIFY(copy != nullptr);
            copy->initFromDomElement(element);
            QCOMPARE(copy->metaObject(), original->metaObject());
            QCOMPARE(copy->getDescriptionString(), original->getDescriptionString());
            QCOMPARE(copy->isBypassed(), original->isBypassed());
            QCOMPARE(copy->getByte2(), original->getByte2());
        }
        QCOMPARE(transpose->getDescriptionString(),
                 QStringLiteral("Transpose Down 1 Octave and Up 4 Semitones"));
    }
};

QTEST_GUILESS_MAIN(NoteTransformCreationTest)
#include "tst_NoteTransformCreation.moc"
