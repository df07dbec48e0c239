// The remote's song addresses while a set list plays: next, previous, goto and reload change the
// song as the triggers do and answer with the song now playing; the state begins with the song.
#include "model/initializers/InitializerRegistry.h"
#include "model/routing/MIDIRoutingSetupManager.h"
#include "model/setlist/SetList.h"
#include "model/setlist/SetListPlayer.h"
#include "remote/OscAddressSpace.h"
#include "support/RoutingTestRig.h"
#include "support/SetListTestSongs.h"
#include "support/TestPrefs.h"

#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

OscMessage request(const char* path, QByteArray tags = {}, QList<QVariant> arguments = {})
{
    return OscMessage(path, std::move(tags), std::move(arguments));
}

// "i s" of a /quorvell/state/song reply, as text.
QString songOf(const OscMessage& message)
{
    if (message.path != "/quorvell/state/song" || message.typeTags != "is")
        return QStringLiteral("(not a song state: %1)").arg(QString::fromUtf8(message.path));
    return QStringLiteral("%1 %2")
        .arg(message.arguments.at(0).toInt())
        .arg(message.arguments.at(1).toString());
}

} // namespace

class tst_OscSongs : public QObject
{
    Q_OBJECT

    QTemporaryDir _dir;
    std::unique_ptr<SetList> _list;
    std::unique_ptr<SetListPlayer> _player;
    std::unique_ptr<OscAddressSpace> _remote;

private slots:
    void initTestCase()
    {
        useTemporaryPrefs();
        RoutingTestRig::install();
        registerBuiltInInitializers();
        _list = std::make_unique<SetList>(QStringLiteral("Friday"));
        using SetListTestSongs::addSong;
        addSong(_list.get(), _dir.path(), QStringLiteral("Opener"), QStringLiteral("Keys"),
                QStringLiteral("SynthA"), 1);
        addSong(_list.get(), _dir.path(), QStringLiteral("Ballad"), QStringLiteral("Keys"),
                QStringLiteral("SynthB"), 2);
        addSong(_list.get(), _dir.path(), QStringLiteral("Encore"), QStringLiteral("Keys"),
                QStringLiteral("SynthC"), 3);
        _player = std::make_unique<SetListPlayer>(_list.get());
        _remote = std::make_unique<OscAddressSpace>(&getCurrentRoutingSetup);
    }

    void cleanupTestCase()
    {
        _remote.reset();
        _player.reset();
    }

    void songAddressesNeedASetList()
    {
        const OscAddressSpace::Result result = _remote->dispatch(request("/quorvell/song/next"));
        QCOMPARE(result.replies.size(), 1);
        QCOMPARE(result.replies.first().path, QByteArray("/quorvell/error"));
        QVERIFY(result.replies.first().arguments.first().toString().startsWith(
            QLatin1String("No set list is open")));
    }

    void songsChangeAndTheReplySaysWhere()
    {
        _remote->setSetListPlayer(_player.get());
        QVERIFY(_player->start());
        QCOMPARE(songOf(_remote->stateMessages().value(0)), QStringLiteral("1 Opener"));
        QCOMPARE(_remote->stateMessages().size(), 2); // the song, then its one input

        OscAddressSpace::Result result = _remote->dispatch(request("/quorvell/song/next"));
        QCOMPARE(songOf(result.replies.value(0)), QStringLiteral("2 Ballad"));
        QCOMPARE(result.statusText, QStringLiteral("remote: song 2 of 3: Ballad"));
        result = _remote->dispatch(request("/quorvell/song/goto", "i", {3}));
        QCOMPARE(songOf(result.replies.value(0)), QStringLiteral("3 Encore"));
        result = _remote->dispatch(request("/quorvell/song/next"));
        QCOMPARE(songOf(result.replies.value(0)), QStringLiteral("3 Encore"));
        QVERIFY(result.statusText.isEmpty());
        result = _remote->dispatch(request("/quorvell/song/goto", "f", {1.0}));
        QCOMPARE(songOf(result.replies.value(0)), QStringLiteral("1 Opener"));
        result = _remote->dispatch(request("/quorvell/song/previous"));
        QCOMPARE(songOf(result.replies.value(0)), QStringLiteral("1 Opener"));
        result = _remote->dispatch(request("/quorvell/song/reload"));
        QCOMPARE(songOf(result.replies.value(0)), QStringLiteral("1 Opener"));
        QCOMPARE(result.statusText, QStringLiteral("remote: read song 1 of 3: Opener again"));
    }

    void badSongRequestsChangeNothing_data()
    {
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<QByteArray>("tags");
        QTest::addColumn<QList<QVariant>>("arguments");
        QTest::addColumn<QString>("error");
        QTest::newRow("song 0") << QByteArray("/quorvell/song/goto") << QByteArray("i") << QList<QVariant>{0}
                                << "There is no song 0: the set list has 3 songs.";
        QTest::newRow("song 4") << QByteArray("/quorvell/song/goto") << QByteArray("i") << QList<QVariant>{4}
                                << "There is no song 4";
        QTest::newRow("goto by name") << QByteArray("/quorvell/song/goto") << QByteArray("s")
                                      << QList<QVariant>{QStringLiteral("Ballad")} << "/quorvell/song/goto";
        QTest::newRow("next with argument") << QByteArray("/quorvell/song/next") << QByteArray("i")
                                            << QList<QVariant>{1} << "/quorvell/song/next";
    }

    void badSongRequestsChangeNothing()
    {
        QFETCH(QByteArray, path);
        QFETCH(QByteArray, tags);
        QFETCH(QList<QVariant>, arguments);
        QFETCH(QString, error);
        const int before = _player->getCurrentSongIndex();
        const OscAddressSpace::Result result = _remote->dispatch(OscMessage(path, tags, arguments));
        QCOMPARE(result.replies.size(), 1);
        QCOMPARE(result.replies.first().path, QByteArray("/quorvell/error"));
        QVERIFY2(result.replies.first().arguments.first().toString().contains(error),
                 qPrintable(result.replies.first().arguments.first().toString()));
        QCOMPARE(_player->getCurrentSongIndex(), before);
    }
};

QTEST_GUILESS_MAIN(tst_OscSongs)
#include "tst_OscSongs.moc"
