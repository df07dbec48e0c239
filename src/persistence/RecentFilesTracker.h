#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

/// The setup files opened or saved most recently, most recent first, at most 10, as absolute paths
/// with native separators. Kept in the preferences under "RecentlyOpenFiles" as one text with the
/// paths separated by line breaks: read when the tracker is first used, written on every change.
/// Entries are not checked for existence; the recent-files menu marks missing ones.
/// A singleton created on first use. GUI thread only.
class RecentFilesTracker : public QObject
{
    Q_OBJECT

public:
    static constexpr int MaxRecentFiles = 10;

    static RecentFilesTracker* GetInstance();

    /// A copy of the list, most recent first.
    QStringList getRecentFileList() const { return _recentFiles; }
    /// The first entry, or empty.
    QString getMostRecentlyOpenedFile() const;
    /// Puts the file (made absolute) at the front, removing any earlier entry of the same path and
    /// dropping the oldest beyond 10; emits recentFileListChanged(), then stores the list. An empty
    /// path, or one holding a line break (which the stored form cannot keep apart), is not listed.
    void setMostRecentlyOpenedFile(const QString& filePath);

signals:
    void recentFileListChanged();

private:
    RecentFilesTracker();
    void _load();
    void _save() const;

    static RecentFilesTracker* _instance;
    QStringList _recentFiles;
};

/// The tracker's list, most recent first.
QStringList getRecentFileList();
/// The tracker's most recent file, or empty.
QString getMostRecentlyOpenedFile();
/// Records the file as the most recently opened (or saved) one.
void setMostRecentlyOpenedFile(const QString& filePath);
