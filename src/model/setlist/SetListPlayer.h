#pragma once

#include "midi/MIDIInputInterceptor.h"
#include "model/setlist/SetListTrigger.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <atomic>
#include <memory>
#include <vector>

class MIDIRoute;
class MIDIRoutingSetup;
class SetList;
class SetListTriggerPortKeeper;

/// Plays a set list: holds the current song's setup (which is also the setup manager's current
/// setup, so the window and the remote act on it), and keeps the songs before and after it read
/// ahead, their ports open, routing nothing (Dormant), so that a change on the MIDI thread reads
/// no file, opens no port and allocates nothing.
///
/// At a change the new song's inputs take over the ports (Live) and its active outputs send their
/// initializers; the old song goes on Releasing: every note, pedal and gesture begun there keeps
/// reaching the outputs that started it until it ends, and only then is that song released
/// (deleted on the GUI thread, its ports closed unless another song held here uses them).
///
/// Triggers (the set list's, and next/previous/goto from the program) are looked at before any
/// song's inputs and are consumed. A change takes effect at once when its song is read ahead; then,
/// until the GUI thread has read the new neighbours, the change is in progress and one more
/// request waits (at most one; more are left out with a status message). "Next" on the last song
/// and "previous" on the first do nothing and say so; a song whose file cannot be read is skipped
/// with a warning.
///
/// Threads: requests (nextSong, previousSong, gotoSong) and triggers come from any thread and
/// never block or allocate; everything else is GUI thread only.
class SetListPlayer : public QObject, private MIDIInputInterceptor
{
    Q_OBJECT

public:
    /// Plays `setList`, which must outlive the player.
    explicit SetListPlayer(SetList* setList, QObject* parent = nullptr);
    ~SetListPlayer() override;

    SetList* getSetList() const { return _setList; }

    /// Makes the song at the index (or the first playable one after it) current, reads its
    /// neighbours ahead and starts listening to the triggers. The setup manager's current setup is
    /// replaced (and deleted): callers have offered to save it. False, with an error posted, when
    /// no song from there on can be played. GUI thread only.
    bool start(int songIndex = 0);
    /// Ends everything sounding in every song held, lets go of all of them (the manager is left
    /// with no current setup) and stops listening to the triggers. GUI thread only.
    void stop();
    bool isPlaying() const { return _playing; }

    /// The current song, counting from 0; -1 when not playing. GUI thread only.
    int getCurrentSongIndex() const { return _currentIndex; }
    MIDIRoutingSetup* getCurrentSongSetup() const;
    /// The songs read ahead (-1: none). GUI thread only.
    int getNextSongIndex() const { return _next.index; }
    int getPreviousSongIndex() const { return _previous.index; }
    /// How many setups are held: current, read ahead, and songs left that are still releasing.
    int getNumHeldSetups() const { return _held.size(); }
    /// True from a change until the songs around the new one are read ahead. GUI thread only.
    bool isChangeInProgress() const { return _playing && !_ready.load(); }

    /// Requests as the triggers make them. Any thread; no allocation, no blocking.
    void nextSong();
    void previousSong();
    /// The song at the index, counting from 0.
    void gotoSong(int songIndex);

    /// Reads the current song's file again and changes to it as to another song (what sounds
    /// rings on). False, with the reason posted, when it cannot be read or a change is under
    /// way. GUI thread only.
    bool reloadCurrentSong();
    /// All notes off in every song held. GUI thread only.
    void panic();

    /// Handles whatever the MIDI thread did (changes, notices, songs come to rest). The player's
    /// timer calls it; tests may call it to avoid waiting. GUI thread only.
    void processPendingWork();

signals:
    /// The song at the index is now current (its setup is the manager's current setup).
    void currentSongChangedTo(int songIndex);
    /// The set list stopped playing (stop(), or another setup was opened).
    void stopped();

private:
    struct Prepared
    {
        int index = -1;
        MIDIRoutingSetup* setup = nullptr;
        std::vector<MIDIRoute*> routes;
    };
    struct Held
    {
        int index; // -1: a song left behind by a reload or an edit of the list
        QPointer<MIDIRoutingSetup> setup;
    };
    enum Notice : unsigned
    {
        AtLastSong = 1u << 0,
        AtFirstSong = 1u << 1,
        NothingPlayableAfter = 1u << 2,
        NothingPlayableBefore = 1u << 3,
        RequestLeftOut = 1u << 4,
        NoSuchSong = 1u << 5,
        AlreadyOnSong = 1u << 6,
    };
    static constexpr int kNextAction = 1;
    static constexpr int kPreviousAction = 2;
    static constexpr int kFirstSongAction = 16; // + song index

    bool interceptMIDIInputMessage(int inputPortIndex, double timeStamp,
                                   const midiMessage_t* message) override;
    /// Any thread: acts at once when it can, else queues (at most one).
    void _request(int action);
    /// Token held: false (nothing changed, token to be given back) or true.
    bool _actWithToken(int action);
    /// Token held, any thread: the old song releases, the new one sends its initializers and plays.
    void _performChange(const Prepared& to);
    void _noteNotice(unsigned notice);

    // GUI thread.
    bool _takeToken();
    void _finishChange(int songIndex, MIDIRoutingSetup* setup);
    void _performSlowChange(int songIndex);
    void _prepareAndPublish();
    Prepared _prepared(int songIndex);
    int _findPlayable(int from, int step);
    MIDIRoutingSetup* _setupForSong(int songIndex);
    MIDIRoutingSetup* _readSong(int songIndex);
    int _heldIndexOf(int songIndex) const;
    void _makeManagerCurrent(MIDIRoutingSetup* setup, bool sendInitializers);
    void _releaseRestingSongs();
    void _postNotices();
    void _installTriggers();
    void _removeTriggers();
    void _triggersChangedSLOT();
    void _songsRearranged(int kind, int first, int second);
    void _managerSwitchedSLOT();
    void _deleteHeld(MIDIRoutingSetup* setup);

    SetList* _setList;
    QTimer _timer;
    bool _playing = false;
    bool _settingManager = false;
    int _currentIndex = -1;
    // The current song was taken out of the list: next plays the song now at _currentIndex + 1,
    // previous the one at _currentIndex.
    bool _currentRemoved = false;
    QPointer<MIDIRoutingSetup> _currentSetup;
    QList<Held> _held;

    // Read by whichever thread holds the token (taken from _ready); written by the GUI thread
    // before it gives the token back.
    Prepared _current;
    Prepared _next;
    Prepared _previous;
    unsigned _nextRefusal = AtLastSong;
    unsigned _previousRefusal = AtFirstSong;
    std::atomic<bool> _ready{false};
    std::atomic<int> _completedChange{-1};
    std::atomic<MIDIRoutingSetup*> _completedSetup{nullptr};
    std::atomic<int> _pendingAction{0};
    std::atomic<int> _slowChange{-1};
    std::atomic<unsigned> _notices{0};

    // Read on the MIDI thread; changed only while no delivery runs.
    std::vector<SetListTrigger> _triggers;
    std::vector<int> _triggerPortIndexes;
    std::vector<std::unique_ptr<SetListTriggerPortKeeper>> _portKeepers;
    QStringList _keptPortNames;
};
