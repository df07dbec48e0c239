#pragma once

#include "model/setlist/SetListSong.h"
#include "model/setlist/SetListTrigger.h"

#include <QList>
#include <QObject>
#include <QString>

/// An evening of songs: a name, the songs in the order they are played, the triggers that change
/// the song, and the file the list is kept in (".msl"). Every change is announced by a signal and
/// marks the list modified; saving or reading clears the mark. Songs are counted from 0 here;
/// the player and the user count from 1. GUI thread only.
class SetList : public QObject
{
    Q_OBJECT

public:
    explicit SetList(QString name = QString(), QObject* parent = nullptr);

    QString getName() const { return _name; }
    void setName(const QString& name);

    int getNumSongs() const { return _songs.size(); }
    bool isEmpty() const { return _songs.isEmpty(); }
    const SetListSong& getSongAtIndex(int index) const { return _songs.at(index); }
    const QList<SetListSong>& getSongs() const { return _songs; }
    /// Appends the song, its file resolved against the list's folder; returns its index.
    int addSong(const SetListSong& song);
    void insertSong(int index, const SetListSong& song);
    void removeSongAtIndex(int index);
    void moveSongToIndex(int from, int to);
    void renameSong(int index, const QString& name);
    /// Records why the song cannot be played (empty: it can). Not a change of the list itself: the
    /// modified mark stays.
    void setSongLoadError(int index, const QString& error);

    const QList<SetListTrigger>& getTriggers() const { return _triggers; }
    void setTriggers(const QList<SetListTrigger>& triggers);
    void addTrigger(const SetListTrigger& trigger);
    void removeTriggerAtIndex(int index);

    QString getFilePath() const { return _filePath; }
    /// The folder that relative song files are resolved against: the file's, else the current one.
    QString getFolder() const;
    /// Stores the path and resolves every song against its folder again. Not a modification.
    void setFilePath(const QString& path);

    bool isModified() const { return _modified; }
    void setModified(bool modified);

    /// The first song not marked broken, -1 when there is none.
    int getFirstPlayableSongIndex() const;
    /// "song 2 of 5: Ballad" for the song at the index.
    QString songTitle(int index) const;

signals:
    void nameChangedTo(QString name);
    void songAdded(int index);
    void songRemoved(int index);
    void songMovedTo(int from, int to);
    void songChanged(int index);
    void triggersChanged();
    void filePathChangedTo(QString path);
    void modifiedChangedTo(bool modified);

private:
    void _resolveAll();

    QString _name;
    QList<SetListSong> _songs;
    QList<SetListTrigger> _triggers;
    QString _filePath;
    bool _modified = false;
};
