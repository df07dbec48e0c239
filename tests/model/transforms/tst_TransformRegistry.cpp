#include "model/transforms/BuiltInTransformRegistryEntry.h"
#include "model/transforms/BuiltInTransforms.h"
#include "model/transforms/MIDIDataTransform.h"
#include "model/transforms/TransformRegistry.h"
#include "support/TestPrefs.h"

#include <QTest>

namespace {

struct Expected
{
    const char* name;
    const char* category;
    const char* iconPath;
    const char* description;
    bool editable;
};

const Expected kExpected[] = {
    {"Transpose", "Note", ":/icons/transpose_16x16.png", "Transpose note by a certain number of semitones.",
     true},
    {"Converge On Note", "Note", ":/icons/converge_on_note_16x16.png",
     "Change all incoming notes to a single, specified note.", true},
    {"Velocity Map", "Note", ":/icons/velocity_map_16x16.png", "Remap note velocities.", true},
    {"Velocity To CC", "Note", ":/icons/velocity_to_cc_16x16.png",
     "Create new continuous controller (CC) message from note velocity.", true},
    {"Velocity From CC", "Note", ":/icons/velocity_from_cc_16x16.png",
     "Set note velocity from a continuous controller (CC).", true},
    {"Make Monophonic", "Note", ":/icons/make_monophonic_16x16.png",
     "Turn off sounding note when a new note is played.", false},
    {"Note Filter", "Note", ":/icons/note_filter_16x16.png", "Filter out (ignore) desired notes.", true},
    {"Velocity Filter", "Note", ":/icons/velocity_filter_16x16.png",
     "Filter out (ignore) notes above or below a certain velocity.", true},
    {"Velocity Variation", "Note", ":/icons/velocity_variation_16x16.png",
     "Randomly vary note velocities by a specified amount.", true},
    {"Ignore All Notes", "Note", ":/icons/ignore_all_notes_16x16.png", "Filter out (ignore) all notes.",
     false},
    {"Change CC#", "Control", ":/icons/change_cc_num_16x16.png",
     "Change one continuous controller (CC) number to another.", true},
    {"CC Map", "Control", ":/icons/cc_map_16x16.png", "Remap continuous controller (CC) values.", true},
    {"CC Copy", "Control", ":/icons/cc_copy_16x16.png",
     "Create new continuous controller (CC) message from another.", true},
    {"Ignore CC", "Control", ":/icons/ignore_cc_16x16.png",
     "Ignore certain continuous controller (CC) messages.", true},
    {"Ignore All Controllers", "Control", ":/icons/ignore_all_cc_16x16.png",
     "Filter out (ignore) all continuous controller (CC) messages.", false},
    {"Invert Pitch Change", "Pitch Change", ":/icons/invert_pitch_change_16x16.png",
     "Invert direction of pitch change messages.", false},
    {"Pitch Change To CC", "Pitch Change", ":/icons/pitch_change_to_cc_16x16.png",
     "Create new continuous controller (CC) message from a pitch change message.", true},
    {"Ignore Pitch Change", "Pitch Change", ":/icons/ignore_pitch_change_16x16.png",
     "Ignore pitch change messages.", false},
    {"Channel Aftertouch To CC", "Aftertouch", ":/icons/aftertouch_to_cc_16x16.png",
     "Create new continuous controller (CC) message from channel aftertouch pressure.", true},
    {"Ignore Channel Aftertouch", "Aftertouch", ":/icons/ignore_channel_aftertouch_16x16.png",
     "Ignore channel aftertouch messages.", false},
    {"Inspector", "Utility", ":/icons/inspector_16x16.png",
     "Inspect incoming MIDI messages without affecting them.", true},
};

// A stand-in type for testing registration rules.
class FakeEntry : public TransformRegistryEntry
{
public:
    FakeEntry(const QString& name, const QString& category)
        : TransformRegistryEntry(name, category, QString(), QStringLiteral("fake"))
    {
    }
    MIDIDataTransform* createTransformInstance(QObject* parent) override
    {
        auto* transform = new MIDIDataTransform(getName(), parent);
        transform->setInt1(4242);
        return transform;
    }
    QWidget* createTransformEditorWidget(MIDIDataTransform*, QWidget*) override { return nullptr; }
};

} // namespace

class TransformRegistryTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        useTemporaryPrefs();
        registerBuiltInTransforms();
        registerBuiltInTransforms(); // a second call registers nothing twice
    }

    void fiveCategoriesInMenuOrder()
    {
        TransformRegistry* registry = TransformRegistry::GetInstance();
        QCOMPARE(registry->getTransformCategoryNames(),
                 (QStringList{"Note", "Control", "Pitch Change", "Aftertouch", "Utility"}));
        QCOMPARE(registry->getTransformRegEntriesInCategory(QStringLiteral("Note")).size(), 10);
        QCOMPARE(registry->getTransformRegEntriesInCategory(QStringLiteral("Control")).size(), 5);
        QCOMPARE(registry->getTransformRegEntriesInCategory(QStringLiteral("Pitch Change")).size(), 3);
        QCOMPARE(registry->getTransformRegEntriesInCategory(QStringLiteral("Aftertouch")).size(), 2);
        QCOMPARE(registry->getTransformRegEntriesInCategory(QStringLiteral("Utility")).size(), 1);
    }

    void categoryIcons()
    {
        TransformRegistry* registry = TransformRegistry::GetInstance();
        QCOMPARE(registry->getIconPathForCategoryNamed(QStringLiteral("Note")),
                 QStringLiteral(":/icons/note_16x16.png"));
        QCOMPARE(registry->getIconPathForCategoryNamed(QStringLiteral("Control")),
                 QStringLiteral(":/icons/cc_16x16.png"));
        QCOMPARE(registry->getIconPathForCategoryNamed(QStringLiteral("Pitch Change")),
                 QStringLiteral(":/icons/pitch_16x16.png"));
        QCOMPARE(registry->getIconPathForCategoryNamed(QStringLiteral("Aftertouch")),
                 QStringLiteral(":/icons/aftertouch_16x16.png"));
        QCOMPARE(registry->getIconPathForCategoryNamed(QStringLiteral("Utility")),
                 QStringLiteral(":/icons/settings_16x16.png"));
        QCOMPARE(registry->getIconPathForCategoryNamed(QStringLiteral("Sysex")), QString());
        QVERIFY(registry->getTransformRegEntriesInCategory(QStringLiteral("Sysex")).isEmpty());
    }

    void everyEntryInOrderWithItsTexts()
    {
        TransformRegistry* registry = TransformRegistry::GetInstance();
        QList<TransformRegistryEntry*> all;
        for (const QString& category : registry->getTransformCategoryNames())
            all += registry->getTransformRegEntriesInCategory(category);
        QCOMPARE(all.size(), 21);
        for (int i = 0; i < 21; ++i) {
            const Expected& expected = kExpected[i];
            TransformRegistryEntry* entry = all.at(i);
            QCOMPARE(entry->getName(), QString::fromLatin1(expected.name));
            QCOMPARE(entry->getCategoryName(), QString::fromLatin1(expected.category));
            QCOMPARE(entry->getIconPath(), QString::fromLatin1(expected.iconPath));
            QCOMPARE(entry->getDescription(), QString::fromLatin1(expected.description));
            QCOMPARE(entry->parent(), registry);
            QCOMPARE(registry->getRegistryEntryForTransformNamed(entry->getName()), entry);
        }
    }

    void everyTypeIsCreatedByNameWithItsEditability()
    {
        QObject patch;
        for (const Expected& expected : kExpected) {
            const QString name = QString::fromLatin1(expected.name);
            MIDIDataTransform* transform = createMIDIDataTransformOfType(name, &patch);
            QVERIFY2(transform != nullptr, expected.name);
            QCOMPARE(transform->getName(), name);
            QCOMPARE(transform->parent(), &patch);
            QCOMPARE(transform->getObjTypeName(), QStringLiteral("MIDIDataTransform"));
            QCOMPARE(transform->hasEditableParameters(), expected.editable);
            auto* entry = qobject_cast<BuiltInTransformRegistryEntry*>(
                TransformRegistry::GetInstance()->getRegistryEntryForTransformNamed(name));
            QVERIFY(entry != nullptr);
            QCOMPARE(entry->hasEditableParameters(), expected.editable);
        }
    }

    void unknownNamesCreateNothing()
    {
        QCOMPARE(createMIDIDataTransformOfType(QStringLiteral("VelocityMapping"), nullptr), nullptr);
        QCOMPARE(createMIDIDataTransformOfType(QStringLiteral("transpose"), nullptr), nullptr);
        QCOMPARE(createMIDIDataTransformOfType(QString(), nullptr), nullptr);
        QCOMPARE(TransformRegistry::GetInstance()->getRegistryEntryForTransformNamed(QStringLiteral("Nope")),
                 nullptr);
        MIDIDataTransform stranger(QStringLiteral("Nope"), nullptr);
        QCOMPARE(createEditorForTransform(&stranger, nullptr), nullptr);
        QCOMPARE(createEditorForTransform(nullptr, nullptr), nullptr);
    }

    void coreAloneHasNoEditors()
    {
        MIDIDataTransform* transform =
            createMIDIDataTransformOfType(QStringLiteral("Make Monophonic"), nullptr);
        QCOMPARE(createEditorForTransform(transform, nullptr), nullptr);
        delete transform;
    }

    void reregisteringANameReplacesTheLookupOnly()
    {
        TransformRegistry* registry = TransformRegistry::GetInstance();
        auto* first = new FakeEntry(QStringLiteral("Test Double"), QStringLiteral("Testing"));
        auto* second = new FakeEntry(QStringLiteral("Test Double"), QStringLiteral("Testing"));
        registry->registerTransform(first);
        registry->registerTransform(second);
        QCOMPARE(registry->getTransformCategoryNames().last(), QStringLiteral("Testing"));
        QCOMPARE(registry->getTransformRegEntriesInCategory(QStringLiteral("Testing")).size(), 1);
        QCOMPARE(registry->getRegistryEntryForTransformNamed(QStringLiteral("Test Double")), second);
        QCOMPARE(first->parent(), registry);
        MIDIDataTransform* created = createMIDIDataTransformOfType(QStringLiteral("Test Double"), nullptr);
        QVERIFY(created != nullptr);
        QCOMPARE(created->getInt1(), 4242);
        delete created;
    }
};

QTEST_GUILESS_MAIN(TransformRegistryTest)
#include "tst_TransformRegistry.moc"
