#include "persistence/RecentFilesTracker.h"

#include "persistence/AppPrefs.h"
#include "persistence/FilePaths.h"
#include "persistence/PrefKeys.h"

#include <QFileInfo>

namespace {

const QChar kSeparator = QLatin1Char('\n');

} // namespace

RecentFilesTracker* RecentFilesTracker::_instance = nullptr;

RecentFilesTracker* RecentFilesTracker::GetInstance()
{
    if (!_instance)
        _instance = new RecentFilesTracker();
    return _instance;
}

RecentFilesTracker::RecentFilesTracker() : QObject(nullptr)
{
    _load();
}

QString RecentFilesTracker::getMostRecentlyOpenedFile() const
{
    return _recentFiles.isEmpty() ? QString() : _recentFiles.first();
}

void RecentFilesTracker::setMostRecentlyOpenedFile(const QString& filePath)
{
    if (filePath.isEmpty() || filePath.contains(kSeparator))
        return;
    const QString path = getFilePathWithNativeSeparators(QFileInfo(filePath).absoluteFilePath());
    _recentFiles.removeAll(path);
    _recentFiles.prepend(path);
    while (_recentFiles.size() > MaxRecentFiles)
        _recentFiles.removeLast();
    emit recentFileListChanged();
    _save();
}

void RecentFilesTracker::_load()
{
    // Blank lines are dropped. A list edited by hand may also hold repeats or too many entries:
    // the first occurrence counts and only the 10 most recent are kept.
    const QString stored = getStringPrefValue(PrefKeys::RecentlyOpenFiles, QString());
    for (const QString& entry : stored.split(kSeparator, Qt::SkipEmptyParts)) {
        const QString path = getFilePathWithNativeSeparators(entry);
        if (!_recentFiles.contains(path))
            _recentFiles.append(path);
        if (_recentFiles.size() == MaxRecentFiles)
            break;
    }
}

void RecentFilesTracker::_save() const
{
    QStringList paths;
    for (const QString& entry : _recentFiles)
        paths.append(getFilePathWithNativeSeparators(entry));
    setStringPrefValue(PrefKeys::RecentlyOpenFiles, paths.join(kSeparator));
}

QStringList getRecentFileList()
{
    return RecentFilesTracker::GetInstance()->getRecentFileList();
}

QString getMostRecentlyOpenedFile()
{
    return RecentFilesTracker::GetInstance()->getMostRecentlyOpenedFile();
}

void setMostRecentlyOpenedFile(const QString& filePath)
{
    RecentFilesTracker::GetInstance()->setMostRecentlyOpenedFile(filePath);
}
