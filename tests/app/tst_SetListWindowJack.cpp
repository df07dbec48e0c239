// The set list in the window on the private JACK server: Page Down changes the song while a note
// is held, and the note off still reaches the old song's synth.
#include "WindowTestSupport.h"

#include "app/MainWindow.h"
#include "app/SetListSession.h"
#include "model/initializers/InitializerRegistry.h"
#include "model/routing/MIDIRoutingSetupManager.h"
#include "model/setlist/SetList.h"
#include "model/setlist/SetListPlayer.h"
#include "model/transforms/BuiltInTransforms.h"
#include "persistence/SetListFileReaderWriter.h"
#include "support/JackBackendUnderTest.h"
#include "support/JackServer.h"
#include "support/JackTestClient.h"
#include "support/SetListTestSongs.h"
#include "support/TestPrefs.h"

#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <memory>

namespace {

bool receivedProgramChange(const JackTestClient& client)
{
    const auto messages = client.receivedMessages();
    return std::any_of(messages.begin(), messages.end(), [](const JackTestClient::ReceivedMessage& m) {
        return !m.bytes.empty() && (m.bytes[0] & 0xF0) == 0xC0;
    });
}

} // namespace

class SetListWindowJackTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<JackTestClient> _keys;
    std::unique_ptr<JackTestClient> _synthA;
    std::unique_ptr<JackTestClient> _synthB;
    QTemporaryDir _dir;

private slots:
    void initTestCase()
    {
        useTemporaryPrefs();
        QUORVELL_REQUIRE_JACK_SERVER();
        JackBackendUnderTest::select();
        registerBuiltInTransforms();
        registerBuiltInInitializers();
        _keys = std::make_unique<JackTestClient>(QStringLiteral("QwKeys"), QStringLiteral("out"), QString());
        _synthA =
            std::make_unique<JackTestClient>(QStringLiteral("QwSynthA"), QString(), QStringLiteral("in"));
        _synthB =
            std::make_unique<JackTestClient>(QStringLiteral("QwSynthB"), QString(), QStringLiteral("in"));
        for (const auto* client : {_keys.get(), _synthA.get(), _synthB.get()})
            QVERIFY2(client->isValid(), qPrintable(client->errorText()));
    }

    void pageDownWhileANoteIsHeldEndsItOnTheOldSong()
    {
        SetList list(QStringLiteral("Friday"));
        const QString keys = _keys->sourcePortName();
        SetListTestSongs::addSong(&list, _dir.path(), "Opener", keys, _synthA->sinkPortName(), 1);
        SetListTestSongs::addSong(&list, _dir.path(), "Ballad", keys, _synthB->sinkPortName(), 2);
        const QString listFile = _dir.filePath("friday.msl");
        QVERIFY(SetListFileReaderWriter::saveSetListToDisk(&list, listFile));

        auto window = std::make_unique<MainWindow>();
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        QVERIFY(window->openSetList(listFile));
        JackTestClient::letConnectionsSettle();
        QVERIFY(_keys->sendUntilReceived({0x90, 60, 100}, *_synthA, {0x90, 60, 100}));

        QApplication::setActiveWindow(window.get());
        QTest::keyClick(window.get(), Qt::Key_PageDown);
        SetListPlayer* player = window->setListSession()->getPlayer();
        QCOMPARE(player->getCurrentSongIndex(), 1);
        // Song 2's sound is set (its program change), then its notes are its own.
        QTRY_VERIFY(receivedProgramChange(*_synthB));
        _keys->send({0x90, 62, 100});
        QTRY_VERIFY(_synthB->hasReceived({0x90, 62, 100}));
        QVERIFY(!_synthA->hasReceived({0x90, 62, 100}));
        // The note held over the change ends where it began.
        _keys->send({0x80, 60, 0});
        QTRY_VERIFY(_synthA->hasReceived({0x80, 60, 0}) || _synthA->hasReceived({0x90, 60, 0}));
        // (Song 2's active output hears the note off as well, as an active output hears every note
        // off; it had no such note, so nothing is cut short there.)
        _keys->send({0x80, 62, 0});
        QTRY_VERIFY(_synthB->hasReceived({0x80, 62, 0}) || _synthB->hasReceived({0x90, 62, 0}));

        auto discard = WindowTestSupport::answerMessageBox(QMessageBox::Discard);
        window->close();
        window.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

QTEST_MAIN(SetListWindowJackTest)
#include "tst_SetListWindowJack.moc"
