#include "app/SetListSession.h"

#include "model/routing/MIDIRoutingSetup.h"
#include "model/setlist/SetList.h"
#include "model/setlist/SetListPlayer.h"

SetListSession::SetListSession(QObject* parent) : QObject(parent) {}

SetListSession::~SetListSession()
{
    close();
}

bool SetListSession::isPlaying() const
{
    return _player && _player->isPlaying();
}

void SetListSession::open(SetList* setList)
{
    close();
    _setList = setList;
    _setList->setParent(this);
    _player = new SetListPlayer(_setList, this);
    connect(_player, &SetListPlayer::currentSongChangedTo, this, &SetListSession::_currentSongChangedToSLOT);
    emit setListOpened(_setList);
}

void SetListSession::close()
{
    if (!_setList)
        return;
    // The player goes first: it ends what its songs sound and lets go of their setups.
    SetListPlayer* player = _player;
    SetList* setList = _setList;
    _player = nullptr;
    _setList = nullptr;
    _played.clear();
    player->stop();
    delete player;
    delete setList;
    emit setListClosed();
}

void SetListSession::_currentSongChangedToSLOT(int songIndex)
{
    MIDIRoutingSetup* setup = _player ? _player->getCurrentSongSetup() : nullptr;
    for (int k = _played.size() - 1; k >= 0; --k) {
        if (!_played.at(k).setup)
            _played.removeAt(k);
    }
    if (!setup || !_setList)
        return;
    const QString name = _setList->getSongAtIndex(songIndex).getName();
    for (EditedSong& played : _played) {
        if (played.setup == setup) {
            played.name = name;
            return;
        }
    }
    _played.append({name, setup});
}

QString SetListSession::_nameOfSongFor(const MIDIRoutingSetup* setup, const QString& fallback) const
{
    if (!_setList)
        return fallback;
    if (_player && _player->getCurrentSongSetup() == setup && _player->getCurrentSongIndex() >= 0 &&
        _player->getCurrentSongIndex() < _setList->getNumSongs())
        return _setList->getSongAtIndex(_player->getCurrentSongIndex()).getName();
    for (const SetListSong& song : _setList->getSongs()) {
        if (song.getResolvedPath() == setup->getFilePath())
            return song.getName();
    }
    return fallback;
}

QList<SetListSession::EditedSong> SetListSession::editedSongs() const
{
    QList<EditedSong> edited;
    for (const EditedSong& played : _played) {
        if (played.setup && played.setup->isModified())
            edited.append({_nameOfSongFor(played.setup, played.name), played.setup});
    }
    return edited;
}

MIDIRoutingSetup* SetListSession::editedSetupOfSong(int songIndex) const
{
    if (!_setList || songIndex < 0 || songIndex >= _setList->getNumSongs())
        return nullptr;
    const QString path = _setList->getSongAtIndex(songIndex).getResolvedPath();
    if (_player && _player->getCurrentSongIndex() == songIndex && _player->getCurrentSongSetup() &&
        _player->getCurrentSongSetup()->isModified())
        return _player->getCurrentSongSetup();
    for (const EditedSong& played : _played) {
        if (played.setup && played.setup->isModified() && played.setup->getFilePath() == path)
            return played.setup;
    }
    return nullptr;
}
