#include "model/setlist/SetListPlayer.h"

#include "app/StatusManager.h"
#include "midi/MIDIPortIOManager.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "model/routing/MIDIRoutingSetupManager.h"
#include "model/setlist/SetList.h"
#include "model/setlist/SetListTriggerPortKeeper.h"
#include "persistence/SetListFileReaderWriter.h"
#include "persistence/SetupFileReaderWriter.h"

#include <thread>

namespace {

// How often the GUI thread looks at what the MIDI thread did: well inside a beat, and the only
// way a change reaches the GUI thread, since the MIDI thread may not allocate to post one.
constexpr int kWatchIntervalMs = 10;

} // namespace

SetListPlayer::SetListPlayer(SetList* setList, QObject* parent) : QObject(parent), _setList(setList)
{
    _timer.setInterval(kWatchIntervalMs);
    connect(&_timer, &QTimer::timeout, this, &SetListPlayer::processPendingWork);
    connect(_setList, &SetList::triggersChanged, this, &SetListPlayer::_triggersChangedSLOT);
    connect(_setList, &SetList::songAdded, this, [this](int index) { _songsRearranged(0, index, -1); });
    connect(_setList, &SetList::songRemoved, this, [this](int index) { _songsRearranged(1, index, -1); });
    connect(_setList, &SetList::songMovedTo, this,
            [this](int from, int to) { _songsRearranged(2, from, to); });
    MIDIRoutingSetupManager* manager = MIDIRoutingSetupManager::GetInstance();
    connect(manager, &MIDIRoutingSetupManager::currentRoutingSetupSwitchedTo, this,
            &SetListPlayer::_managerSwitchedSLOT);
    connect(manager, &MIDIRoutingSetupManager::currentRoutingSetupCleared, this,
            &SetListPlayer::_managerSwitchedSLOT);
}

SetListPlayer::~SetListPlayer()
{
    stop();
}

MIDIRoutingSetup* SetListPlayer::getCurrentSongSetup() const
{
    return _currentSetup;
}

bool SetListPlayer::start(int songIndex)
{
    stop();
    // Requests made while nothing played are stale.
    _pendingAction.store(0);
    _slowChange.store(-1);
    _completedChange.store(-1);
    _notices.store(0);
    if (_setList->isEmpty()) {
        postErrorMessage(
            QStringLiteral("The set list \"%1\" has no songs to play.").arg(_setList->getName()));
        return false;
    }
    const int index = _findPlayable(qMax(0, songIndex), 1);
    if (index < 0) {
        postErrorMessage(
            QStringLiteral("No song of the set list \"%1\" can be played.").arg(_setList->getName()));
        _releaseRestingSongs();
        return false;
    }
    _playing = true;
    _currentIndex = index;
    _currentRemoved = false;
    _currentSetup = _held.at(_heldIndexOf(index)).setup;
    // The first song opens as any setup does (its initializers as the preference says), and only
    // then do its inputs route, so no note comes before its initializers, as at a change.
    _makeManagerCurrent(_currentSetup, true);
    _currentSetup->setPlayState(SongPlayGate::Live);
    _installTriggers();
    postStatusMessage(_setList->songTitle(index), 0);
    emit currentSongChangedTo(index);
    _prepareAndPublish();
    _timer.start();
    return true;
}

void SetListPlayer::stop()
{
    if (!_playing && _held.isEmpty())
        return;
    const bool wasPlaying = _playing;
    _timer.stop();
    _removeTriggers();
    _ready.store(false);
    _playing = false;
    _pendingAction.store(0);
    _slowChange.store(-1);
    _completedChange.store(-1);
    _notices.store(0);
    MIDIRoutingSetupManager* manager = MIDIRoutingSetupManager::GetInstance();
    if (_currentSetup && manager->getCurrentRoutingSetup() == _currentSetup) {
        _settingManager = true;
        manager->clearCurrentRoutingSetup(false);
        _settingManager = false;
    }
    _current = Prepared();
    _next = Prepared();
    _previous = Prepared();
    // Nothing new starts anywhere while the songs are let go of one by one; each ends, patch by
    // patch, every note and pedal it sent.
    for (const Held& held : std::as_const(_held)) {
        if (held.setup)
            held.setup->setPlayState(SongPlayGate::Dormant);
    }
    const QList<Held> held = _held;
    _held.clear();
    for (const Held& one : held)
        _deleteHeld(one.setup);
    _currentSetup = nullptr;
    _currentIndex = -1;
    if (wasPlaying)
        emit stopped();
}

void SetListPlayer::panic()
{
    for (const Held& held : std::as_const(_held)) {
        if (held.setup)
            held.setup->panic();
    }
}

bool SetListPlayer::_takeToken()
{
    // GUI thread. A change the MIDI thread made holds the token until it is finished here.
    for (int round = 0; round < 1000; ++round) {
        processPendingWork();
        bool ready = true;
        if (_ready.compare_exchange_strong(ready, false))
            return true;
        std::this_thread::yield();
    }
    return false;
}

void SetListPlayer::processPendingWork()
{
    if (!_playing)
        return;
    for (int round = 0; round < 4; ++round) {
        bool worked = false;
        const int changed = _completedChange.exchange(-1);
        if (changed >= 0) {
            _finishChange(changed, _completedSetup.load());
            worked = true;
        }
        const int slow = _slowChange.exchange(-1);
        if (slow >= 0) {
            _performSlowChange(slow);
            worked = true;
        }
        if (_ready.load() && _pendingAction.load() != 0) {
            if (const int action = _pendingAction.exchange(0)) {
                _request(action);
                worked = true;
            }
        }
        if (!worked)
            break;
    }
    _postNotices();
    _releaseRestingSongs();
}

void SetListPlayer::_finishChange(int songIndex, MIDIRoutingSetup* setup)
{
    // Token held. Songs that next or previous stepped over were broken: each is named.
    const int oldIndex = _currentIndex;
    const bool neighbour = songIndex == _next.index || songIndex == _previous.index;
    if (neighbour && songIndex != oldIndex) {
        const int step = songIndex > oldIndex ? 1 : -1;
        for (int i = (step < 0 && _currentRemoved) ? oldIndex : oldIndex + step; i != songIndex; i += step) {
            if (i >= 0 && i < _setList->getNumSongs() && _setList->getSongAtIndex(i).isBroken())
                postWarningMessage(
                    QStringLiteral("Skipped %1: %2")
                        .arg(_setList->songTitle(i), _setList->getSongAtIndex(i).getLoadError()));
        }
    }
    _currentIndex = songIndex;
    _currentRemoved = false;
    _currentSetup = setup;
    // The change has sent the initializers already.
    _makeManagerCurrent(setup, false);
    postStatusMessage(_setList->songTitle(songIndex), 0);
    emit currentSongChangedTo(songIndex);
    _prepareAndPublish();
}

void SetListPlayer::_performSlowChange(int songIndex)
{
    // Token held: a song that was not read ahead.
    if (songIndex >= _setList->getNumSongs()) {
        _noteNotice(NoSuchSong);
        _ready.store(true);
        return;
    }
    if (!_setupForSong(songIndex)) {
        postWarningMessage(
            QStringLiteral("%1 cannot be played: %2")
                .arg(_setList->songTitle(songIndex), _setList->getSongAtIndex(songIndex).getLoadError()));
        _ready.store(true);
        return;
    }
    const Prepared to = _prepared(songIndex);
    _performChange(to);
    _completedChange.store(-1);
    _finishChange(songIndex, to.setup);
}

bool SetListPlayer::reloadCurrentSong()
{
    if (!_playing || _currentRemoved)
        return false;
    if (!_takeToken()) {
        postWarningMessage(QStringLiteral("A song change is under way: reload the song once it is done."));
        return false;
    }
    const int index = _currentIndex;
    const int held = _heldIndexOf(index);
    // The copy playing now is left behind and released once what it holds has ended.
    _held[held].index = -1;
    _setList->setSongLoadError(index, QString());
    MIDIRoutingSetup* fresh = _readSong(index);
    if (!fresh) {
        const QString reason = _setList->getSongAtIndex(index).getLoadError();
        _held[held].index = index;
        _setList->setSongLoadError(index, QString());
        postWarningMessage(QStringLiteral("%1 could not be read again: %2 It plays on as it was.")
                               .arg(_setList->songTitle(index), reason));
        _ready.store(true);
        return false;
    }
    const Prepared to = _prepared(index);
    _performChange(to);
    _completedChange.store(-1);
    _finishChange(index, fresh);
    return true;
}

void SetListPlayer::_prepareAndPublish()
{
    // Token held, GUI thread: read the neighbours, then hand the token back with them published.
    const int count = _setList->getNumSongs();
    const int nextFrom = _currentIndex + 1;
    const int previousFrom = _currentRemoved ? _currentIndex : _currentIndex - 1;
    const int nextIndex = _findPlayable(nextFrom, 1);
    const int previousIndex = _findPlayable(previousFrom, -1);
    _nextRefusal = nextFrom >= count ? AtLastSong : NothingPlayableAfter;
    _previousRefusal = previousFrom < 0 ? AtFirstSong : NothingPlayableBefore;
    _current = Prepared();
    _current.index = _currentIndex;
    _current.setup = _currentSetup;
    _next = _prepared(nextIndex);
    _previous = _prepared(previousIndex);
    _releaseRestingSongs();
    _ready.store(true);
}

SetListPlayer::Prepared SetListPlayer::_prepared(int songIndex)
{
    Prepared prepared;
    const int held = songIndex < 0 ? -1 : _heldIndexOf(songIndex);
    if (held < 0)
        return prepared;
    prepared.index = songIndex;
    prepared.setup = _held.at(held).setup;
    for (int r = 0; r < prepared.setup->getNumMIDIRoutes(); ++r)
        prepared.routes.push_back(prepared.setup->getMIDIRouteAtIndex(r));
    return prepared;
}

int SetListPlayer::_findPlayable(int from, int step)
{
    for (int i = from; i >= 0 && i < _setList->getNumSongs(); i += step) {
        if (_setupForSong(i))
            return i;
    }
    return -1;
}

int SetListPlayer::_heldIndexOf(int songIndex) const
{
    for (int k = 0; k < _held.size(); ++k) {
        if (_held.at(k).index == songIndex && _held.at(k).setup)
            return k;
    }
    return -1;
}

MIDIRoutingSetup* SetListPlayer::_setupForSong(int songIndex)
{
    if (songIndex < 0 || songIndex >= _setList->getNumSongs())
        return nullptr;
    const int held = _heldIndexOf(songIndex);
    if (held >= 0)
        return _held.at(held).setup;
    if (_setList->getSongAtIndex(songIndex).isBroken())
        return nullptr;
    return _readSong(songIndex);
}

MIDIRoutingSetup* SetListPlayer::_readSong(int songIndex)
{
    const SetListSong& song = _setList->getSongAtIndex(songIndex);
    QString reason = song.getFile().isEmpty()
                         ? QStringLiteral("No setup file is named for it.")
                         : SetListFileReaderWriter::whySongFileCannotBeRead(song.getResolvedPath());
    if (reason.isEmpty()) {
        // Dormant before its first input is read: an input registers with its port as it is read.
        auto* setup = new MIDIRoutingSetup(QStringLiteral("no name"), this);
        setup->setPlayState(SongPlayGate::Dormant);
        QString firstError;
        const QMetaObject::Connection watch =
            connect(StatusManager::GetInstance(), &StatusManager::errorMessagePosted, this,
                    [&firstError](const QString& error) {
                        if (firstError.isEmpty())
                            firstError = error;
                    });
        const bool read =
            SetupFileReaderWriter::GetInstance()->readSetupFromDisk(setup, song.getResolvedPath());
        disconnect(watch);
        if (read) {
            _held.append({songIndex, setup});
            return setup;
        }
        delete setup;
        reason = firstError.isEmpty() ? QStringLiteral("It cannot be read as a setup.") : firstError;
    }
    _setList->setSongLoadError(songIndex, reason);
    return nullptr;
}

void SetListPlayer::_makeManagerCurrent(MIDIRoutingSetup* setup, bool sendInitializers)
{
    MIDIRoutingSetupManager* manager = MIDIRoutingSetupManager::GetInstance();
    MIDIRoutingSetup* old = manager->getCurrentRoutingSetup();
    bool oldIsOurs = false;
    for (const Held& held : std::as_const(_held))
        oldIsOurs = oldIsOurs || (old && held.setup == old);
    _settingManager = true;
    const bool allowed = manager->areInitializersOnOpenAllowed();
    if (!sendInitializers)
        manager->setInitializersOnOpenAllowed(false);
    manager->setCurrentRoutingSetup(setup, !oldIsOurs);
    manager->setInitializersOnOpenAllowed(allowed);
    if (oldIsOurs && old != setup)
        old->setParent(this);
    _settingManager = false;
}

void SetListPlayer::_managerSwitchedSLOT()
{
    // Another setup was opened (or the current one closed) while the set list played.
    if (_settingManager || !_playing)
        return;
    if (MIDIRoutingSetupManager::GetInstance()->getCurrentRoutingSetup() != _currentSetup)
        stop();
}

void SetListPlayer::_releaseRestingSongs()
{
    // GUI thread. Only a setup that no published slot names may go: the MIDI thread reaches
    // songs through those alone.
    for (int k = _held.size() - 1; k >= 0; --k) {
        MIDIRoutingSetup* setup = _held.at(k).setup;
        if (!setup) {
            _held.removeAt(k);
            continue;
        }
        if (setup == _currentSetup)
            continue;
        if (setup->getPlayState() == SongPlayGate::Releasing && setup->isAtRest())
            setup->getPlayGate()->changeState(SongPlayGate::Releasing, SongPlayGate::Dormant);
        if (setup->getPlayState() != SongPlayGate::Dormant)
            continue;
        if (setup == _current.setup || setup == _next.setup || setup == _previous.setup)
            continue;
        // A song edited during the evening keeps its edits until the set list closes.
        if (_held.at(k).index >= 0 && setup->isModified())
            continue;
        _held.removeAt(k);
        _deleteHeld(setup);
    }
}

void SetListPlayer::_deleteHeld(MIDIRoutingSetup* setup)
{
    // Deleted now: its inputs stop listening, its patches end what they sent, and ports no other
    // song uses close.
    delete setup;
}

void SetListPlayer::_postNotices()
{
    const unsigned notices = _notices.exchange(0);
    if (!notices)
        return;
    const QString here = _setList->songTitle(_currentIndex);
    if (notices & AtLastSong)
        postStatusMessage(QStringLiteral("next song: this is the last song (%1)").arg(here), 0);
    if (notices & AtFirstSong)
        postStatusMessage(QStringLiteral("previous song: this is the first song (%1)").arg(here), 0);
    if (notices & NothingPlayableAfter)
        postWarningMessage(QStringLiteral("No song after %1 can be played.").arg(here));
    if (notices & NothingPlayableBefore)
        postWarningMessage(QStringLiteral("No song before %1 can be played.").arg(here));
    if (notices & RequestLeftOut)
        postStatusMessage(QStringLiteral("a song change is already waiting: one more request was left out"),
                          0);
    if (notices & NoSuchSong)
        postWarningMessage(QStringLiteral("The set list \"%1\" has no such song: it has %2.")
                               .arg(_setList->getName())
                               .arg(_setList->getNumSongs()));
    if (notices & AlreadyOnSong)
        postStatusMessage(QStringLiteral("already playing %1").arg(here), 0);
}
