#pragma once

#include "model/MIDIMessage.h"

#include <QString>
#include <cstdint>

/// A message that changes the song: a note, a program change or a controller from one input port
/// and channel (or every channel), and what it does (next song, previous song, or a song by its
/// number). A trigger's messages are consumed, never forwarded: the note on fires and its note off
/// is consumed too; the program change fires; a controller fires when its value enters
/// minValue..maxValue from outside that range (one press of a foot switch is one change), and
/// every value of that controller is consumed, the release too.
///
/// A plain value. The matching state (whether a controller is inside its range, per channel) is
/// fixed-size: match() runs on the MIDI thread of the trigger's port; everything else is GUI
/// thread only.
class SetListTrigger
{
public:
    enum class Action
    {
        Next,
        Previous,
        Song
    };
    enum class MessageType
    {
        Note,
        ProgramChange,
        Controller
    };
    enum class Match
    {
        /// Not the trigger's: the song's routes get it.
        None,
        /// The trigger's, but it changes nothing (a note off, a controller release).
        Consumed,
        /// The trigger's, and the song changes.
        Fired
    };
    static constexpr BYTE kAnyChannel = kAnyMIDIChannel;

    SetListTrigger() = default;
    SetListTrigger(Action action, QString midiPortName, BYTE channel, MessageType type, BYTE number);

    Action getAction() const { return _action; }
    void setAction(Action action) { _action = action; }
    /// The song of Action::Song, counting from 1.
    int getSongNumber() const { return _songNumber; }
    void setSongNumber(int number) { _songNumber = number; }
    QString getMIDIPortName() const { return _midiPortName; }
    void setMIDIPortName(const QString& name) { _midiPortName = name; }
    /// 0 to 15, or kAnyChannel.
    BYTE getMIDIChannelIndex() const { return _channel; }
    void setMIDIChannelIndex(BYTE channel) { _channel = channel; }
    MessageType getMessageType() const { return _messageType; }
    void setMessageType(MessageType type) { _messageType = type; }
    /// The note, program or controller number, 0 to 127.
    BYTE getNumber() const { return _number; }
    void setNumber(BYTE number) { _number = number; }
    /// The controller's range (both included); kept in order.
    BYTE getMinValue() const { return _minValue; }
    BYTE getMaxValue() const { return _maxValue; }
    void setValueRange(BYTE minValue, BYTE maxValue);

    /// Whether the message is this trigger's, and whether it fires. The caller has checked that it
    /// came from the trigger's port. MIDI thread: no allocation, no blocking.
    Match match(const midiMessage_t* message);
    /// Forgets where the controller was: its next value in range fires.
    void resetMatchState() { _insideRange = 0; }

    bool operator==(const SetListTrigger& other) const;
    bool operator!=(const SetListTrigger& other) const { return !(*this == other); }

    /// "next", "previous", "song"; and back (false for anything else).
    static QString actionKey(Action action);
    static bool actionFromKey(const QString& key, Action* action);
    /// "note", "programChange", "controller"; and back.
    static QString messageTypeKey(MessageType type);
    static bool messageTypeFromKey(const QString& key, MessageType* type);
    /// For the player: "controller 80 (64-127) on Keyboard:out, any channel: next song".
    QString description() const;

private:
    Action _action = Action::Next;
    int _songNumber = 1;
    QString _midiPortName;
    BYTE _channel = kAnyChannel;
    MessageType _messageType = MessageType::Controller;
    BYTE _number = 64;
    BYTE _minValue = 64;
    BYTE _maxValue = 127;
    // One bit per channel: the controller's last value there was inside the range.
    std::uint16_t _insideRange = 0;
};
