#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

class MIDIRoutingSetup;

/// The active output of each input of a setup, kept between runs in a small state file so that a
/// headless box restarted on the same setup comes back on the sounds it was playing. The state
/// names the setup file and a hash of its content; it applies only when that same file reopens
/// unchanged. GUI thread only.
class ActiveOutputState
{
public:
    /// The folder of the state files: $XDG_STATE_HOME/quorvell, by default ~/.local/state/quorvell.
    static QString stateDirectory();
    /// The state file of a setup file: one per setup, so that boxes routing different setups
    /// (one service each) keep apart.
    static QString stateFilePathFor(const QString& setupFile);
    /// SHA-256 of the file's content, hex; empty when it cannot be read.
    static QByteArray contentHash(const QString& setupFile);

    /// What is active in the setup now.
    static ActiveOutputState capture(MIDIRoutingSetup* setup);

    /// Writes the state for setupFile (whose content had `hash`) atomically to statePath, making
    /// the folder. False with the reason in `errorText` when it cannot.
    bool save(const QString& statePath, const QString& setupFile, const QByteArray& hash,
              QString* errorText = nullptr) const;

    /// Reads the state kept for setupFile. It is taken only when it names this file with the same
    /// content hash; otherwise (none kept, changed file, damaged state) `isValid()` is false and
    /// `whyNot` says why in one sentence (empty when there simply was none).
    static ActiveOutputState load(const QString& statePath, const QString& setupFile, const QByteArray& hash,
                                  QString* whyNot = nullptr);

    bool isValid() const { return _valid; }
    int numInputs() const { return int(_inputs.size()); }

    /// Makes each remembered output active again (sending its initializers, as any switch does).
    /// An input or output is matched by its position and its name; one that does not match is
    /// left as the file has it. Returns how many inputs were switched.
    int applyTo(MIDIRoutingSetup* setup) const;

private:
    struct Input
    {
        QString name;
        QString activeOutput;
        int activeOutputIndex = -1;
    };
    QVector<Input> _inputs;
    bool _valid = false;
};
