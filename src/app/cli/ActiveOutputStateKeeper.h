#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

class MIDIRoutingSetup;

/// Keeps the state file of a headless run up to date: every switch of an input's active output
/// (the model's activeMIDIOutputChangedTo, carried to the main thread by the signal pump) starts a
/// short timer, and when it runs out the state is written, so a burst of switches costs one write
/// and the MIDI thread never waits for a disk. GUI (main) thread only.
class ActiveOutputStateKeeper : public QObject
{
    Q_OBJECT

public:
    /// Milliseconds between the last switch and the write.
    static constexpr int kWriteDelayMs = 300;

    ActiveOutputStateKeeper(MIDIRoutingSetup* setup, const QString& setupFile, const QByteArray& setupHash,
                            QObject* parent = nullptr);

    /// Writes the state now (at stop), whether or not a switch is waiting.
    void flush();

private slots:
    void _switchedSLOT();
    void _writeSLOT();

private:
    MIDIRoutingSetup* _setup;
    QString _setupFile;
    QByteArray _setupHash;
    QString _statePath;
    QTimer _timer;
    bool _reportedFailure = false;
};
