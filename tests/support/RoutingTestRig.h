#pragma once

#include "midi/MIDITypes.h"

#include <QList>
#include <QString>
#include <QStringList>

/// A fake MIDI system for routing tests: input ports "Keys" and "Pads", output ports "SynthA",
/// "SynthB" and "SynthC". Install it once per test process, before anything touches the ports.
/// Messages the program sends are recorded per output port; played messages enter through the
/// same path as a real port's (the port manager's input delivery).
class FakeMIDIBackend;

class RoutingTestRig
{
public:
    /// The fake backend behind the rig, for streaming input from threads.
    static FakeMIDIBackend* backend();
    /// The catalogue index of an input port of the rig.
    static int inputIndex(const QString& inputPort);
    static void install(const QStringList& inputs = {QStringLiteral("Keys"), QStringLiteral("Pads")},
                        const QStringList& outputs = {QStringLiteral("SynthA"), QStringLiteral("SynthB"),
                                                      QStringLiteral("SynthC")});

    /// Plays a message into an input port, on the calling thread.
    static void play(const QString& inputPort, const midiMessage_t& message);
    /// Everything sent to the output port since the last take, oldest first; clears the record.
    static QList<midiMessage_t> takeSent(const QString& outputPort);
    /// Forgets everything sent so far on every port.
    static void clearSent();
};
