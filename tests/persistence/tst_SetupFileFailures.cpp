// Files that cannot be read or written: every failure is one clear error, the setup in memory and
// the file on disk stay as they were, and nothing crashes or hangs.
#include "app/StatusManager.h"
#include "model/initializers/MIDIPatchInitializer.h"
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "model/transforms/MIDIDataTransform.h"
#include "persistence/SetupFileReaderWriter.h"
#include "support/FullSetupBuilder.h"
#include "support/RoutingTestRig.h"
#include "support/SetupFileTestHelpers.h"
#include "support/TestPrefs.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <fcntl.h>
#include <linux/fs.h>
#include <memory>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

using namespace SetupFileTestHelpers;

// A small setup that was read from somewhere and is not modified.
SetupPtr settledSetup()
{
    auto setup = std::make_unique<MIDIRoutingSetup>(QStringLiteral("Settled"), nullptr);
    setup->createNewMIDIRoute(false)->getMIDIOutputAtIndex(0)->setMainActivationValue(40);
    setup->setFilePath(QStringLiteral("/gig/previous.ms"));
    setup->setModified(false);
    return setup;
}

QByteArray nested(int depth)
{
    QByteArray text = "<MIDIRoutingSetup>";
    for (int i = 0; i < depth; ++i)
        text += "<a>";
    for (int i = 0; i < depth; ++i)
        text += "</a>";
    return text + "</MIDIRoutingSetup>";
}

QByteArray entityBomb()
{
    QByteArray text =
        "<?xml version=\"1.0\"?>\n<!DOCTYPE MIDIRoutingSetup [\n <!ENTITY a0 \"lolololololol\">\n";
    for (int level = 1; level <= 12; ++level) {
        text += " <!ENTITY a" + QByteArray::number(level) + " \"";
        for (int i = 0; i < 10; ++i)
            text += "&a" + QByteArray::number(level - 1) + ";";
        text += "\">\n";
    }
    return text + "]>\n<MIDIRoutingSetup name=\"&a12;\"/>\n";
}

// Makes a folder immutable for as long as it lives: not even root can create, rename or remove
// entries in it. Needs a file system with the immutable flag and the right to set it.
class ImmutableFolder
{
public:
    explicit ImmutableFolder(const QString& path) : _path(path.toLocal8Bit()) { _set(true); }
    ~ImmutableFolder()
    {
        if (_isSet)
            _set(false);
    }
    bool isSet() const { return _isSet; }

private:
    void _set(bool on)
    {
        const int fd = ::open(_path.constData(), O_RDONLY | O_DIRECTORY);
        if (fd < 0)
            return;
        int flags = 0;
        if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
            flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
            if (::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0)
                _isSet = on;
        }
        ::close(fd);
    }
    QByteArray _path;
    bool _isSet = false;
};

// Holds every file this process writes to a few bytes while it lives.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        _oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &_old);
        rlimit limited = _old;
        limited.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &_old);
        std::signal(SIGXFSZ, _oldHandler);
    }

private:
    rlimit _old{};
    void (*_oldHandler)(int) = nullptr;
};

} // namespace

class SetupFileFailuresTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        useTemporaryPrefs();
        RoutingTestRig::install();
        SetupPtr warmUp(buildSetupUsingEverything());
    }

    // Reading.

    void brokenFileLeavesCurrentSetupUntouched_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("complaint");

        SetupPtr full(buildSetupUsingEverything());
        const QByteArray document = documentOf(full.get());
        QByteArray garbage(4096, '\0');
        QRandomGenerator random(20240611);
        for (char& c : garbage)
            c = char(random.bounded(256));

        QTest::newRow("missing file") << "missing" << QByteArray() << "does not exist";
        QTest::newRow("folder") << "folder" << QByteArray() << "is a folder, not a setup file";
        QTest::newRow("device") << "device" << QByteArray() << "it is not a regular file";
        QTest::newRow("empty file") << "file" << QByteArray() << "it is empty";
        QTest::newRow("only blank lines") << "file" << QByteArray(" \n\n\t\n") << "it is empty";
        QTest::newRow("binary garbage") << "file" << garbage << "is not a readable setup file (line ";
        QTest::newRow("truncated document")
            << "file" << document.left(document.size() / 2) << "is not a readable setup file (line ";
        QTest::newRow("cut inside a tag") << "file" << document.left(document.indexOf("<MIDIRoute ") + 7)
                                          << "is not a readable setup file (line ";
        QTest::newRow("unbalanced elements")
            << "file" << QByteArray("<MIDIRoutingSetup><MIDIRoutes></MIDIRoutingSetup>")
            << "is not a readable setup file (line 1, column ";
        QTest::newRow("two roots") << "file" << QByteArray("<MIDIRoutingSetup/><MIDIRoutingSetup/>")
                                   << "is not a readable setup file (line 1, column ";
        QTest::newRow("web page") << "file"
                                  << QByteArray("<?xml version=\"1.0\"?>\n<html><body>Gig</body></html>\n")
                                  << "it holds \"html\" instead of \"MIDIRoutingSetup\"";
        QTest::newRow("copied output")
            << "file" << QByteArray("<!DOCTYPE MIDIOutput_XML>\n<MIDIOutput name=\"Strings\"/>\n")
            << "it holds \"MIDIOutput\" instead of \"MIDIRoutingSetup\"";
        QTest::newRow("nested far too deeply")
            << "file" << nested(100000) << "nested more than 64 levels deep";
        QTest::newRow("entity expansion") << "file" << entityBomb() << "is not a readable setup file (line ";
    }

    void brokenFileLeavesCurrentSetupUntouched()
    {
        QFETCH(QString, kind);
        QFETCH(QByteArray, content);
        QFETCH(QString, complaint);

        QTemporaryDir dir;
        QString path = dir.filePath(QStringLiteral("broken.ms"));
        if (kind == QLatin1String("folder"))
            QVERIFY(QDir().mkpath(path));
        else if (kind == QLatin1String("device"))
            path = QStringLiteral("/dev/null");
        else if (kind == QLatin1String("file"))
            QVERIFY(writeFile(path, content));

        SetupPtr setup = settledSetup();
        const QByteArray before = documentOf(setup.get());
        QSignalSpy errors(StatusManager::GetInstance(), &StatusManager::errorMessagePosted);
        QSignalSpy finished(files(), &SetupFileReaderWriter::setupFileOpenFinished);

        QVERIFY(!files()->readSetupFromDisk(setup.get(), path));

        QCOMPARE(errors.count(), 1);
        const QString message = errors.at(0).at(0).toString();
        QVERIFY2(message.contains(QDir::toNativeSeparators(path)), qPrintable(message));
        QVERIFY2(message.contains(complaint), qPrintable(message));
        QVERIFY2(message.endsWith(QLatin1Char('.')), qPrintable(message));
        QCOMPARE(finished.count(), 0);
        QCOMPARE(documentOf(setup.get()), before);
        QVERIFY(!setup->isModified());
        QCOMPARE(setup->getFilePath(), QStringLiteral("/gig/previous.ms"));
    }

    void readingWithNoFileNamedIsAnError()
    {
        MIDIRoutingSetup setup(QStringLiteral("New"), nullptr);
        QSignalSpy errors(StatusManager::GetInstance(), &StatusManager::errorMessagePosted);
        QVERIFY(!files()->readSetupFromDisk(&setup, QString()));
        QCOMPARE(errors.count(), 1);
        QVERIFY(setup.isEmpty());
        QVERIFY(!setup.hasBeenSaved());
    }

    void unknownTypesAreReportedAndSkipped()
    {
        QSignalSpy errors(StatusManager::GetInstance(), &StatusManager::errorMessagePosted);
        MIDIRoutingSetup setup(QStringLiteral("no name"), nullptr);
        QVERIFY(files()->readSetupFromDocumentBytes(
            &setup,
            "<MIDIRoutingSetup><MIDIRoutes><MIDIRoute midiPortName=\"Keys\"><MIDIOutputs><MIDIOutput>"
            "<MIDIPatchTargets><MIDIPatchTarget midiOutputPortName=\"SynthA\"><MIDIPatchInitializers>"
            "<MIDIPatchInitializer name=\"Volume\" byte2=\"90\"/><MIDIPatchInitializer name=\"Whizz\"/>"
            "<MIDIPatchInitializer name=\"CC\"/><MIDIPatchInitializer/></MIDIPatchInitializers>"
            "<MIDIDataTransforms><MIDIDataTransform name=\"Frobnicate\" byte1=\"3\"/>"
            "<MIDIDataTransform name=\"Transpose\" int1=\"7\"/><MIDIDataTransform name=\"transpose\"/>"
            "</MIDIDataTransforms></MIDIPatchTarget></MIDIPatchTargets></MIDIOutput></MIDIOutputs>"
            "</MIDIRoute></MIDIRoutes></MIDIRoutingSetup>",
            QStringLiteral("document")));
        QCOMPARE(errors.count(), 4);
        QCOMPARE(errors.at(0).at(0).toString(), QStringLiteral("Invalid initializer: Whizz"));
        QCOMPARE(errors.at(1).at(0).toString(), QStringLiteral("Invalid initializer: "));
        QCOMPARE(errors.at(2).at(0).toString(), QStringLiteral("Invalid transform: Frobnicate"));
        QCOMPARE(errors.at(3).at(0).toString(), QStringLiteral("Invalid transform: transpose"));
        MIDIPatchTarget* patch =
            setup.getMIDIRouteAtIndex(0)->getMIDIOutputAtIndex(0)->getMIDIPatchTargetAtIndex(0);
        QCOMPARE(patch->getNumMIDIPatchInitializers(), 2);
        QCOMPARE(patch->getMIDIPatchInitializerAtIndex(0)->getName(), QStringLiteral("Volume"));
        QCOMPARE(patch->getMIDIPatchInitializerAtIndex(1)->getName(), QStringLiteral("CC"));
        QCOMPARE(patch->getNumMIDIDataTransforms(), 1);
        QCOMPARE(patch->getMIDIDataTransformAtIndex(0)->getInt1(), 7);
        QVERIFY(!setup.isModified());
    }

    void absurdValuesAreHandled()
    {
        const QByteArray longName(100000, 'n');
        MIDIRoutingSetup setup(QStringLiteral("no name"), nullptr);
        QSignalSpy errors(StatusManager::GetInstance(), &StatusManager::errorMessagePosted);
        QVERIFY(files()->readSetupFromDocumentBytes(
            &setup,
            "<MIDIRoutingSetup name=\"" + longName +
                "\" showingInnards=\"yes\"><MIDIRoutes>"
                "<MIDIRoute midiPortName=\"Keys\" midiChannelIndex=\"99999999999\" "
                "outputActivationMethod=\"-40\" "
                "outputActivationSpecificity=\"5\" colorLabelIndex=\"-7\"><MIDIOutputs>"
                "<MIDIOutput isActive=\"-3\" mainActivationValue=\"500\" activationRangeValue=\"-1\" "
                "colorLabelIndex=\"2147483647\"><MIDIPatchTargets>"
                "<MIDIPatchTarget midiOutputPortName=\"SynthB\" midiChannelIndex=\"16\" muted=\"2\" "
                "messageDelayType=\"7\" messageDelay=\"1000000000\"><MIDIPatchInitializers>"
                "<MIDIPatchInitializer name=\"Pitch Bend\" byte1=\"300\" byte2=\"-1\" int1=\"99999\"/>"
                "</MIDIPatchInitializers><MIDIDataTransforms>"
                "<MIDIDataTransform name=\"Transpose\" byte1=\"128\" int1=\"2147483647\" "
                "int2=\"-2147483648\" "
                "bypass=\"x\" valueMapping=\"" +
                QByteArray(10000, 'A') +
                "\" valueMappingEscaped=\"1\"/>"
                "<MIDIDataTransform name=\"Velocity Map\" valueMapping=\"%zz%4\" valueMappingEscaped=\"1\" "
                "editorPositionX=\"-99999999999\" editorPositionY=\"12\"/>"
                "</MIDIDataTransforms></MIDIPatchTarget>"
                "<MIDIPatchTarget midiOutputPortName=\"SynthC\" midiChannelIndex=\"-1\" "
                "messageDelay=\"-20\"/>"
                "</MIDIPatchTargets></MIDIOutput></MIDIOutputs></MIDIRoute></MIDIRoutes></MIDIRoutingSetup>",
            QStringLiteral("document")));
        QCOMPARE(errors.count(), 0);
        QCOMPARE(setup.getName().size(), 100000);
        QVERIFY(!setup.isShowingInnards());
        MIDIRoute* route = setup.getMIDIRouteAtIndex(0);
        QCOMPARE(route->getMIDIChannel(), BYTE(0));
        QCOMPARE(route->getOutputActivationMethod(), -40); // activates nothing
        QVERIFY(route->isOutputActivationValueSpecific());
        QVERIFY(!route->hasColorLabel());
        MIDIOutput* output = route->getMIDIOutputAtIndex(0);
        QVERIFY(output->isActive());
        QCOMPARE(output->getMainActivationValue(), BYTE(0));
        QCOMPARE(output->getActivationRangeValue(), BYTE(0));
        MIDIPatchTarget* patch = output->getMIDIPatchTargetAtIndex(0);
        QCOMPARE(patch->getMIDIChannel(), BYTE(0));
        QVERIFY(patch->isMuted());
        QVERIFY(patch->isMessageDelayConstant());
        QCOMPARE(patch->getMessageDelayInMillisecs(), MIDIPatchTarget::kMaxMessageDelay);
        MIDIPatchInitializer* bend = patch->getMIDIPatchInitializerAtIndex(0);
        QCOMPARE(bend->getByte1(), BYTE(0));
        QCOMPARE(bend->getByte2(), BYTE(0));
        QCOMPARE(bend->getInt1(), 99999);
        MIDIDataTransform* transpose = patch->getMIDIDataTransformAtIndex(0);
        QCOMPARE(transpose->getByte1(), BYTE(0));
        QCOMPARE(transpose->getInt1(), 2147483647);
        QCOMPARE(transpose->getInt2(), -2147483647 - 1);
        QCOMPARE(transpose->getMapValueAt(0), BYTE('A'));
        QCOMPARE(transpose->getMapValueAt(127), BYTE('A'));
        MIDIDataTransform* velocityMap = patch->getMIDIDataTransformAtIndex(1);
        QCOMPARE(velocityMap->getMapValueAt(0), BYTE('%'));
        QCOMPARE(velocityMap->getMapValueAt(1), BYTE('z'));
        QVERIFY(velocityMap->hasEditorPosition());
        QCOMPARE(velocityMap->getEditorPosition(), QPoint(0, 12));
        MIDIPatchTarget* second = output->getMIDIPatchTargetAtIndex(1);
        QCOMPARE(second->getMIDIChannel(), BYTE(0));
        QCOMPARE(second->getMessageDelayInMillisecs(), 0);

        // The setup plays: the bend goes out clamped to the 14-bit range when the output is
        // activated again, and notes are transposed without wrapping into nonsense.
        RoutingTestRig::clearSent();
        RoutingTestRig::play(QStringLiteral("Keys"), {0x90, 60, 100});
        QVERIFY(RoutingTestRig::takeSent(QStringLiteral("SynthB")).isEmpty()); // muted patch
        const QList<midiMessage_t> sent = RoutingTestRig::takeSent(QStringLiteral("SynthC"));
        QCOMPARE(sent, QList<midiMessage_t>({{0x90, 60, 100}}));

        // Read once, the setup saves and reads to the same document from then on.
        const QByteArray once = documentOf(&setup);
        MIDIRoutingSetup again(QStringLiteral("no name"), nullptr);
        QVERIFY(files()->readSetupFromDocumentBytes(&again, once, QStringLiteral("again")));
        QCOMPARE(documentOf(&again), once);
    }

    void moderatelyNestedExtraElementsAreStillRead()
    {
        // Unknown wrapper elements are passed over as long as the depth stays reasonable.
        QByteArray text = "<MIDIRoutingSetup>";
        for (int i = 0; i < 40; ++i)
            text += "<w>";
        text += "<MIDIRoutes><MIDIRoute name=\"Deep\" midiPortName=\"Pads\"/></MIDIRoutes>";
        for (int i = 0; i < 40; ++i)
            text += "</w>";
        text += "</MIDIRoutingSetup>";
        MIDIRoutingSetup setup(QStringLiteral("no name"), nullptr);
        QVERIFY(files()->readSetupFromDocumentBytes(&setup, text, QStringLiteral("deep")));
        QCOMPARE(setup.getMIDIRouteAtIndex(0)->getName(), QStringLiteral("Deep"));
    }

    // Writing.

    void saveFailure_data()
    {
        QTest::addColumn<QString>("where");
        QTest::addColumn<QString>("reason");
        QTest::newRow("folder is a file") << "beside a file"
                                          << "Not a directory";
        QTest::newRow("target is a folder") << "onto a folder"
                                            << "directory";
    }

    void saveFailure()
    {
        QFETCH(QString, where);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        QString path;
        if (where == QLatin1String("beside a file")) {
            QVERIFY(writeFile(dir.filePath(QStringLiteral("plain")), "not a folder"));
            path = dir.filePath(QStringLiteral("plain/setup.ms"));
        } else {
            path = dir.filePath(QStringLiteral("setup.ms"));
            QVERIFY(QDir().mkpath(path));
        }
        SetupPtr setup = settledSetup();
        setup->setName(QStringLiteral("Changed"));
        QSignalSpy errors(StatusManager::GetInstance(), &StatusManager::errorMessagePosted);
        QSignalSpy finished(files(), &SetupFileReaderWriter::setupFileSaveFinished);

        QVERIFY(!files()->saveSetupToDisk(setup.get(), path));

        QCOMPARE(errors.count(), 1);
        const QString message = errors.at(0).at(0).toString();
        QVERIFY2(
            message.startsWith(
                QStringLiteral("Could not save the setup to \"%1\": ").arg(QDir::toNativeSeparators(path))),
            qPrintable(message));
        QVERIFY2(message.contains(reason), qPrintable(message));
        QVERIFY2(message.endsWith(QLatin1Char('.')) && !message.endsWith(QLatin1String("..")),
                 qPrintable(message));
        QCOMPARE(finished.count(), 0);
        QVERIFY(setup->isModified());
        QCOMPARE(setup->getFilePath(), QStringLiteral("/gig/previous.ms"));
    }

    void saveCutShortKeepsTheOldFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("gig.ms"));
        const QByteArray oldBytes = "the old setup, byte for byte";
        QVERIFY(writeFile(path, oldBytes));
        SetupPtr setup(buildSetupUsingEverything());
        QSignalSpy errors(StatusManager::GetInstance(), &StatusManager::errorMessagePosted);

        bool saved = true;
        {
            // As when the disk fills up part way through.
            FileSizeLimit limit(64);
            saved = files()->saveSetupToDisk(setup.get(), path);
        }

        QVERIFY(!saved);
        QCOMPARE(readFile(path), oldBytes);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({QStringLiteral("gig.ms")}));
        QCOMPARE(errors.count(), 1);
        QVERIFY2(
            errors.at(0).at(0).toString().startsWith(
                QStringLiteral("Could not save the setup to \"%1\": ").arg(QDir::toNativeSeparators(path))),
            qPrintable(errors.at(0).at(0).toString()));
        QVERIFY(setup->isModified());
        QVERIFY(!setup->hasBeenSaved());
    }

    void saveIntoLockedFolderKeepsTheOldFile()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("locked"));
        QVERIFY(QDir().mkpath(folder));
        const QString path = folder + QStringLiteral("/gig.ms");
        const QByteArray oldBytes = "<MIDIRoutingSetup name=\"Old\"/>";
        QVERIFY(writeFile(path, oldBytes));
        SetupPtr setup(buildSetupUsingEverything());
        QSignalSpy errors(StatusManager::GetInstance(), &StatusManager::errorMessagePosted);
        bool saved = true;
        {
            ImmutableFolder locked(folder);
            if (!locked.isSet())
                QSKIP("The file system does not let this process lock a folder.");
            // Root ignores permission bits, so make sure the lock really holds.
            QVERIFY(!writeFile(folder + QStringLiteral("/probe"), "x"));
            saved = files()->saveSetupToDisk(setup.get(), path);
        }
        QVERIFY(!saved);
        QCOMPARE(readFile(path), oldBytes);
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList({QStringLiteral("gig.ms")}));
        QCOMPARE(errors.count(), 1);
        QVERIFY2(errors.at(0).at(0).toString().contains(QDir::toNativeSeparators(path)),
                 qPrintable(errors.at(0).at(0).toString()));
        QVERIFY(setup->isModified());
    }

    void successfulSaveReplacesTheOldFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("gig.ms"));
        QVERIFY(writeFile(path, "old"));
        SetupPtr setup(buildSetupUsingEverything());
        QVERIFY(files()->saveSetupToDisk(setup.get(), path));
        QCOMPARE(readFile(path), documentOf(setup.get()));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({QStringLiteral("gig.ms")}));
    }

    void savingWithNoFileNamedIsAnError()
    {
        SetupPtr setup = settledSetup();
        setup->setFilePath(QString());
        setup->setName(QStringLiteral("Changed"));
        QSignalSpy errors(StatusManager::GetInstance(), &StatusManager::errorMessagePosted);
        QSignalSpy starting(files(), &SetupFileReaderWriter::setupFileSaveStarting);
        QVERIFY(!files()->saveSetupToDisk(setup.get(), QString()));
        QCOMPARE(errors.count(), 1);
        QCOMPARE(starting.count(), 0);
        QVERIFY(setup->isModified());
    }

    void nullSetupIsRefusedQuietly()
    {
        QSignalSpy errors(StatusManager::GetInstance(), &StatusManager::errorMessagePosted);
        QVERIFY(!files()->readSetupFromDisk(nullptr, QStringLiteral("/tmp/x.ms")));
        QVERIFY(!files()->saveSetupToDisk(nullptr, QStringLiteral("/tmp/x.ms")));
        QVERIFY(!files()->readSetupFromDocumentBytes(nullptr, "<MIDIRoutingSetup/>", QStringLiteral("x")));
        QCOMPARE(errors.count(), 0);
    }
};

QTEST_GUILESS_MAIN(SetupFileFailuresTest)
#include "tst_SetupFileFailures.moc"
