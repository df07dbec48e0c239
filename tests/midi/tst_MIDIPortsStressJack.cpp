#include "midi/MIDIPortIOManager.h"
#include "midi/MIDIPortInfo.h"
#include "midi/RtMidiBackend.h"
#include "support/JackServer.h"
#include "support/JackTestClient.h"
#include "support/PortChurn.h"
#include "support/TestPrefs.h"

#include <QTest>

#include <atomic>
#include <memory>
#include <thread>

// A user editing the setup while two keyboards on the real JACK server play without pause: ports
// open and close under the stream, routes come and go, and the routes send on to a synth.
class MIDIPortsStressJackTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<JackTestClient> _keys;
    std::unique_ptr<JackTestClient> _pads;
    std::unique_ptr<JackTestClient> _synth;

private slots:
    void initTestCase()
    {
        useTemporaryPrefs();
        QUORVELL_REQUIRE_JACK_SERVER();
        QVERIFY(RtMidiBackend::setPreferredApi(QStringLiteral("jack")));
        _keys = std::make_unique<JackTestClient>(QStringLiteral("QvStressKeys"), QStringLiteral("out"),
                                                 QString());
        _pads = std::make_unique<JackTestClient>(QStringLiteral("QvStressPads"), QStringLiteral("out"),
                                                 QString());
        _synth = std::make_unique<JackTestClient>(QStringLiteral("QvStressSynth"), QString(),
                                                  QStringLiteral("in"));
        for (const auto* client : {_keys.get(), _pads.get(), _synth.get()})
            QVERIFY2(client->isValid(), qPrintable(client->errorText()));
    }

    void editingWhileKeyboardsPlayNeverCallsARemovedRoute()
    {
        MIDIPortInfo* info = MIDIPortInfo::GetInstance();
        const int synthIndex = info->getIndexOfOutputPortNamed(_synth->sinkPortName());
        QVERIFY(synthIndex >= 0);
        const QStringList inputs = {_keys->sourcePortName(), _pads->sourcePortName()};
        const QStringList outputs = {_synth->sinkPortName()};

        std::atomic<bool> stop{false};
        std::thread player([&] {
            // About 2000 messages a second: a fast trill on both keyboards.
            while (!stop.load()) {
                _keys->send({0x90, 0x3C, 0x64});
                _pads->send({0x99, 0x24, 0x7F});
                std::this_thread::sleep_for(std::chrono::microseconds(500));
                _keys->send({0x80, 0x3C, 0x00});
                _pads->send({0x89, 0x24, 0x00});
                std::this_thread::sleep_for(std::chrono::microseconds(500));
            }
        });
        long operations = 0;
        long violations = 0;
        long handlerCalls = 0;
        {
            PortChurn churn(inputs, outputs, synthIndex, synthIndex);
            operations = churn.run(std::chrono::milliseconds(3000), std::chrono::milliseconds(30));
            violations = churn.violations();
            handlerCalls = churn.handlerCalls();
        }
        stop.store(true);
        player.join();

        qInfo("%ld edits, %ld route calls, %d messages at the synth", operations, handlerCalls,
              _synth->receivedCount());
        QVERIFY(operations > 20);
        QCOMPARE(violations, 0L);
        QVERIFY(handlerCalls > 0);
        QVERIFY(_synth->receivedCount() > 0);
        QVERIFY(!MIDIPortIOManager::GetInstance()->isIOSuspended());
        QVERIFY(!MIDIPortIOManager::GetInstance()->isInputPortOpen(_keys->sourcePortName()));
    }
};

QTEST_GUILESS_MAIN(MIDIPortsStressJackTest)
#include "tst_MIDIPortsStressJack.moc"
