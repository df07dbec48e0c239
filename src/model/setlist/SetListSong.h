#pragma once

#include <QString>

/// One song of a set list: a display name and a setup file. The file is kept as it was given
/// (relative to the set list's folder, or absolute) and also resolved against that folder. A song
/// whose file could not be read carries the reason; the rest of the list plays on without it.
/// A plain value; GUI thread only.
class SetListSong
{
public:
    SetListSong() = default;
    SetListSong(QString name, QString file);

    QString getName() const { return _name; }
    void setName(const QString& name) { _name = name; }
    /// The file as given (as the set list file holds it).
    QString getFile() const { return _file; }
    void setFile(const QString& file) { _file = file; }
    /// The file's absolute path, once resolved against the set list's folder.
    QString getResolvedPath() const { return _resolvedPath; }
    /// Resolves the file against the folder (an absolute file stays as it is).
    void resolveAgainst(const QString& folder);

    /// Why the song's setup cannot be played; empty when it can (or has not been tried).
    QString getLoadError() const { return _loadError; }
    void setLoadError(const QString& error) { _loadError = error; }
    bool isBroken() const { return !_loadError.isEmpty(); }

    /// The file as it is written into a set list kept in `folder`: still relative when it was given
    /// relative, now relative to that folder; absolute when it was given absolute.
    QString fileForFolder(const QString& folder) const;

    bool operator==(const SetListSong& other) const { return _name == other._name && _file == other._file; }

private:
    QString _name;
    QString _file;
    QString _resolvedPath;
    QString _loadError;
};
