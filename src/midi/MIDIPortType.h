#pragma once

/// The direction of a MIDI port: one the program listens on, or one it sends to.
enum class MIDIPortType
{
    Input,
    Output,
};
