#include "app/StatusManager.h"
#include "midi/MIDIBackendError.h"
#include "midi/MIDIPortIOManager.h"
#include "midi/MIDIPortInfo.h"
#include "midi/RtMidiBackend.h"
#include "support/JackServer.h"
#include "support/RecordingMIDIInputHandler.h"
#include "support/TestPrefs.h"

#include <QSignalSpy>
#include <QTest>

// Which MIDI service the program talks to. There is no sound card here, so ALSA never opens; JACK
// is the private server of the test run.
class MIDIBackendChoiceJackTest : public QObject
{
    Q_OBJECT

    QByteArray _jackServer;

private slots:
    void initTestCase()
    {
        useTemporaryPrefs();
        _jackServer = qgetenv("JACK_DEFAULT_SERVER");
    }

    void cleanup()
    {
        qunsetenv("QUORVELL_MIDI_API");
        if (_jackServer.isEmpty())
            qunsetenv("JACK_DEFAULT_SERVER");
        else
            qputenv("JACK_DEFAULT_SERVER", _jackServer);
        RtMidiBackend::setPreferredApi(QString());
    }

    void environmentChoosesJack()
    {
        QUORVELL_REQUIRE_JACK_SERVER();
        qputenv("QUORVELL_MIDI_API", "jack");
        QSignalSpy warnings(StatusManager::GetInstance(), &StatusManager::warningMessagePosted);
        RtMidiBackend backend;
        QCOMPARE(backend.getApiName(), QStringLiteral("JACK"));
        QCOMPARE(backend.getUnavailableReason(), QString());
        QCOMPARE(warnings.count(), 0);
        QVERIFY(backend.createInputPort());
        QVERIFY(backend.createOutputPort());
    }

    void environmentForcingAlsaNeverFallsBackToJack()
    {
        qputenv("QUORVELL_MIDI_API", "ALSA");
        QSignalSpy warnings(StatusManager::GetInstance(), &StatusManager::warningMessagePosted);
        RtMidiBackend backend;
        QVERIFY(backend.getApiName() != QStringLiteral("JACK"));
        if (backend.getApiName() == QStringLiteral("none")) {
            QCOMPARE(warnings.count(), 1);
            const QString warning = warnings.at(0).at(0).toString();
            QVERIFY2(warning.startsWith(
                         QStringLiteral("No MIDI service is available: ALSA was asked for, but the ALSA "
                                        "sequencer cannot be opened (")),
                     qPrintable(warning));
            QVERIFY(backend.getInputPortNames().empty());
            QVERIFY(backend.getOutputPortNames().empty());
        }
    }

    void commandLineChoiceWinsOverEnvironment()
    {
        QUORVELL_REQUIRE_JACK_SERVER();
        qputenv("QUORVELL_MIDI_API", "alsa");
        QVERIFY(RtMidiBackend::setPreferredApi(QStringLiteral("Jack")));
        QCOMPARE(RtMidiBackend::getPreferredApi(), QStringLiteral("jack"));
        QVERIFY(!RtMidiBackend::setPreferredApi(QStringLiteral("coremidi")));
        QCOMPARE(RtMidiBackend::getPreferredApi(), QStringLiteral("jack"));
        RtMidiBackend backend;
        QCOMPARE(backend.getApiName(), QStringLiteral("JACK"));
    }

    void unknownEnvironmentValueIsReportedAndIgnored()
    {
        QUORVELL_REQUIRE_JACK_SERVER();
        qputenv("QUORVELL_MIDI_API", "coremidi");
        QSignalSpy warnings(StatusManager::GetInstance(), &StatusManager::warningMessagePosted);
        RtMidiBackend backend;
        QVERIFY(backend.getApiName() != QStringLiteral("none")); // chosen by itself: a JACK server runs
        QCOMPARE(warnings.count(), 1);
        QCOMPARE(
            warnings.at(0).at(0).toString(),
            QStringLiteral("QUORVELL_MIDI_API is set to 'coremidi', which is neither alsa nor jack; the MIDI "
                           "service is chosen automatically."));
    }

    void jackServerThatDoesNotRunIsNeverStarted()
    {
        qputenv("QUORVELL_MIDI_API", "jack");
        qputenv("JACK_DEFAULT_SERVER", "quorvell-no-such-server");
        QSignalSpy warnings(StatusManager::GetInstance(), &StatusManager::warningMessagePosted);
        RtMidiBackend backend;
        QCOMPARE(backend.getApiName(), QStringLiteral("none"));
        QCOMPARE(warnings.count(), 1);
        const QString warning = warnings.at(0).at(0).toString();
        QVERIFY2(
            warning.startsWith(QStringLiteral(
                "No MIDI service is available: JACK was asked for, but no JACK server can be reached (")),
            qPrintable(warning));
        QVERIFY(warning.endsWith(QStringLiteral("The program runs without MIDI ports.")));
        QVERIFY(backend.getUnavailableReason().contains(QStringLiteral("JACK")));
        QVERIFY(backend.getInputPortNames().empty());
        QVERIFY_THROWS_EXCEPTION(MIDIBackendError, backend.createInputPort());
        QVERIFY_THROWS_EXCEPTION(MIDIBackendError, backend.createOutputPort());
        // Nothing started a server behind our back.
        QCOMPARE(checkJackServer(), JackServerState::Unreachable);
    }

    // The only case that makes the program's catalogue: with no service it is empty.
    void withNoServiceThereAreNoPortsAndAWarning()
    {
        qputenv("QUORVELL_MIDI_API", "jack");
        qputenv("JACK_DEFAULT_SERVER", "quorvell-no-such-server");
        QSignalSpy warnings(StatusManager::GetInstance(), &StatusManager::warningMessagePosted);
        MIDIPortInfo* info = MIDIPortInfo::GetInstance();
        QCOMPARE(MIDIBackend::GetInstance()->getApiName(), QStringLiteral("none"));
        QCOMPARE(warnings.count(), 1);
        QCOMPARE(info->getNumInputPorts(), 0);
        QCOMPARE(info->getNumOutputPorts(), 0);
        QVERIFY(!hasAnyInputPorts());
        QVERIFY(!hasAnyOutputPorts());
        QCOMPARE(info->getDefaultInputPortName(), QString());
        QCOMPARE(info->getNameOfFirstOutputPort(), QString());
        QCOMPARE(info->getIndexOfInputPortNamed(QStringLiteral("QvKeys:out")), -1);

        RecordingMIDIInputHandler route;
        MIDIPortIOManager* manager = MIDIPortIOManager::GetInstance();
        manager->addRequiredInputPortNamed(QStringLiteral("QvKeys:out"), &route);
        QVERIFY(!manager->isInputPortOpen(QStringLiteral("QvKeys:out")));
        midiMessage_t message = {0x90, 0x3C, 0x64};
        manager->deliverMessageToOutputPort(0, &message);
        manager->removeAllPortRequirements();
    }
};

QTEST_GUILESS_MAIN(MIDIBackendChoiceJackTest)
#include "tst_MIDIBackendChoiceJack.moc"
