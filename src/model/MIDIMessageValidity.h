#pragma once

#include "midi/MIDITypes.h"

// Whole-message checks for what arrives from a port or leaves for one. The classifiers of
// MIDIMessage.h expect channel messages; these tell them apart from everything else first.
// None of them allocates or locks: all are safe on the MIDI thread.

/// True for a complete, well-formed MIDI message: a status byte first, exactly the length that
/// status asks for, every data byte 0-127. A system exclusive message runs from F0 to its F7 with
/// data bytes only in between. The undefined statuses F4, F5, F9 and FD and a lone F7 are never
/// complete messages; neither are running-status fragments (data bytes without a status byte).
bool isCompleteMIDIMessage(const midiMessage_t* message);

/// True for a channel message (status 80 to EF): the messages that carry a channel nibble.
bool isChannelMessage(const midiMessage_t* message);

/// True for a system message (status F0 to FF): no channel, never rewritten or transformed.
bool isSystemMessage(const midiMessage_t* message);

/// True for a message that begins a system exclusive message (status F0).
bool isSystemExclusiveMessage(const midiMessage_t* message);
