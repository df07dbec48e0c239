#pragma once

#include "midi/MIDITypes.h"

#include <QString>
#include <cstdint>

// Build, classify and take apart MIDI channel messages. Everything that reads or writes status
// and data bytes goes through these functions. None of them allocates unless a builder has to grow
// a message, none locks: all are safe on the MIDI thread. A message that is too short for what is
// asked never matches a classifier, and accessors give 0 for a missing data byte.

typedef std::uint16_t pitchBendValue_t;

// Status nibbles of the channel message types.
inline constexpr BYTE kNoteOff = 0x80;
inline constexpr BYTE kNoteOn = 0x90;
inline constexpr BYTE kPolyAftertouch = 0xA0;
inline constexpr BYTE kControlChange = 0xB0;
inline constexpr BYTE kProgramChange = 0xC0;
inline constexpr BYTE kChannelAftertouch = 0xD0;
inline constexpr BYTE kPitchBend = 0xE0;
inline constexpr pitchBendValue_t kPitchBendCentre = 8192;

/// The channel value of an input that listens on every channel, or of a patch that keeps each
/// message's own channel. Real channels are 0 to 15.
inline constexpr BYTE kAnyMIDIChannel = 127;

// Controllers with a meaning of their own.
/// The sustain pedal: values from kPedalDownThreshold up hold it down, lower ones release it.
inline constexpr BYTE kSustainPedal = 64;
inline constexpr BYTE kPedalDownThreshold = 64;
/// All Notes Off.
inline constexpr BYTE kAllNotesOff = 123;

// Builders: each sizes the message for its type with channel nibble 0.
void setNoteOnMessage(midiMessage_t* message, BYTE note, BYTE velocity);
void setNoteOffMessage(midiMessage_t* message, BYTE note, BYTE velocity);
void setProgramChangeMessage(midiMessage_t* message, BYTE program);
void setControlChangeMessage(midiMessage_t* message);
void setPitchBendMessage(midiMessage_t* message);
void copyMIDIMessage(const midiMessage_t* from, midiMessage_t* to);

// Classifiers.
BYTE getMIDIMessageType(const midiMessage_t* message);
BYTE getMIDIChannelIndex(const midiMessage_t* message);
void setMIDIChannelIndex(midiMessage_t* message, BYTE channel);
bool isNoteOnMessage(const midiMessage_t* message);
bool isNoteOffMessage(const midiMessage_t* message);
bool isNoteMessage(const midiMessage_t* message);
bool isPolyphonicAftertouchMessage(const midiMessage_t* message);
bool isControlChangeMessage(const midiMessage_t* message);
bool isProgramChangeMessage(const midiMessage_t* message);
bool isChannelAftertouchMessage(const midiMessage_t* message);
bool isPitchBendMessage(const midiMessage_t* message);
bool isControlChangeNumber(const midiMessage_t* message, BYTE controller);

// Accessors.
BYTE getNote(const midiMessage_t* message);
void setNote(midiMessage_t* message, BYTE note);
BYTE getVelocity(const midiMessage_t* message);
void setVelocity(midiMessage_t* message, BYTE velocity);
void getNoteAndVelocity(const midiMessage_t* message, BYTE* note, BYTE* velocity);
/// Adds the semitones to the note number, truncated to 8 bits; no range check.
void transposeNoteBy(midiMessage_t* message, int semitones);
BYTE getProgramChangeIndex(const midiMessage_t* message);
BYTE getControlChangeNumber(const midiMessage_t* message);
void changeControlNumberTo(midiMessage_t* message, BYTE controller);
BYTE getControlValue(const midiMessage_t* message);
void getControlNumberAndValue(const midiMessage_t* message, BYTE* controller, BYTE* value);
void setControlNumberAndValue(midiMessage_t* message, BYTE controller, BYTE value);
BYTE getChannelAftertouchPressureValue(const midiMessage_t* message);
void getPolyphonicAftertouchNoteNumAndPressure(const midiMessage_t* message, BYTE* note, BYTE* pressure);
pitchBendValue_t getPitchBendValue(const midiMessage_t* message);
void setPitchBendValue(midiMessage_t* message, pitchBendValue_t value);
BYTE scaleDownPitchBendValue(pitchBendValue_t value);
/// The value a message carries for output activation: a controller's value, a note's number, a
/// program number, the low eight bits of a pitch bend; 0 for anything else.
BYTE getMIDIMessageValue(const midiMessage_t* message);

// Value stepping.
bool isValueInRange(BYTE value);
BYTE channelAfter(BYTE channel);
BYTE valueNumberAfter(BYTE value);

/// Note name such as "C4", octave numbering after the "MiddleCName" preference. Any thread.
const char* getMIDINoteName(BYTE note);

/// One line of text for the message inspector: "Ch. 1\tNote On: C4\tVelocity: 100" and so on.
QString getMessageDescription(const midiMessage_t* message);
