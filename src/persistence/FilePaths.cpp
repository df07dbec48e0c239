#include "persistence/FilePaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

QString getFilePathWithNativeSeparators(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

bool doesFileExist(const QString& path)
{
    return QFile::exists(path);
}

QString getFileNameWithoutThePath(const QString& path)
{
    return QFileInfo(path).fileName();
}

QString getAbsolutePathToFile(const QString& path)
{
    return QFileInfo(path).absolutePath();
}
