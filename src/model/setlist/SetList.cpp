#include "model/setlist/SetList.h"

#include <QDir>
#include <QFileInfo>
#include <utility>

SetList::SetList(QString name, QObject* parent) : QObject(parent), _name(std::move(name)) {}

void SetList::setName(const QString& name)
{
    if (name == _name)
        return;
    _name = name;
    emit nameChangedTo(name);
    setModified(true);
}

int SetList::addSong(const SetListSong& song)
{
    insertSong(_songs.size(), song);
    return _songs.size() - 1;
}

void SetList::insertSong(int index, const SetListSong& song)
{
    index = qBound(0, index, int(_songs.size()));
    SetListSong resolved = song;
    resolved.resolveAgainst(getFolder());
    _songs.insert(index, resolved);
    emit songAdded(index);
    setModified(true);
}

void SetList::removeSongAtIndex(int index)
{
    if (index < 0 || index >= _songs.size())
        return;
    _songs.removeAt(index);
    emit songRemoved(index);
    setModified(true);
}

void SetList::moveSongToIndex(int from, int to)
{
    if (from < 0 || from >= _songs.size() || to < 0 || to >= _songs.size() || from == to)
        return;
    _songs.move(from, to);
    emit songMovedTo(from, to);
    setModified(true);
}

void SetList::renameSong(int index, const QString& name)
{
    if (index < 0 || index >= _songs.size() || _songs.at(index).getName() == name)
        return;
    _songs[index].setName(name);
    emit songChanged(index);
    setModified(true);
}

void SetList::setSongLoadError(int index, const QString& error)
{
    if (index < 0 || index >= _songs.size() || _songs.at(index).getLoadError() == error)
        return;
    _songs[index].setLoadError(error);
    emit songChanged(index);
}

void SetList::setTriggers(const QList<SetListTrigger>& triggers)
{
    if (triggers == _triggers)
        return;
    _triggers = triggers;
    emit triggersChanged();
    setModified(true);
}

void SetList::addTrigger(const SetListTrigger& trigger)
{
    _triggers.append(trigger);
    emit triggersChanged();
    setModified(true);
}

void SetList::removeTriggerAtIndex(int index)
{
    if (index < 0 || index >= _triggers.size())
        return;
    _triggers.removeAt(index);
    emit triggersChanged();
    setModified(true);
}

QString SetList::getFolder() const
{
    if (_filePath.isEmpty())
        return QDir::currentPath();
    return QFileInfo(_filePath).absolutePath();
}

void SetList::setFilePath(const QString& path)
{
    if (path == _filePath)
        return;
    // A relative song keeps naming the same file from the new folder (Save As elsewhere).
    const QString folder = path.isEmpty() ? QDir::currentPath() : QFileInfo(path).absolutePath();
    for (SetListSong& song : _songs) {
        if (!song.getResolvedPath().isEmpty())
            song.setFile(song.fileForFolder(folder));
    }
    _filePath = path;
    _resolveAll();
    emit filePathChangedTo(path);
}

void SetList::_resolveAll()
{
    const QString folder = getFolder();
    for (SetListSong& song : _songs)
        song.resolveAgainst(folder);
}

void SetList::setModified(bool modified)
{
    if (modified == _modified)
        return;
    _modified = modified;
    emit modifiedChangedTo(modified);
}

int SetList::getFirstPlayableSongIndex() const
{
    for (int i = 0; i < _songs.size(); ++i) {
        if (!_songs.at(i).isBroken())
            return i;
    }
    return -1;
}

QString SetList::songTitle(int index) const
{
    if (index < 0 || index >= _songs.size())
        return QString();
    return QStringLiteral("song %1 of %2: %3")
        .arg(index + 1)
        .arg(_songs.size())
        .arg(_songs.at(index).getName());
}
