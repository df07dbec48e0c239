#include "app/StatusManager.h"
#include "midi/MIDIBackend.h"
#include "midi/MIDIPortIOManager.h"
#include "midi/MIDIPortInfo.h"
#include "midi/RtMidiBackend.h"
#include "support/JackServer.h"
#include "support/JackTestClient.h"
#include "support/RecordingMIDIInputHandler.h"
#include "support/TestPrefs.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>
#include <thread>

// The port layer end to end on the private JACK server: other programs' ports, made before the
// catalogue is first used, are listed, opened, played into and sent to.
namespace {

int patchTokens[2];
MIDIPatchTarget* patch(int i)
{
    return reinterpret_cast<MIDIPatchTarget*>(&patchTokens[i]);
}

// Every message in `messages` has these bytes.
template <typename List> bool allAre(const List& messages, const midiMessage_t& bytes)
{
    for (const auto& message : messages) {
        if (message.bytes != bytes)
            return false;
    }
    return true;
}

// Unregisters every handler when a test function ends, before its handlers go out of scope: a
// message still arriving must never reach a handler that is gone.
struct ReleasePortsAtEnd
{
    ~ReleasePortsAtEnd() { MIDIPortIOManager::GetInstance()->removeAllPortRequirements(); }
};

} // namespace

class MIDIPortsJackTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<JackTestClient> _keys;
    std::unique_ptr<JackTestClient> _pads;
    std::unique_ptr<JackTestClient> _gone;
    std::unique_ptr<JackTestClient> _synth;
    MIDIPortIOManager* _manager = nullptr;

    int outputIndexOf(const JackTestClient& client)
    {
        return MIDIPortInfo::GetInstance()->getIndexOfOutputPortNamed(client.sinkPortName());
    }

private slots:
    void initTestCase()
    {
        useTemporaryPrefs();
        QUORVELL_REQUIRE_JACK_SERVER();
        QVERIFY(RtMidiBackend::setPreferredApi(QStringLiteral("jack")));
        _keys = std::make_unique<JackTestClient>(QStringLiteral("QvKeys"), QStringLiteral("out"), QString());
        _pads = std::make_unique<JackTestClient>(QStringLiteral("QvPads"), QStringLiteral("out"), QString());
        _gone = std::make_unique<JackTestClient>(QStringLiteral("QvGone"), QStringLiteral("out"), QString());
        _synth = std::make_unique<JackTestClient>(QStringLiteral("QvSynth"), QString(), QStringLiteral("in"));
        for (const auto* client : {_keys.get(), _pads.get(), _gone.get(), _synth.get()})
            QVERIFY2(client->isValid(), qPrintable(client->errorText()));
        QCOMPARE(MIDIBackend::GetInstance()->getApiName(), QStringLiteral("JACK"));
        _manager = MIDIPortIOManager::GetInstance();
    }

    void cleanup()
    {
        if (_manager)
            _manager->removeAllPortRequirements();
        if (_synth)
            _synth->clearReceived();
    }

    void cleanupTestCase()
    {
        if (_manager)
            _manager->removeAllPortRequirements();
    }

    void catalogueListsOtherProgramsPorts()
    {
        const QStringList inputs = MIDIPortInfo::GetInstance()->getInputPortNames();
        QVERIFY2(inputs.contains(QStringLiteral("QvKeys:out")), qPrintable(inputs.join(QLatin1Char(','))));
        QVERIFY(inputs.contains(QStringLiteral("QvPads:out")));
        QVERIFY(inputs.contains(QStringLiteral("QvGone:out")));
        const QStringList outputs = MIDIPortInfo::GetInstance()->getOutputPortNames();
        QVERIFY2(outputs.contains(QStringLiteral("QvSynth_in:in")),
                 qPrintable(outputs.join(QLatin1Char(','))));
        QCOMPARE(_synth->sinkPortName(), QStringLiteral("QvSynth_in:in"));
    }

    void noteFromKeyboardReachesRouteOnTheMIDIThread()
    {
        RecordingMIDIInputHandler route;
        const ReleasePortsAtEnd release; // goes before the handlers do
        _manager->addRequiredInputPortNamed(_keys->sourcePortName(), &route);
        QVERIFY(_manager->isInputPortOpen(_keys->sourcePortName()));
        JackTestClient::letConnectionsSettle();
        QVERIFY(JackTestClient::retryUntil(
            [&] {
                _keys->send({0x90, 0x3C, 0x64});
            },
            [&] { return route.count() >= 1; }));
        const auto deliveries = route.deliveries();
        QVERIFY(allAre(deliveries, {0x90, 0x3C, 0x64}));
        QCOMPARE(deliveries.at(0).timeStamp, 0.0); // first message on the port
        QVERIFY(deliveries.at(0).thread != std::this_thread::get_id());
    }

    void patchSendByIndexReachesTheSynth()
    {
        const int synthIndex = outputIndexOf(*_synth);
        QVERIFY(synthIndex >= 0);
        _manager->addRequiredOutputPortNamed(_synth->sinkPortName(), patch(0));
        QVERIFY(_manager->isOutputPortOpen(_synth->sinkPortName()));
        JackTestClient::letConnectionsSettle();
        midiMessage_t volume = {0xB2, 0x07, 0x64};
        QVERIFY(JackTestClient::retryUntil([&] { _manager->deliverMessageToOutputPort(synthIndex, &volume); },
                                           [&] { return _synth->receivedCount() >= 1; }));
        QVERIFY(allAre(_synth->receivedMessages(), {0xB2, 0x07, 0x64}));
    }

    void keyboardPlaysTheSynthThroughARoute()
    {
        RecordingMIDIInputHandler route;
        const ReleasePortsAtEnd release; // goes before the handlers do
        route.forwardToOutputPort(outputIndexOf(*_synth));
        _manager->addRequiredOutputPortNamed(_synth->sinkPortName(), patch(0));
        _manager->addRequiredInputPortNamed(_pads->sourcePortName(), &route);
        JackTestClient::letConnectionsSettle();
        const midiMessage_t noteOn = {0x99, 0x24, 0x7F};
        const midiMessage_t noteOff = {0x89, 0x24, 0x00};
        QVERIFY(JackTestClient::retryUntil(
            [&] {
                _pads->send(noteOn);
                _pads->send(noteOff);
            },
            [&] { return _synth->receivedCount() >= 2; }));
        // Each note-off comes after its note-on, and nothing else arrives.
        const auto received = _synth->receivedMessages();
        bool sounding = false;
        for (const auto& message : received) {
            QVERIFY(message.bytes == noteOn || message.bytes == noteOff);
            if (message.bytes == noteOn)
                sounding = true;
            else
                QVERIFY(sounding);
        }
    }

    void portOpenedTwiceAndClosedOnceStaysOpen()
    {
        RecordingMIDIInputHandler first;
        RecordingMIDIInputHandler second;
        const ReleasePortsAtEnd release; // goes before the handlers do
        const QString port = _keys->sourcePortName();
        _manager->addRequiredInputPortNamed(port, &first);
        _manager->addRequiredInputPortNamed(port, &second);
        _manager->removeRequiredInputPortNamed(port, &first);
        QVERIFY(_manager->isInputPortOpen(port));
        JackTestClient::letConnectionsSettle();
        QVERIFY(JackTestClient::retryUntil(
            [&] {
                _keys->send({0x90, 0x40, 0x50});
            },
            [&] { return second.count() >= 1; }));
        QCOMPARE(first.count(), 0);

        _manager->removeRequiredInputPortNamed(port, &second);
        QVERIFY(!_manager->isInputPortOpen(port));
        const int heard = second.count();
        _keys->send({0x80, 0x40, 0x00});
        JackTestClient::letConnectionsSettle();
        QCOMPARE(second.count(), heard);
    }

    void clockSensingTimeCodeAndSysexNeverReachARoute()
    {
        RecordingMIDIInputHandler route;
        const ReleasePortsAtEnd release; // goes before the handlers do
        _manager->addRequiredInputPortNamed(_keys->sourcePortName(), &route);
        JackTestClient::letConnectionsSettle();
        QVERIFY(JackTestClient::retryUntil(
            [&] {
                _keys->send({0xF8});
                _keys->send({0xFE});
                _keys->send({0xF1, 0x21});
                _keys->send({0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7});
                _keys->send({0x90, 0x30, 0x40}); // sent last: once it is here, the others have passed
            },
            [&] { return route.count() >= 1; }));
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        QVERIFY(allAre(route.deliveries(), {0x90, 0x30, 0x40}));
    }

    // Runs last: it unplugs a device for the rest of the process.
    void unpluggedDeviceIsReportedAndNeverMistakenForAnother()
    {
        const QString gonePort = _gone->sourcePortName();
        _gone->closeSource();
        // A new port of this program may now take the place the unplugged one had in the service's list.
        _manager->addRequiredOutputPortNamed(_synth->sinkPortName(), patch(1));
        QSignalSpy errors(StatusManager::GetInstance(), &StatusManager::errorMessagePosted);
        RecordingMIDIInputHandler route;
        _manager->addRequiredInputPortNamed(gonePort, &route);
        QCOMPARE(errors.count(), 1);
        QVERIFY(errors.at(0).at(0).toString().startsWith(
            QStringLiteral("Unable to open input port 'QvGone:out'\n\n")));
        QVERIFY(!_manager->isInputPortOpen(gonePort));

        // Ports listed after the unplugged one moved up in the service's list; they still open by name.
        RecordingMIDIInputHandler padsRoute;
        const ReleasePortsAtEnd release; // goes before the handlers do
        _manager->addRequiredInputPortNamed(_pads->sourcePortName(), &padsRoute);
        QVERIFY(_manager->isInputPortOpen(_pads->sourcePortName()));
        JackTestClient::letConnectionsSettle();
        QVERIFY(JackTestClient::retryUntil(
            [&] {
                _pads->send({0x99, 0x26, 0x60});
                _keys->send({0x90, 0x3C, 0x64});
            },
            [&] { return padsRoute.count() >= 1; }));
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        QVERIFY(allAre(padsRoute.deliveries(), {0x99, 0x26, 0x60}));
        QCOMPARE(route.count(), 0);
    }
};

QTEST_GUILESS_MAIN(MIDIPortsJackTest)
#include "tst_MIDIPortsJack.moc"
