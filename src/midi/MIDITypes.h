#pragma once

#include <vector>

/// A MIDI message: status byte first, then its data bytes. Passed by pointer along the MIDI path.
typedef std::vector<unsigned char> midiMessage_t;

/// An unsigned 8-bit MIDI value: channel, note number, controller number, program or data value.
typedef unsigned char BYTE;
