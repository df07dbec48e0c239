#include "model/initializers/InitializerRegistry.h"
#include "model/initializers/InitializerRegistryEntry.h"
#include "model/initializers/NoteOffInitializer.h"
#include "model/initializers/NoteOnInitializer.h"
#include "model/initializers/OldInitializerAttributes.h"
#include "model/initializers/PitchBendInitializer.h"
#include "model/initializers/ProgChgInitializer.h"
#include "model/initializers/VolumeInitializer.h"
#include "support/TestPrefs.h"

#include <QTest>

using Bytes = std::vector<unsigned char>;

// A type of the player's own, registered after the built-in ones.
class CustomIRE : public InitializerRegistryEntry
{
public:
    CustomIRE()
        : InitializerRegistryEntry(QStringLiteral("Custom"), QStringLiteral(":/icons/custom_16x16.png"),
                                   QStringLiteral("Sends nothing."))
    {
    }
    MIDIPatchInitializer* createInitializerInstance(QObject* parent) override
    {
        return new MIDIPatchInitializer(QStringLiteral("Custom"), parent);
    }
};

class InitializerRegistryTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { useTemporaryPrefs(); }

    void menuListsTheSixTypesInOrder()
    {
        registerBuiltInInitializers();
        InitializerRegistry* registry = InitializerRegistry::GetInstance();
        QCOMPARE(registry->getNumRegistryEntries(), 6);
        const QStringList names{"Note On", "Note Off", "Program Change", "Volume", "CC", "Pitch Bend"};
        const QStringList icons{
            ":/icons/note_16x16.png",   ":/icons/note_off_16x16.png", ":/icons/program_change_16x16.png",
            ":/icons/volume_16x16.png", ":/icons/cc_16x16.png",       ":/icons/pitch_16x16.png"};
        const QStringList descriptions{"Sends a note on message.",
                                       "Sends a note off message.",
                                       "Sends a program change message.",
                                       "Sends a volume (CC7) message.",
                                       "Sends a continuous controller (CC) message.",
                                       "Sends a pitch bend message."};
        for (int i = 0; i < 6; ++i) {
            InitializerRegistryEntry* entry = registry->getRegistryEntryAtIndex(i);
            QVERIFY(entry);
            QCOMPARE(entry->getName(), names.at(i));
            QCOMPARE(entry->getIconPath(), icons.at(i));
            QCOMPARE(entry->getDescription(), descriptions.at(i));
            QCOMPARE(entry->parent(), registry);
            QCOMPARE(registry->getRegistryEntryNamed(names.at(i)), entry);
        }
        QCOMPARE(registry->getRegistryEntryAtIndex(6), nullptr);
        QCOMPARE(registry->getRegistryEntryAtIndex(-1), nullptr);
        QCOMPARE(registry->getRegistryEntryNamed(QStringLiteral("note on")), nullptr);
    }

    void registeringAgainAddsNothing()
    {
        registerBuiltInInitializers();
        registerBuiltInInitializers();
        InitializerRegistry* registry = InitializerRegistry::GetInstance();
        QCOMPARE(registry->getNumRegistryEntries(), 6);
        registry->registerInitializer(registry->getRegistryEntryAtIndex(2));
        registry->registerInitializer(nullptr);
        QCOMPARE(registry->getNumRegistryEntries(), 6);
    }

    void eachTypeIsCreatedByItsName_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<Bytes>("expected");
        QTest::newRow("note on") << "Note On" << Bytes{0x90, 0x0C, 0x7F};
        QTest::newRow("note off") << "Note Off" << Bytes{0x80, 0x0C, 0x7F};
        QTest::newRow("program change") << "Program Change" << Bytes{0xC0, 0x00};
        QTest::newRow("volume") << "Volume" << Bytes{0xB0, 0x07, 0x7F};
        QTest::newRow("cc") << "CC" << Bytes{0xB0, 0x0B, 0x7F};
        QTest::newRow("pitch bend") << "Pitch Bend" << Bytes{0xE0, 0x00, 0x40};
    }

    void eachTypeIsCreatedByItsName()
    {
        QFETCH(QString, type);
        QFETCH(Bytes, expected);
        QObject owner;
        MIDIPatchInitializer* initializer = createMIDIPatchInitializerOfType(type, &owner);
        QVERIFY(initializer);
        QCOMPARE(initializer->parent(), &owner);
        QCOMPARE(initializer->getName(), type);
        QCOMPARE(*initializer->getInitializationMessage(), expected);
        QVERIFY(!initializer->isModified());
    }

    void unknownTypeGivesNothing()
    {
        QObject owner;
        QCOMPARE(createMIDIPatchInitializerOfType(QStringLiteral("Aftertouch"), &owner), nullptr);
        QCOMPARE(createMIDIPatchInitializerOfType(QString(), &owner), nullptr);
        QCOMPARE(InitializerRegistry::GetInstance()->createInstanceOfInitializerNamed(
                     QStringLiteral("NoteOn"), &owner),
                 nullptr);
        QVERIFY(owner.children().isEmpty());
    }

    void editorComesFromTheInstalledFactory()
    {
        InitializerRegistry* registry = InitializerRegistry::GetInstance();
        InitializerRegistryEntry* entry = registry->getRegistryEntryNamed(QStringLiteral("Volume"));
        VolumeInitializer volume(nullptr);
        // The core installs no editors: the GUI library does.
        QVERIFY(!entry->hasEditorFactory());
        QCOMPARE(registry->createEditorForInitializer(&volume, nullptr), nullptr);

        MIDIPatchInitializer* asked = nullptr;
        int calls = 0;
        entry->setEditorFactory([&asked, &calls](MIDIPatchInitializer* initializer, QWidget*) -> QWidget* {
            asked = initializer;
            ++calls;
            return nullptr;
        });
        registry->createEditorForInitializer(&volume, nullptr);
        QCOMPARE(asked, &volume);
        QCOMPARE(calls, 1);

        // Another type's entry is not asked; an unknown type has no editor.
        ProgChgInitializer program(nullptr);
        registry->createEditorForInitializer(&program, nullptr);
        MIDIPatchInitializer stranger(QStringLiteral("Stranger"), nullptr);
        QCOMPARE(registry->createEditorForInitializer(&stranger, nullptr), nullptr);
        QCOMPARE(registry->createEditorForInitializer(nullptr, nullptr), nullptr);
        QCOMPARE(calls, 1);
        entry->setEditorFactory({});
        QVERIFY(!entry->hasEditorFactory());
    }

    void playersOwnTypeJoinsAfterTheBuiltIns()
    {
        InitializerRegistry* registry = InitializerRegistry::GetInstance();
        auto* custom = new CustomIRE();
        registry->registerInitializer(custom);
        QCOMPARE(registry->getNumRegistryEntries(), 7);
        QCOMPARE(registry->getRegistryEntryAtIndex(6), custom);
        QCOMPARE(custom->parent(), registry);
        QObject owner;
        MIDIPatchInitializer* made = createMIDIPatchInitializerOfType(QStringLiteral("Custom"), &owner);
        QVERIFY(made);
        QCOMPARE(made->getName(), QStringLiteral("Custom"));
        QCOMPARE(registry->getRegistryEntryAtIndex(0)->getName(), QStringLiteral("Note On"));
    }

    void convenienceMakersSetValuesThroughTheSetters()
    {
        QObject owner;
        NoteOnInitializer* noteOn = createNoteOnInitializer(24, 100, &owner);
        QCOMPARE(*noteOn->getInitializationMessage(), (Bytes{0x90, 0x18, 0x64}));
        NoteOffInitializer* noteOff = createNoteOffInitializer(24, &owner);
        QCOMPARE(*noteOff->getInitializationMessage(), (Bytes{0x80, 0x18, 0x7F}));
        ProgChgInitializer* program = createPCInitializer(12, &owner);
        QCOMPARE(*program->getInitializationMessage(), (Bytes{0xC0, 0x0C}));
        VolumeInitializer* volume = createVolumeInitializer(100, &owner);
        QCOMPARE(*volume->getInitializationMessage(), (Bytes{0xB0, 0x07, 0x64}));
        for (MIDIPatchInitializer* initializer :
             std::initializer_list<MIDIPatchInitializer*>{noteOn, noteOff, program, volume}) {
            QVERIFY(initializer->isModified());
            QCOMPARE(initializer->parent(), &owner);
        }
    }

    void oldFileKeyswitchBecomesNoteOnAndOffPair()
    {
        QList<Bytes> messages =
            oldInitMessages(R"(<MIDIPatchTarget needsInitKeyswitch="1" initKeyswitch="24"/>)");
        QCOMPARE(messages, (QList<Bytes>{{0x90, 0x18, 0x7F}, {0x80, 0x18, 0x7F}}));
    }

    void oldFileInitMessagesComeInFixedOrder()
    {
        QList<Bytes> messages = oldInitMessages(
            R"(<MIDIPatchTarget needsInitVolume="1" initVolume="90" needsInitKeyswitch="2" initKeyswitch="36"
                                needsInitProgramChange="1" initProgramChange="5"/>)");
        QCOMPARE(messages,
                 (QList<Bytes>{{0xC0, 0x05}, {0x90, 0x24, 0x7F}, {0x80, 0x24, 0x7F}, {0xB0, 0x07, 0x5A}}));
    }

    void oldFileFlagsWithoutValuesAddNothing()
    {
        QCOMPARE(oldInitMessages(R"(<MIDIPatchTarget needsInitVolume="1"/>)"), QList<Bytes>{});
        QCOMPARE(oldInitMessages(R"(<MIDIPatchTarget needsInitProgramChange="0" initProgramChange="3"/>)"),
                 QList<Bytes>{});
        QCOMPARE(oldInitMessages(R"(<MIDIPatchTarget initKeyswitch="30"/>)"), QList<Bytes>{});
        QCOMPARE(oldInitMessages(R"(<MIDIPatchTarget/>)"), QList<Bytes>{});
    }

    void oldFileValueOutOfRangeIsNotWrapped()
    {
        // 300 would wrap to program 44; nothing is better than a wrong sound.
        QCOMPARE(oldInitMessages(R"(<MIDIPatchTarget needsInitProgramChange="1" initProgramChange="300"
                                                     needsInitVolume="1" initVolume="-1"/>)"),
                 QList<Bytes>{});
        QCOMPARE(oldInitMessages(R"(<MIDIPatchTarget needsInitProgramChange="1" initProgramChange="127"/>)"),
                 (QList<Bytes>{{0xC0, 0x7F}}));
    }

private:
    static QList<Bytes> oldInitMessages(const QString& xml)
    {
        QDomDocument doc;
        if (!doc.setContent(xml))
            return {{0xFF}};
        QObject owner;
        QList<Bytes> messages;
        for (MIDIPatchInitializer* initializer :
             createInitializersFromOldPatchAttributes(doc.documentElement(), &owner)) {
            if (initializer->parent() != &owner || !initializer->isModified())
                return {{0xFE}};
            messages << *initializer->getInitializationMessage();
        }
        return messages;
    }
};

QTEST_GUILESS_MAIN(InitializerRegistryTest)
#include "tst_InitializerRegistry.moc"
