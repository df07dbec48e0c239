#pragma once

#include <QString>
#include <QStringList>

/// What `--check` prints about a set list file: its songs (each checked as a setup file would be)
/// and triggers, then every problem found, each broken song named with the reason.
class SetListReport
{
public:
    /// True when the path names a set list (".msl") rather than a setup.
    static bool isSetListFile(const QString& path);

    /// Reads the list and every song in it. GUI (main) thread only.
    explicit SetListReport(const QString& setListFile);

    bool wasRead() const { return _read; }
    bool isClean() const { return _read && _problems.isEmpty(); }
    QStringList problems() const { return _problems; }
    /// The whole report, ending with the problems or "No problems found.".
    QString text() const;
    /// Exit status for `--check`: 0 clean, 1 read with problems (a broken song), 2 not readable.
    int exitStatus() const { return isClean() ? 0 : (_read ? 1 : 2); }

private:
    bool _read = false;
    QString _contents;
    QStringList _problems;
};
