// The program started for its window where there is none to open, and asked for its version.
#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>

class WindowedProgramTest : public QObject
{
    Q_OBJECT

    static QProcessEnvironment environmentWithout(const QStringList& names)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const QString& name : names)
            environment.remove(name);
        return environment;
    }

    static void expectNoDisplayLine(QProcess& program)
    {
        QVERIFY(program.waitForFinished(20000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 2);
        const QByteArray text = program.readAllStandardError();
        QCOMPARE(text, QByteArray("error: no display to open the window on; use --headless FILE.ms to route "
                                  "without one\n"));
    }

private slots:
    void startingWithoutAnyDisplaySaysSoInOneLine()
    {
        QProcess program;
        program.setProcessEnvironment(
            environmentWithout({QStringLiteral("DISPLAY"), QStringLiteral("WAYLAND_DISPLAY"),
                                QStringLiteral("QT_QPA_PLATFORM")}));
        program.start(QStringLiteral(QUORVELL_PROGRAM), {});
        expectNoDisplayLine(program);
    }

    void startingWithADisplayThatIsNotThereSaysTheSame()
    {
        QProcess program;
        QProcessEnvironment environment =
            environmentWithout({QStringLiteral("WAYLAND_DISPLAY"), QStringLiteral("QT_QPA_PLATFORM")});
        environment.insert(QStringLiteral("DISPLAY"), QStringLiteral(":97"));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(QUORVELL_PROGRAM), {});
        expectNoDisplayLine(program);
    }

    void versionIsTheReleaseNumber()
    {
        QProcess program;
        program.setProcessEnvironment(environmentWithout({QStringLiteral("DISPLAY")}));
        program.start(QStringLiteral(QUORVELL_PROGRAM), {QStringLiteral("--version")});
        QVERIFY(program.waitForFinished(20000));
        QCOMPARE(program.exitCode(), 0);
        QCOMPARE(program.readAllStandardOutput(), QByteArray("Quorvell 2.0.1\n"));
    }
};

QTEST_GUILESS_MAIN(WindowedProgramTest)
#include "tst_WindowedProgram.moc"
