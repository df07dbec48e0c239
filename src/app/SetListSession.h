#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

class MIDIRoutingSetup;
class SetList;
class SetListPlayer;

/// The set list the window has open, with its player, and the songs' setups that were played
/// this evening: the player keeps a song's setup with its edits while the list stays open, and
/// this remembers which ones were edited so that closing the list (or quitting) can ask about
/// each once. GUI thread only.
class SetListSession : public QObject
{
    Q_OBJECT

public:
    /// A song's setup with edits not yet saved, and the song's name.
    struct EditedSong
    {
        QString name;
        QPointer<MIDIRoutingSetup> setup;
    };

    explicit SetListSession(QObject* parent = nullptr);
    ~SetListSession() override;

    bool isOpen() const { return _setList != nullptr; }
    SetList* getSetList() const { return _setList; }
    SetListPlayer* getPlayer() const { return _player; }
    bool isPlaying() const;

    /// Takes the list (an open one is closed first, without asking) and makes its player. Playing
    /// starts with the player's start().
    void open(SetList* setList);
    /// Stops the player (every note ends, every song's setup goes, the setup manager is left
    /// without a current setup when a song was current) and lets go of the list.
    void close();

    /// The songs' setups with unsaved edits, in the order they were first played.
    QList<EditedSong> editedSongs() const;
    /// The setup of the song at the index when it has unsaved edits; null otherwise.
    MIDIRoutingSetup* editedSetupOfSong(int songIndex) const;

signals:
    void setListOpened(SetList* setList);
    void setListClosed();

private:
    void _currentSongChangedToSLOT(int songIndex);
    QString _nameOfSongFor(const MIDIRoutingSetup* setup, const QString& fallback) const;

    SetList* _setList = nullptr;
    SetListPlayer* _player = nullptr;
    QList<EditedSong> _played;
};
