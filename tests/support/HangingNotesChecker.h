#pragma once

#include "midi/MIDITypes.h"

#include <QMap>
#include <QString>
#include <QStringList>

/// Follows what a synth on each port would hear: notes started and not ended, sustain pedals
/// held, All Notes Off. hanging() lists whatever is left sounding or held, empty when nothing is.
class HangingNotesChecker
{
public:
    void heard(const QString& port, const midiMessage_t& message);
    /// Takes everything the routing test rig recorded on these ports.
    void collectFromRig(const QStringList& ports);
    QString hanging() const;
    /// Number of note ons heard in all, to show a test really played.
    int noteOnsHeard() const { return _noteOns; }

private:
    QMap<QString, QMap<int, int>> _notes; // port -> channel * 128 + note -> count
    QMap<QString, QMap<int, bool>> _pedals;
    int _noteOns = 0;
};
