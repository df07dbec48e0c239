// A bounded, seeded mutation test of the setup file reader: thousands of damaged variants of the
// documents in corpus/ are read. None may crash or hang; each one is either refused with an error
// that names it, leaving the setup untouched, or read into a setup that then saves and reads back
// to the same document.
#include "app/StatusManager.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "persistence/SetupFileReaderWriter.h"
#include "support/FullSetupBuilder.h"
#include "support/RoutingTestRig.h"
#include "support/TestPrefs.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

namespace {

// The run ctest makes. Longer explorations: QUORVELL_FUZZ_SEED and QUORVELL_FUZZ_MUTATIONS.
constexpr quint32 kSeed = 0x5e7f11e5;
constexpr int kMutations = 2500;

quint32 fuzzSeed()
{
    bool ok = false;
    const quint32 seed = qEnvironmentVariable("QUORVELL_FUZZ_SEED").toUInt(&ok);
    return ok ? seed : kSeed;
}

int fuzzMutations()
{
    bool ok = false;
    const int count = qEnvironmentVariableIntValue("QUORVELL_FUZZ_MUTATIONS", &ok);
    return ok && count > 0 ? count : kMutations;
}

const char* const kTagNames[] = {
    "MIDIRoutingSetup",     "MIDIRoutes",         "MIDIRoute",        "MIDIOutputs",
    "MIDIOutput",           "MIDIPatchTargets",   "MIDIPatchTarget",  "MIDIPatchInitializers",
    "MIDIPatchInitializer", "MIDIDataTransforms", "MIDIDataTransform"};

const char* const kInterestingValues[] = {
    "",     "-1",         "0",           "1",           "127",        "128",  "255",
    "256",  "-129",       "15",          "16",          "121",        "122",  "500",
    "501",  "2147483647", "-2147483648", "99999999999", "abc",        "0x10", "1e3",
    " 7 ",  "%00",        "%",           "%7",          "&amp;&lt;",  "Keys", "SynthB",
    "Gone", "Transpose",  "CC Map",      "Note On",     "Pitch Bend", "Nope", "日本 ♫"};

const char* const kSnippets[] = {
    "<MIDIDataTransform name=\"Transpose\" int1=\"99\"/>",
    "<MIDIDataTransform name=\"Velocity Map\" valueMapping=\"%00%01\" valueMappingEscaped=\"1\"/>",
    "<MIDIDataTransform name=\"Mystery\"/>",
    "<MIDIPatchInitializer name=\"Pitch Bend\" int1=\"-5\"/>",
    "<MIDIPatchInitializer/>",
    "<MIDIPatchTarget midiOutputPortName=\"SynthC\" midiChannelIndex=\"300\"/>",
    "<MIDIOutput isActive=\"1\" activeSwitchType=\"1\" activeProgramChange=\"3\"/>",
    "<MIDIRoute midiPortName=\"Nowhere\"/>",
    "<MIDIOutputs><MIDIOutput/></MIDIOutputs>",
    "<MIDIRoutes/>",
    "<![CDATA[<MIDIRoute>]]>",
    "<!-- comment -->",
    "<?pi data?>",
    "&amp;",
    "&undefined;",
    "\x01\x00\x1f",
    "\xff\xfe",
};

QByteArray randomBytes(QRandomGenerator& random, int count)
{
    QByteArray bytes(count, '\0');
    for (char& c : bytes)
        c = char(random.bounded(256));
    return bytes;
}

template <typename T, std::size_t N> const T& pick(QRandomGenerator& random, const T (&items)[N])
{
    return items[random.bounded(int(N))];
}

// One random change to the document.
void mutate(QByteArray& doc, QRandomGenerator& random)
{
    const int size = int(doc.size());
    const int at = size > 0 ? random.bounded(size) : 0;
    switch (random.bounded(10)) {
    case 0: // flip a byte
        if (size > 0)
            doc[at] = char(random.bounded(256));
        break;
    case 1: // insert random bytes
        doc.insert(at, randomBytes(random, 1 + random.bounded(8)));
        break;
    case 2: // delete a run of bytes
        doc.remove(at, 1 + random.bounded(32));
        break;
    case 3: { // copy a chunk elsewhere
        const QByteArray chunk = doc.mid(at, 1 + random.bounded(400));
        doc.insert(size > 0 ? random.bounded(size) : 0, chunk);
        break;
    }
    case 4: // cut the end off
        doc.truncate(at);
        break;
    case 5:
    case 6: { // give an attribute an interesting value
        static const QRegularExpression attribute(QStringLiteral("=\"[^\"]*\""));
        const QString text = QString::fromUtf8(doc);
        QList<QRegularExpressionMatch> matches;
        for (const QRegularExpressionMatch& match : attribute.globalMatch(text))
            matches.append(match);
        if (matches.isEmpty())
            break;
        const QRegularExpressionMatch& match = matches.at(random.bounded(int(matches.size())));
        QString changed = text;
        changed.replace(match.capturedStart(), match.capturedLength(),
                        QStringLiteral("=\"%1\"").arg(QString::fromUtf8(pick(random, kInterestingValues))));
        doc = changed.toUtf8();
        break;
    }
    case 7: { // rename one element type everywhere, keeping the document well-formed
        const QString from = QString::fromLatin1(pick(random, kTagNames));
        const QString to = QString::fromLatin1(pick(random, kTagNames));
        QString text = QString::fromUtf8(doc);
        text.replace(QRegularExpression(QStringLiteral("<(/?)%1(?=[\\s/>])").arg(from)),
                     QStringLiteral("<\\1%1").arg(to));
        doc = text.toUtf8();
        break;
    }
    case 8: { // insert an element just before a tag
        const int tag = doc.indexOf('<', at);
        doc.insert(tag >= 0 ? tag : size, QByteArray(pick(random, kSnippets)));
        break;
    }
    default: { // remove an attribute
        static const QRegularExpression attribute(QStringLiteral(" [A-Za-z0-9]+=\"[^\"]*\""));
        const QString text = QString::fromUtf8(doc);
        const QRegularExpressionMatch match = attribute.match(text, random.bounded(int(text.size()) + 1));
        if (!match.hasMatch())
            break;
        QString changed = text;
        changed.remove(match.capturedStart(), match.capturedLength());
        doc = changed.toUtf8();
        break;
    }
    }
}

} // namespace

class SetupFileFuzzTest : public QObject
{
    Q_OBJECT

private:
    QList<QByteArray> _seeds;
    int _errors = 0;
    QString _lastError;

    // Reads one document into a fresh setup and checks the outcome; tells whether it was read.
    void _readOne(const QByteArray& bytes, const QString& label, bool* wasRead)
    {
        SetupFileReaderWriter* files = SetupFileReaderWriter::GetInstance();
        MIDIRoutingSetup setup(QStringLiteral("no name"), nullptr);
        const int errorsBefore = _errors;
        *wasRead = files->readSetupFromDocumentBytes(&setup, bytes, label);
        RoutingTestRig::clearSent();
        if (!*wasRead) {
            // Refused: exactly one error naming the document, and the setup as it was.
            QCOMPARE(_errors, errorsBefore + 1);
            QVERIFY2(_lastError.contains(label) && _lastError.endsWith(QLatin1Char('.')),
                     qPrintable(_lastError));
            QVERIFY(setup.isEmpty());
            QCOMPARE(setup.getName(), QStringLiteral("no name"));
            QVERIFY(!setup.isModified());
            return;
        }
        QVERIFY(!setup.isModified());
        // Whatever was accepted saves and reads back to the same document.
        const QByteArray once = SetupFileReaderWriter::setupDocumentBytes(&setup);
        MIDIRoutingSetup again(QStringLiteral("no name"), nullptr);
        QVERIFY(files->readSetupFromDocumentBytes(&again, once, label + QStringLiteral(" saved")));
        QCOMPARE(SetupFileReaderWriter::setupDocumentBytes(&again), once);
        RoutingTestRig::clearSent();
    }

private slots:
    void initTestCase()
    {
        useTemporaryPrefs();
        RoutingTestRig::install();
        SetupPtrWarmUp();
        connect(StatusManager::GetInstance(), &StatusManager::errorMessagePosted, this,
                [this](QString message) {
                    ++_errors;
                    _lastError = message;
                });
        const QString corpus = QFINDTESTDATA("corpus");
        QVERIFY(!corpus.isEmpty());
        const QFileInfoList entries =
            QDir(corpus).entryInfoList({QStringLiteral("*.ms")}, QDir::Files, QDir::Name);
        for (const QFileInfo& entry : entries) {
            QFile file(entry.filePath());
            QVERIFY(file.open(QIODevice::ReadOnly));
            _seeds.append(file.readAll());
        }
        QVERIFY(_seeds.size() >= 4);
    }

    void everySeedDocumentReads()
    {
        for (int i = 0; i < _seeds.size(); ++i) {
            bool wasRead = false;
            _readOne(_seeds.at(i), QStringLiteral("seed %1").arg(i), &wasRead);
            if (QTest::currentTestFailed())
                return;
            QVERIFY2(wasRead, qPrintable(QStringLiteral("seed %1: %2").arg(i).arg(_lastError)));
        }
    }

    void damagedDocumentsAreReadOrRefusedClearly()
    {
        const int mutations = fuzzMutations();
        QRandomGenerator random(fuzzSeed());
        int read = 0;
        int refused = 0;
        for (int i = 0; i < mutations; ++i) {
            QByteArray doc = _seeds.at(random.bounded(int(_seeds.size())));
            const int changes = 1 + random.bounded(4);
            for (int c = 0; c < changes; ++c)
                mutate(doc, random);
            const QString label = QStringLiteral("mutant %1").arg(i);
            bool wasRead = false;
            _readOne(doc, label, &wasRead);
            ++(wasRead ? read : refused);
            if (QTest::currentTestFailed()) {
                qWarning("%s (%lld bytes) failed:\n%s", qPrintable(label), qlonglong(doc.size()),
                         doc.left(3000).toPercentEncoding(" <>=\"/\n!?-_.:").constData());
                return;
            }
        }
        qInfo("%d damaged documents: %d read, %d refused", mutations, read, refused);
        // Both outcomes occur, or the mutations test nothing.
        QVERIFY2(read > mutations / 10, qPrintable(QStringLiteral("%1 read").arg(read)));
        QVERIFY2(refused > mutations / 10, qPrintable(QStringLiteral("%1 refused").arg(refused)));
    }

private:
    static void SetupPtrWarmUp() { delete buildSetupUsingEverything(); }
};

QTEST_GUILESS_MAIN(SetupFileFuzzTest)
#include "tst_SetupFileFuzz.moc"
