#include "model/setlist/SetListSong.h"

#include <QDir>
#include <QFileInfo>
#include <utility>

SetListSong::SetListSong(QString name, QString file) : _name(std::move(name)), _file(std::move(file)) {}

void SetListSong::resolveAgainst(const QString& folder)
{
    if (_file.isEmpty()) {
        _resolvedPath.clear();
        return;
    }
    if (QDir::isAbsolutePath(_file))
        _resolvedPath = QDir::cleanPath(_file);
    else
        _resolvedPath =
            QDir::cleanPath(QDir(folder.isEmpty() ? QDir::currentPath() : folder).absoluteFilePath(_file));
}

QString SetListSong::fileForFolder(const QString& folder) const
{
    if (_file.isEmpty() || QDir::isAbsolutePath(_file) || _resolvedPath.isEmpty())
        return QDir::fromNativeSeparators(_file);
    return QDir::fromNativeSeparators(QDir(folder).relativeFilePath(_resolvedPath));
}
