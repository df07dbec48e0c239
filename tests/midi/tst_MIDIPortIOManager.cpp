#include "app/StatusManager.h"
#include "midi/MIDIPortIOManager.h"
#include "midi/MIDIPortInfo.h"
#include "midi/TemporaryMidiIOSuspender.h"
#include "support/FakeMIDIBackend.h"
#include "support/RecordingMIDIInputHandler.h"
#include "support/TestPrefs.h"

#include <QSignalSpy>
#include <QTest>

#include <atomic>
#include <chrono>
#include <thread>

// The manager on a fake MIDI service. Inputs: 0 "Keys", 1 "Pads", 2 "Broken In" (its open fails),
// 3 a name the service reports in UTF-8. Outputs: 0 "Synth", 1 "Sampler", 2 "Broken Out" (its open
// fails), 3 "Drums". Every case leaves no port required.
namespace {

const QString kKeys = QStringLiteral("Keys");
const QString kPads = QStringLiteral("Pads");
const QString kBrokenIn = QStringLiteral("Broken In");
const QString kCafe = QString::fromLatin1("Caf\xC3\xA9");
const QString kSynth = QStringLiteral("Synth");
const QString kSampler = QStringLiteral("Sampler");
const QString kBrokenOut = QStringLiteral("Broken Out");
const QString kDrums = QStringLiteral("Drums");

// Patches are only stored by the manager, never used: any distinct addresses serve.
int patchTokens[3];
MIDIPatchTarget* patch(int i)
{
    return reinterpret_cast<MIDIPatchTarget*>(&patchTokens[i]);
}

const midiMessage_t kNoteOn = {0x90, 0x3C, 0x64};
const midiMessage_t kNoteOff = {0x80, 0x3C, 0x00};

} // namespace

class MIDIPortIOManagerTest : public QObject
{
    Q_OBJECT

    FakeMIDIBackend* _fake = nullptr;
    MIDIPortIOManager* _manager = nullptr;

private slots:
    void initTestCase()
    {
        useTemporaryPrefs();
        _fake = FakeMIDIBackend::install({kKeys, kPads, kBrokenIn, kCafe},
                                         {kSynth, kSampler, kBrokenOut, kDrums});
        QVERIFY(_fake);
        _fake->setInputOpenFailure(2, QStringLiteral("no such source"));
        _fake->setOutputOpenFailure(2, QStringLiteral("destination refused"));
        _manager = MIDIPortIOManager::GetInstance();
    }

    void cleanup()
    {
        _manager->removeAllPortRequirements();
        _fake->clearSentMessages();
        QVERIFY(!_manager->isIOSuspended());
    }

    void nothingIsSentBeforeAnyPortIsRequired()
    {
        midiMessage_t message = kNoteOn;
        for (int index = -1; index <= 4; ++index)
            _manager->deliverMessageToOutputPort(index, &message);
        for (int index = 0; index < 4; ++index)
            QCOMPARE(_fake->sentMessageCount(index), 0);
        QCOMPARE(_fake->liveOutputPortObjects(), 0);
        QCOMPARE(_fake->liveInputPortObjects(), 0);
    }

    void twoRoutesOnOneKeyboardShareThePortAndHearEachNoteInOrder()
    {
        RecordingMIDIInputHandler first;
        RecordingMIDIInputHandler second;
        QStringList order;
        first.setHook([&](RecordingMIDIInputHandler*, midiMessage_t*) { order << QStringLiteral("first"); });
        second.setHook([&](RecordingMIDIInputHandler*, midiMessage_t* message) {
            order << QStringLiteral("second");
            (*message)[2] = 0x01; // a handler that changes the shared message changes it for later ones
        });
        _manager->addRequiredInputPortNamed(kKeys, &first);
        _manager->addRequiredInputPortNamed(kKeys, &second);
        QCOMPARE(_fake->liveInputPortObjects(), 1);
        QCOMPARE(_fake->inputOpenAttempts(0), 1);
        QVERIFY(_manager->isInputPortOpen(kKeys));
        QVERIFY(!_manager->isInputPortOpen(kPads));

        QCOMPARE(_fake->injectInputMessage(0, kNoteOn, 0.25), 1);
        QCOMPARE(order, QStringList({QStringLiteral("first"), QStringLiteral("second")}));
        QCOMPARE(first.deliveries().at(0).bytes, midiMessage_t({0x90, 0x3C, 0x64}));
        QCOMPARE(first.deliveries().at(0).timeStamp, 0.25);
        QCOMPARE(second.deliveries().at(0).timeStamp, 0.25);
        QCOMPARE(_fake->injectInputMessage(1, kNoteOn), 0); // Pads is not open
        QCOMPARE(first.count(), 1);

        _manager->removeRequiredInputPortNamed(kKeys, &first);
        QVERIFY(_manager->isInputPortOpen(kKeys));
        _fake->injectInputMessage(0, kNoteOff);
        QCOMPARE(first.count(), 1);
        QCOMPARE(second.count(), 2);

        _manager->removeRequiredInputPortNamed(kKeys, &second);
        QVERIFY(!_manager->isInputPortOpen(kKeys));
        QCOMPARE(_fake->liveInputPortObjects(), 0);
        QCOMPARE(_fake->injectInputMessage(0, kNoteOn), 0);

        _manager->addRequiredInputPortNamed(kKeys, &first);
        QCOMPARE(_fake->inputOpenAttempts(0), 2);
        QVERIFY(_manager->isInputPortOpen(kKeys));
    }

    void sameRouteAddedTwiceIsReleasedByOneRemove()
    {
        RecordingMIDIInputHandler handler;
        _manager->addRequiredInputPortNamed(kPads, &handler);
        _manager->addRequiredInputPortNamed(kPads, &handler);
        _fake->injectInputMessage(1, kNoteOn);
        QCOMPARE(handler.count(), 1);
        _manager->removeRequiredInputPortNamed(kPads, &handler);
        QVERIFY(!_manager->isInputPortOpen(kPads));
        QCOMPARE(_fake->liveInputPortObjects(), 0);

        _manager->addRequiredOutputPortNamed(kSynth, patch(0));
        _manager->addRequiredOutputPortNamed(kSynth, patch(0));
        QCOMPARE(_fake->outputOpenAttempts(0), 1);
        _manager->removeRequiredOutputPortNamed(kSynth, patch(0));
        QVERIFY(!_manager->isOutputPortOpen(kSynth));
        QCOMPARE(_fake->liveOutputPortObjects(), 0);
    }

    void emptyUnknownAndUnregisteredRequirementsChangeNothing()
    {
        RecordingMIDIInputHandler handler;
        RecordingMIDIInputHandler stranger;
        _manager->addRequiredInputPortNamed(QString(), &handler);
        _manager->addRequiredInputPortNamed(QStringLiteral("No Such Port"), &handler);
        _manager->addRequiredOutputPortNamed(QString(), patch(0));
        _manager->addRequiredOutputPortNamed(QStringLiteral("No Such Port"), patch(0));
        QCOMPARE(_fake->liveInputPortObjects(), 0);
        QCOMPARE(_fake->liveOutputPortObjects(), 0);

        _manager->addRequiredInputPortNamed(kKeys, &handler);
        _manager->addRequiredOutputPortNamed(kSynth, patch(0));
        _manager->removeRequiredInputPortNamed(kKeys, &stranger);
        _manager->removeRequiredInputPortNamed(QString(), &handler);
        _manager->removeRequiredInputPortNamed(kPads, &handler);
        _manager->removeRequiredOutputPortNamed(kSynth, patch(1));
        _manager->removeRequiredOutputPortNamed(kSampler, patch(0));
        QVERIFY(_manager->isInputPortOpen(kKeys));
        QVERIFY(_manager->isOutputPortOpen(kSynth));
        _fake->injectInputMessage(0, kNoteOn);
        QCOMPARE(handler.count(), 1);
        QCOMPARE(stranger.count(), 0);
    }

    void brokenInputPortReportsOnceAndIsRetriedOnlyAfterEveryRouteLetGo()
    {
        QSignalSpy errors(StatusManager::GetInstance(), &StatusManager::errorMessagePosted);
        RecordingMIDIInputHandler first;
        RecordingMIDIInputHandler second;
        _manager->addRequiredInputPortNamed(kBrokenIn, &first);
        QCOMPARE(errors.count(), 1);
        QCOMPARE(errors.at(0).at(0).toString(),
                 QStringLiteral("Unable to open input port 'Broken In'\n\nno such source"));
        QVERIFY(!_manager->isInputPortOpen(kBrokenIn));
        QVERIFY(!_manager->isIOSuspended()); // the error is posted with MIDI running again

        _manager->addRequiredInputPortNamed(kBrokenIn, &second);
        QCOMPARE(_fake->inputOpenAttempts(2), 1);
        QCOMPARE(errors.count(), 1);

        _manager->removeRequiredInputPortNamed(kBrokenIn, &first);
        _manager->addRequiredInputPortNamed(kBrokenIn, &first);
        QCOMPARE(_fake->inputOpenAttempts(2), 1);
        _manager->removeRequiredInputPortNamed(kBrokenIn, &first);
        _manager->removeRequiredInputPortNamed(kBrokenIn, &second);
        QCOMPARE(_fake->liveInputPortObjects(), 0);

        _manager->addRequiredInputPortNamed(kBrokenIn, &first);
        QCOMPARE(_fake->inputOpenAttempts(2), 2);
        QCOMPARE(errors.count(), 2);
    }

    void brokenOutputPortReportsOnceAndSendsNothing()
    {
        QSignalSpy errors(StatusManager::GetInstance(), &StatusManager::errorMessagePosted);
        _manager->addRequiredOutputPortNamed(kBrokenOut, patch(0));
        _manager->addRequiredOutputPortNamed(kBrokenOut, patch(1));
        QCOMPARE(errors.count(), 1);
        QCOMPARE(errors.at(0).at(0).toString(),
                 QStringLiteral("Unable to open output port 'Broken Out'\n\ndestination refused"));
        QCOMPARE(_fake->outputOpenAttempts(2), 1);
        QVERIFY(!_manager->isOutputPortOpen(kBrokenOut));
        midiMessage_t message = kNoteOn;
        _manager->deliverMessageToOutputPort(2, &message);
        QCOMPARE(_fake->sentMessageCount(2), 0);

        _manager->removeRequiredOutputPortNamed(kBrokenOut, patch(0));
        _manager->removeRequiredOutputPortNamed(kBrokenOut, patch(1));
        _fake->setOutputOpenFailure(2, QString());
        _manager->addRequiredOutputPortNamed(kBrokenOut, patch(0));
        QCOMPARE(_fake->outputOpenAttempts(2), 2);
        QVERIFY(_manager->isOutputPortOpen(kBrokenOut));
        QCOMPARE(errors.count(), 1);
        _fake->setOutputOpenFailure(2, QStringLiteral("destination refused"));
    }

    void serviceRefusingClientsIsReportedNotFatal()
    {
        QSignalSpy errors(StatusManager::GetInstance(), &StatusManager::errorMessagePosted);
        RecordingMIDIInputHandler handler;
        _fake->setClientCreationFailure(QStringLiteral("cannot create client"));
        _manager->addRequiredInputPortNamed(kPads, &handler);
        _manager->addRequiredOutputPortNamed(kSampler, patch(0));
        _manager->addRequiredOutputPortNamed(kSampler, patch(1));
        _fake->setClientCreationFailure(QString());
        QCOMPARE(errors.count(), 2);
        QCOMPARE(errors.at(0).at(0).toString(),
                 QStringLiteral("Unable to open input port 'Pads'\n\ncannot create client"));
        QCOMPARE(errors.at(1).at(0).toString(),
                 QStringLiteral("Unable to open output port 'Sampler'\n\ncannot create client"));
        QVERIFY(!_manager->isInputPortOpen(kPads));
        QVERIFY(!_manager->isOutputPortOpen(kSampler));
        midiMessage_t message = kNoteOn;
        _manager->deliverMessageToOutputPort(1, &message);
        QCOMPARE(_fake->sentMessageCount(1), 0);

        _manager->removeRequiredInputPortNamed(kPads, &handler);
        _manager->removeRequiredOutputPortNamed(kSampler, patch(0));
        _manager->removeRequiredOutputPortNamed(kSampler, patch(1));
        _manager->addRequiredInputPortNamed(kPads, &handler);
        _manager->addRequiredOutputPortNamed(kSampler, patch(0));
        QVERIFY(_manager->isInputPortOpen(kPads));
        QVERIFY(_manager->isOutputPortOpen(kSampler));
        QCOMPARE(errors.count(), 2);
    }

    void sendsGoByCatalogueIndexOnly()
    {
        _manager->addRequiredOutputPortNamed(kSynth, patch(0));
        _manager->addRequiredOutputPortNamed(kSampler, patch(1));
        midiMessage_t noteOn = kNoteOn;
        midiMessage_t control = {0xB3, 0x07, 0x64};
        _manager->deliverMessageToOutputPort(0, &noteOn);
        _manager->deliverMessageToOutputPort(1, &control);
        _manager->deliverMessageToOutputPort(-1, &noteOn);
        _manager->deliverMessageToOutputPort(4, &noteOn);
        _manager->deliverMessageToOutputPort(99, &noteOn);
        _manager->deliverMessageToOutputPort(3, &noteOn); // Drums is not required
        QCOMPARE(_fake->sentMessages(0), std::vector<midiMessage_t>({{0x90, 0x3C, 0x64}}));
        QCOMPARE(_fake->sentMessages(1), std::vector<midiMessage_t>({{0xB3, 0x07, 0x64}}));
        QCOMPARE(_fake->sentMessageCount(3), 0);
        QCOMPARE(noteOn, midiMessage_t({0x90, 0x3C, 0x64})); // sent unchanged
    }

    void outputStaysOpenUntilItsLastPatchLetsGo()
    {
        _manager->addRequiredOutputPortNamed(kDrums, patch(0));
        _manager->addRequiredOutputPortNamed(kDrums, patch(1));
        _manager->removeRequiredOutputPortNamed(kDrums, patch(0));
        QVERIFY(_manager->isOutputPortOpen(kDrums));
        midiMessage_t message = {0x99, 0x24, 0x7F};
        _manager->deliverMessageToOutputPort(3, &message);
        QCOMPARE(_fake->sentMessageCount(3), 1);
        _manager->removeRequiredOutputPortNamed(kDrums, patch(1));
        QVERIFY(!_manager->isOutputPortOpen(kDrums));
        QCOMPARE(_fake->liveOutputPortObjects(), 0);
        _manager->deliverMessageToOutputPort(3, &message);
        QCOMPARE(_fake->sentMessageCount(3), 1);
    }

    void portNamedInUtf8OpensByItsOwnBytes()
    {
        RecordingMIDIInputHandler handler;
        _manager->addRequiredInputPortNamed(kCafe, &handler);
        QVERIFY(_manager->isInputPortOpen(kCafe));
        QVERIFY(_fake->isInputConnected(3));
    }

    void suspendedIODropsInputAndSends()
    {
        RecordingMIDIInputHandler handler;
        _manager->addRequiredInputPortNamed(kKeys, &handler);
        _manager->addRequiredOutputPortNamed(kSynth, patch(0));
        midiMessage_t message = kNoteOn;
        {
            TemporaryMidiIOSuspender outer;
            {
                TemporaryMidiIOSuspender inner;
                QVERIFY(_manager->isIOSuspended());
            }
            QVERIFY(_manager->isIOSuspended()); // guards nest
            QCOMPARE(_fake->injectInputMessage(0, kNoteOn), 1);
            QCOMPARE(_fake->injectInputMessagesFromOwnThread(0, {kNoteOn, kNoteOff}), 2);
            _manager->deliverMessageToOutputPort(0, &message);
        }
        QVERIFY(!_manager->isIOSuspended());
        QCOMPARE(handler.count(), 0);
        QCOMPARE(_fake->sentMessageCount(0), 0);
        _fake->injectInputMessage(0, kNoteOn);
        _manager->deliverMessageToOutputPort(0, &message);
        QCOMPARE(handler.count(), 1);
        QCOMPARE(_fake->sentMessageCount(0), 1);
        _manager->suspendIO(false); // an unpaired resume does not unbalance later suspensions
        _manager->suspendIO(true);
        QVERIFY(_manager->isIOSuspended());
        _manager->suspendIO(false);
        QVERIFY(!_manager->isIOSuspended());
    }

    void routeSendsOnTheMIDIThreadReachTheSynth()
    {
        RecordingMIDIInputHandler handler;
        handler.forwardToOutputPort(0);
        _manager->addRequiredOutputPortNamed(kSynth, patch(0));
        _manager->addRequiredInputPortNamed(kKeys, &handler);
        QCOMPARE(_fake->injectInputMessagesFromOwnThread(0, {kNoteOn, kNoteOff}), 2);
        QCOMPARE(_fake->sentMessages(0),
                 std::vector<midiMessage_t>({{0x90, 0x3C, 0x64}, {0x80, 0x3C, 0x00}}));
        QCOMPARE(handler.count(), 2);
        QVERIFY(handler.deliveries().at(0).thread != std::this_thread::get_id());
    }

    void noteAlreadyBeingRoutedFinishesBeforeTheRouteIsRemoved()
    {
        // A note-off is being routed when the user changes the setup: the change waits for it, and
        // its send still goes out, so no note is left hanging. Another route keeps the port open, so
        // only the manager's own wait (not closing the port) can hold the removal back.
        RecordingMIDIInputHandler otherRoute;
        RecordingMIDIInputHandler handler;
        std::atomic<bool> entered{false};
        std::atomic<bool> finished{false};
        handler.setHook([&](RecordingMIDIInputHandler*, midiMessage_t* message) {
            entered.store(true);
            const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(5);
            while (!_manager->isIOSuspended() && std::chrono::steady_clock::now() < giveUp)
                std::this_thread::yield();
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            _manager->deliverMessageToOutputPort(0, message);
            finished.store(true);
        });
        _manager->addRequiredOutputPortNamed(kSynth, patch(0));
        _manager->addRequiredInputPortNamed(kKeys, &otherRoute);
        _manager->addRequiredInputPortNamed(kKeys, &handler);
        std::thread midiThread([&] { _fake->injectInputMessage(0, kNoteOff); });
        while (!entered.load())
            std::this_thread::yield();
        _manager->removeRequiredInputPortNamed(kKeys, &handler);
        const bool finishedWhenRemoved = finished.load();
        midiThread.join();
        QVERIFY(finishedWhenRemoved);
        QCOMPARE(_fake->sentMessages(0), std::vector<midiMessage_t>({{0x80, 0x3C, 0x00}}));
        QCOMPARE(_fake->injectInputMessage(0, kNoteOn), 1);
        QCOMPARE(handler.count(), 1);
        QCOMPARE(otherRoute.count(), 2);
    }

    void removingEverythingClosesEveryPort()
    {
        _manager->removeAllPortRequirements(); // nothing open: nothing happens
        RecordingMIDIInputHandler handler;
        _manager->addRequiredInputPortNamed(kKeys, &handler);
        _manager->addRequiredInputPortNamed(kPads, &handler);
        _manager->addRequiredOutputPortNamed(kSynth, patch(0));
        _manager->addRequiredOutputPortNamed(kDrums, patch(1));
        QCOMPARE(_fake->liveInputPortObjects(), 2);
        QCOMPARE(_fake->liveOutputPortObjects(), 2);

        _manager->removeAllPortRequirements();
        QCOMPARE(_fake->liveInputPortObjects(), 0);
        QCOMPARE(_fake->liveOutputPortObjects(), 0);
        QVERIFY(!_manager->isInputPortOpen(kKeys));
        QVERIFY(!_manager->isOutputPortOpen(kSynth));
        midiMessage_t message = kNoteOn;
        for (int index = 0; index < 4; ++index)
            _manager->deliverMessageToOutputPort(index, &message);
        for (int index = 0; index < 4; ++index)
            QCOMPARE(_fake->sentMessageCount(index), 0);

        // The handler lists are gone too: registering again hears each note once, and the old patch
        // requirement no longer holds the output open.
        _manager->addRequiredInputPortNamed(kKeys, &handler);
        _fake->injectInputMessage(0, kNoteOn);
        QCOMPARE(handler.count(), 1);
        _manager->addRequiredOutputPortNamed(kSynth, patch(2));
        _manager->removeRequiredOutputPortNamed(kSynth, patch(2));
        QVERIFY(!_manager->isOutputPortOpen(kSynth));
    }
};

QTEST_GUILESS_MAIN(MIDIPortIOManagerTest)
#include "tst_MIDIPortIOManager.moc"
