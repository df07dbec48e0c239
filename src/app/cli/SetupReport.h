#pragma once

#include <QString>
#include <QStringList>

class MIDIRoutingSetup;

/// What `--check` prints about a setup file: its inputs, outputs (with activation values),
/// patches (with ports and channels), transforms and initializers, then every problem found:
/// ports named in the file that this machine lacks, unknown types, anything the reader reported.
class SetupReport
{
public:
    /// Reads the file and builds the report. GUI (main) thread only.
    explicit SetupReport(const QString& setupFile);

    bool wasRead() const { return _read; }
    /// True when the file was read and no problem was found.
    bool isClean() const { return _read && _problems.isEmpty(); }
    QString contentsText() const { return _contents; }
    QStringList problems() const { return _problems; }
    /// Exit status for `--check`: 0 clean, 1 read with problems, 2 not readable.
    int exitStatus() const { return isClean() ? 0 : (_read ? 1 : 2); }

    /// The contents part of the report for a setup.
    static QString describe(MIDIRoutingSetup* setup);

private:
    void _findMissingPorts(const QString& setupFile);

    bool _read = false;
    QString _contents;
    QStringList _problems;
};
