// The part of the set list player that runs on whichever thread asks for a change: the triggers,
// the requests and the change itself. Nothing here allocates, blocks or touches a file or a port.
#include "model/setlist/SetListPlayer.h"

#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"

bool SetListPlayer::interceptMIDIInputMessage(int inputPortIndex, double, const midiMessage_t* message)
{
    // MIDI thread: no allocation, no blocking. Every trigger of the port sees the message, so
    // each keeps its own state (a controller's range) right; the first that fires acts.
    bool consumed = false;
    int action = 0;
    for (size_t i = 0; i < _triggers.size(); ++i) {
        if (_triggerPortIndexes[i] != inputPortIndex)
            continue;
        const SetListTrigger::Match match = _triggers[i].match(message);
        if (match == SetListTrigger::Match::None)
            continue;
        consumed = true;
        if (match == SetListTrigger::Match::Fired && action == 0) {
            const SetListTrigger& trigger = _triggers[i];
            switch (trigger.getAction()) {
            case SetListTrigger::Action::Next:
                action = kNextAction;
                break;
            case SetListTrigger::Action::Previous:
                action = kPreviousAction;
                break;
            case SetListTrigger::Action::Song:
                action = kFirstSongAction + trigger.getSongNumber() - 1;
                break;
            }
        }
    }
    if (action != 0)
        _request(action);
    return consumed;
}

void SetListPlayer::nextSong()
{
    _request(kNextAction);
}

void SetListPlayer::previousSong()
{
    _request(kPreviousAction);
}

void SetListPlayer::gotoSong(int songIndex)
{
    if (songIndex < 0) {
        _noteNotice(NoSuchSong);
        return;
    }
    _request(kFirstSongAction + songIndex);
}

void SetListPlayer::_noteNotice(unsigned notice)
{
    _notices.fetch_or(notice);
}

void SetListPlayer::_request(int action)
{
    // Any thread. The token (_ready) belongs to whoever changes the song: the first to take it
    // acts; a request made while a change is in progress waits for it, and only one may wait.
    bool ready = true;
    if (_ready.compare_exchange_strong(ready, false)) {
        if (!_actWithToken(action))
            _ready.store(true);
        return;
    }
    int none = 0;
    if (!_pendingAction.compare_exchange_strong(none, action))
        _noteNotice(RequestLeftOut);
}

bool SetListPlayer::_actWithToken(int action)
{
    // Token held, any thread.
    if (action == kNextAction) {
        if (!_next.setup) {
            _noteNotice(_nextRefusal);
            return false;
        }
        _performChange(_next);
        return true;
    }
    if (action == kPreviousAction) {
        if (!_previous.setup) {
            _noteNotice(_previousRefusal);
            return false;
        }
        _performChange(_previous);
        return true;
    }
    const int songIndex = action - kFirstSongAction;
    if (songIndex == _current.index && !_currentRemoved) {
        _noteNotice(AlreadyOnSong);
        return false;
    }
    if (_next.setup && songIndex == _next.index) {
        _performChange(_next);
        return true;
    }
    if (_previous.setup && songIndex == _previous.index) {
        _performChange(_previous);
        return true;
    }
    // A song not read ahead: the GUI thread reads it and changes (keeping the token meanwhile, so
    // requests made until then wait). Whether it exists is checked there.
    _slowChange.store(songIndex);
    return true;
}

void SetListPlayer::_performChange(const Prepared& to)
{
    // Token held, any thread: atomic stores and the initializers' sends only. The old song stops
    // taking anything new first, the new one's synths hear their initializers next, and only then
    // do its inputs route, so no note of the new song comes before its initializers.
    if (_current.setup && _current.setup != to.setup)
        _current.setup->setPlayState(SongPlayGate::Releasing);
    for (MIDIRoute* route : to.routes)
        route->sendActiveOutputInitializers();
    to.setup->setPlayState(SongPlayGate::Live);
    _completedSetup.store(to.setup);
    _completedChange.store(to.index);
}
