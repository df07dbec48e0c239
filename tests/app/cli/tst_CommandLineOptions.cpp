#include "app/cli/CommandLineOptions.h"
#include "app/cli/StderrStatusPrinter.h"

#include <QTemporaryDir>
#include <QTest>

using Mode = CommandLineOptions::Mode;

class CommandLineOptionsTest : public QObject
{
    Q_OBJECT

private slots:
    void modesAndTheirFiles_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("api");
        QTest::newRow("nothing") << QStringList() << int(Mode::Gui) << QString() << QString();
        QTest::newRow("headless") << QStringList{"--headless", "gig.ms"} << int(Mode::Headless) << "gig.ms"
                                  << "";
        QTest::newRow("headless jack")
            << QStringList{"--midi-api", "JACK", "--headless", "a.ms"} << int(Mode::Headless) << "a.ms"
            << "jack";
        QTest::newRow("jack through rtmidi")
            << QStringList{"--headless", "c.ms", "--midi-api", "Jack-RtMidi"} << int(Mode::Headless) << "c.ms"
            << "jack-rtmidi";
        QTest::newRow("check with =")
            << QStringList{"--check", "b.ms", "--midi-api=alsa"} << int(Mode::Check) << "b.ms"
            << "alsa";
        QTest::newRow("list") << QStringList{"--list-ports"} << int(Mode::ListPorts) << ""
                              << "";
        QTest::newRow("help") << QStringList{"--help"} << int(Mode::Help) << ""
                              << "";
        QTest::newRow("version") << QStringList{"--version"} << int(Mode::Version) << ""
                                 << "";
        QTest::newRow("gui ignores a missing file") << QStringList{"nothere.ms"} << int(Mode::Gui) << ""
                                                    << "";
        QTest::newRow("gui ignores other words") << QStringList{"hello", "x"} << int(Mode::Gui) << ""
                                                 << "";
    }

    void modesAndTheirFiles()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, mode);
        QFETCH(QString, file);
        QFETCH(QString, api);
        const CommandLineOptions options = CommandLineOptions::parse(arguments);
        QCOMPARE(int(options.mode()), mode);
        QCOMPARE(options.setupFile(), file);
        QCOMPARE(options.midiApi(), api);
    }

    void freshStandsAnywhereAndTakesNoFile()
    {
        for (const QStringList& arguments :
             {QStringList{"--headless", "gig.ms", "--fresh"}, QStringList{"--fresh", "--headless", "gig.ms"},
              QStringList{"--headless", "gig.ms", "--fresh", "--midi-api", "jack"}}) {
            const CommandLineOptions options = CommandLineOptions::parse(arguments);
            QCOMPARE(int(options.mode()), int(Mode::Headless));
            QCOMPARE(options.setupFile(), QStringLiteral("gig.ms"));
            QVERIFY(options.fresh());
        }
        QVERIFY(!CommandLineOptions::parse({"--headless", "gig.ms"}).fresh());
        // "--fresh" is not taken for the file that --headless needs.
        QCOMPARE(int(CommandLineOptions::parse({"--headless", "--fresh"}).mode()), int(Mode::Error));
    }

    void guiOpensAnExistingSetupFileOnlyWithTheExactSuffix()
    {
        QTemporaryDir dir;
        const QString good = dir.filePath(QStringLiteral("set.ms"));
        const QString shouting = dir.filePath(QStringLiteral("SET.MS"));
        for (const QString& path : {good, shouting}) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        QCOMPARE(CommandLineOptions::parse({good}).setupFile(), good);
        QCOMPARE(CommandLineOptions::parse({shouting}).setupFile(), QString());
        QCOMPARE(CommandLineOptions::parse({QStringLiteral("extra"), good}).setupFile(), QString());
    }

    void mistakesAreExplained_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("text");
        QTest::newRow("headless without file")
            << QStringList{"--headless"} << "--headless needs a setup file (.ms).";
        QTest::newRow("check followed by option")
            << QStringList{"--check", "--list-ports"}
            << "Choose one of --headless, --check, --list-ports, --help, --version.";
        QTest::newRow("unknown api") << QStringList{"--midi-api", "coreaudio"}
                                     << "Unknown MIDI API \"coreaudio\": use alsa, jack or jack-rtmidi.";
        QTest::newRow("api without value")
            << QStringList{"--midi-api"} << "--midi-api needs a value: alsa, jack or jack-rtmidi.";
        QTest::newRow("two modes") << QStringList{"--headless", "a.ms", "--check", "a.ms"}
                                   << "Choose one of --headless, --check, --list-ports, --help, --version.";
        QTest::newRow("set list without file")
            << QStringList{"--headless", "--set-list"} << "--set-list needs a set list file (.msl).";
        QTest::newRow("set list followed by option")
            << QStringList{"--set-list", "--headless"} << "--set-list needs a set list file (.msl).";
        QTest::newRow("set list and setup")
            << QStringList{"--headless", "gig.ms", "--set-list", "friday.msl"}
            << "--headless plays either a setup file or a --set-list, not both.";
        QTest::newRow("check without file")
            << QStringList{"--check"} << "--check needs a setup file (.ms) or a set list (.msl).";
    }

    void setListsHeadlessInTheWindowAndChecked()
    {
        CommandLineOptions options =
            CommandLineOptions::parse({"--headless", "--set-list", "friday.msl", "--midi-api", "jack"});
        QCOMPARE(int(options.mode()), int(Mode::Headless));
        QCOMPARE(options.setListFile(), QStringLiteral("friday.msl"));
        QVERIFY(options.setupFile().isEmpty());
        options = CommandLineOptions::parse({"--set-list=/gig/friday.msl", "--headless"});
        QCOMPARE(int(options.mode()), int(Mode::Headless));
        QCOMPARE(options.setListFile(), QStringLiteral("/gig/friday.msl"));
        options = CommandLineOptions::parse({"--set-list", "friday.msl"});
        QCOMPARE(int(options.mode()), int(Mode::Gui));
        QCOMPARE(options.setListFile(), QStringLiteral("friday.msl"));
        // One file named, as a service unit does: a set list by its extension.
        options = CommandLineOptions::parse({"--headless", "/gig/Friday.MSL"});
        QCOMPARE(int(options.mode()), int(Mode::Headless));
        QCOMPARE(options.setListFile(), QStringLiteral("/gig/Friday.MSL"));
        QVERIFY(options.setupFile().isEmpty());
        options = CommandLineOptions::parse({"--check", "friday.msl"});
        QCOMPARE(int(options.mode()), int(Mode::Check));
        QCOMPARE(options.setupFile(), QStringLiteral("friday.msl"));
        QVERIFY(CommandLineOptions::usageText().contains(QLatin1String("--set-list FILE.msl")));
    }

    void mistakesAreExplained()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, text);
        const CommandLineOptions options = CommandLineOptions::parse(arguments);
        QCOMPARE(int(options.mode()), int(Mode::Error));
        QCOMPARE(options.errorText(), text);
    }

    void statusLinesStayOnOneLine()
    {
        QCOMPARE(StderrStatusPrinter::formatLine(
                     QStringLiteral("warning"),
                     QStringLiteral("MIDI output port \"A\" not found.\n\nUsing \"B\".")),
                 QStringLiteral("warning: MIDI output port \"A\" not found. Using \"B\"."));
    }
};

QTEST_GUILESS_MAIN(CommandLineOptionsTest)
#include "tst_CommandLineOptions.moc"
