#pragma once

#include "midi/MIDIInputMessageHandler.h"

#include <QString>

/// Keeps an input port that carries set list triggers open while the set list plays, whether or
/// not a song listens there. The triggers themselves are matched before any handler (see
/// SetListPlayer), so this handler has nothing left to do with the messages.
class SetListTriggerPortKeeper : public MIDIInputMessageHandler
{
public:
    /// Requires the port from the port I/O manager. GUI thread only.
    explicit SetListTriggerPortKeeper(const QString& portName);
    /// Lets go of the port. GUI thread only.
    ~SetListTriggerPortKeeper() override;

    QString getPortName() const { return _portName; }

    /// MIDI thread: nothing to do.
    void handleMIDIInputMessage(double, midiMessage_t*) override {}

private:
    QString _portName;
};
