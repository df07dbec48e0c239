// Routing without a window heals the same way as the window: a synth unplugged and plugged back
// while a headless session runs is warned about, reconnected, and hears the next notes.
#include "app/StatusManager.h"
#include "app/cli/CommandLineOptions.h"
#include "app/cli/HeadlessSession.h"
#include "midi/MIDIPortInfo.h"
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "persistence/SetupFileReaderWriter.h"
#include "support/FakeMIDIBackend.h"
#include "support/RoutingTestRig.h"
#include "support/TestPrefs.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using Bytes = midiMessage_t;
using Sent = QList<Bytes>;

class HeadlessPortsComeAndGoTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        useTemporaryPrefs();
        RoutingTestRig::install();
    }

    void headlessSessionHealsAfterASynthComesBack()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("gig.ms"));
        {
            MIDIRoutingSetup setup(QStringLiteral("Gig"), nullptr);
            MIDIRoute* route = setup.createNewMIDIRoute(false);
            route->setMIDIInputPortName(QStringLiteral("Keys"));
            route->setMIDIChannel(MIDIRoute::kAnyChannel);
            MIDIPatchTarget* patch = route->getMIDIOutputAtIndex(0)->getMIDIPatchTargetAtIndex(0);
            patch->setMIDIOutputPortName(QStringLiteral("SynthB"));
            patch->setMIDIChannel(3);
            QVERIFY(SetupFileReaderWriter::GetInstance()->saveSetupToDisk(&setup, path));
        }
        RoutingTestRig::clearSent();
        FakeMIDIBackend* backend = RoutingTestRig::backend();
        QSignalSpy warnings(StatusManager::GetInstance(), &StatusManager::warningMessagePosted);
        QSignalSpy statuses(StatusManager::GetInstance(),
                            qOverload<QString>(&StatusManager::statusMessagePosted));
        Sent heardBack;

        // The evening, on the session's own event loop: unplug, wait for the notice, plug back in,
        // wait for the reconnection, play, stop.
        QTimer::singleShot(100, [backend] { backend->removeOutputPort(QStringLiteral("SynthB")); });
        QTimer::singleShot(2500, [backend] { backend->addOutputPort(QStringLiteral("SynthB")); });
        QTimer::singleShot(4800, [&heardBack] {
            RoutingTestRig::play(QStringLiteral("Keys"), {0x90, 60, 100});
            heardBack = RoutingTestRig::takeSent(QStringLiteral("SynthB"));
            RoutingTestRig::play(QStringLiteral("Keys"), {0x80, 60, 0});
            QCoreApplication::quit();
        });
        QCOMPARE(HeadlessSession::run(CommandLineOptions::parse({QStringLiteral("--headless"), path})), 0);

        QCOMPARE(heardBack, Sent({{0x93, 60, 100}}));
        QCOMPARE(warnings.count(), 1);
        QVERIFY2(warnings.at(0).at(0).toString().contains(QStringLiteral("\"SynthB\" has gone")),
                 qPrintable(warnings.at(0).at(0).toString()));
        QStringList statusTexts;
        for (const QList<QVariant>& call : statuses)
            statusTexts << call.at(0).toString();
        QVERIFY2(statusTexts.join(QLatin1Char('|')).contains(QStringLiteral("\"SynthB\" is back")),
                 qPrintable(statusTexts.join(QLatin1Char('|'))));
    }
};

QTEST_GUILESS_MAIN(HeadlessPortsComeAndGoTest)
#include "tst_HeadlessPortsComeAndGo.moc"
