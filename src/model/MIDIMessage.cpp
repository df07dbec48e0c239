#include "model/MIDIMessage.h"

#include "persistence/AppPrefs.h"
#include "persistence/AppPrefsChangeNotifier.h"
#include "persistence/PrefKeys.h"

#include <array>
#include <atomic>
#include <string>

namespace {

// Resizes to the given length and sets the status; data bytes already present are kept.
void shapeMessage(midiMessage_t* message, std::size_t length, BYTE status)
{
    message->resize(length, 0);
    (*message)[0] = status;
}

bool hasType(const midiMessage_t* message, BYTE type, std::size_t minimumLength)
{
    return message->size() >= minimumLength && ((*message)[0] & 0xF0) == type;
}

BYTE dataByte(const midiMessage_t* message, std::size_t index)
{
    return index < message->size() ? (*message)[index] : 0;
}

void setDataByte(midiMessage_t* message, std::size_t index, BYTE value)
{
    if (index < message->size())
        (*message)[index] = value;
}

// The two tables of note names, built once: octave of middle C numbered 4 ("C4") or 3 ("C3").
struct NoteNameTables
{
    std::array<std::string, 128> middleC4;
    std::array<std::string, 128> middleC3;

    NoteNameTables()
    {
        static const char* const pitchClasses[12] = {"C",  "C#", "D",  "D#", "E",  "F",
                                                     "F#", "G",  "G#", "A",  "A#", "B"};
        for (int note = 0; note < 128; ++note) {
            middleC4[note] = std::string(pitchClasses[note % 12]) + std::to_string(note / 12 - 1);
            middleC3[note] = std::string(pitchClasses[note % 12]) + std::to_string(note / 12 - 2);
        }
    }
};

// Which table the "MiddleCName" preference selects. Kept in an atomic that follows the preference,
// so naming a note on the MIDI thread never touches the settings store.
std::atomic<bool>& middleCIsC4()
{
    static std::atomic<bool> isC4{true};
    static const bool connected = [] {
        auto readPref = [] {
            isC4.store(getStringPrefValue(PrefKeys::MiddleCName, PrefKeys::MiddleCNameDefault) ==
                       QLatin1String("C4"));
        };
        readPref();
        QObject::connect(
            AppPrefsChangeNotifier::GetInstance(), &AppPrefsChangeNotifier::prefValueChanged,
            AppPrefsChangeNotifier::GetInstance(),
            [readPref](const QString& key) {
                if (key == PrefKeys::MiddleCName)
                    readPref();
            },
            Qt::DirectConnection);
        return true;
    }();
    (void)connected;
    return isC4;
}

} // namespace

void setNoteOnMessage(midiMessage_t* message, BYTE note, BYTE velocity)
{
    shapeMessage(message, 3, kNoteOn);
    (*message)[1] = note;
    (*message)[2] = velocity;
}

void setNoteOffMessage(midiMessage_t* message, BYTE note, BYTE velocity)
{
    shapeMessage(message, 3, kNoteOff);
    (*message)[1] = note;
    (*message)[2] = velocity;
}

void setProgramChangeMessage(midiMessage_t* message, BYTE program)
{
    shapeMessage(message, 2, kProgramChange);
    (*message)[1] = program;
}

void setControlChangeMessage(midiMessage_t* message)
{
    shapeMessage(message, 3, kControlChange);
}

void setPitchBendMessage(midiMessage_t* message)
{
    shapeMessage(message, 3, kPitchBend);
}

void copyMIDIMessage(const midiMessage_t* from, midiMessage_t* to)
{
    to->resize(from->size());
    std::copy(from->begin(), from->end(), to->begin());
}

BYTE getMIDIMessageType(const midiMessage_t* message)
{
    return message->empty() ? 0 : (*message)[0] & 0xF0;
}

BYTE getMIDIChannelIndex(const midiMessage_t* message)
{
    return message->empty() ? 0 : (*message)[0] & 0x0F;
}

void setMIDIChannelIndex(midiMessage_t* message, BYTE channel)
{
    if (!message->empty())
        (*message)[0] = static_cast<BYTE>(((*message)[0] & 0xF0) | (channel & 0x0F));
}

bool isNoteOnMessage(const midiMessage_t* message)
{
    return hasType(message, kNoteOn, 3) && (*message)[2] != 0;
}

bool isNoteOffMessage(const midiMessage_t* message)
{
    return hasType(message, kNoteOff, 3) || (hasType(message, kNoteOn, 3) && (*message)[2] == 0);
}

bool isNoteMessage(const midiMessage_t* message)
{
    return hasType(message, kNoteOn, 3) || hasType(message, kNoteOff, 3);
}

bool isPolyphonicAftertouchMessage(const midiMessage_t* message)
{
    return hasType(message, kPolyAftertouch, 3);
}
bool isControlChangeMessage(const midiMessage_t* message)
{
    return hasType(message, kControlChange, 3);
}
bool isProgramChangeMessage(const midiMessage_t* message)
{
    return hasType(message, kProgramChange, 2);
}
bool isChannelAftertouchMessage(const midiMessage_t* message)
{
    return hasType(message, kChannelAftertouch, 2);
}
bool isPitchBendMessage(const midiMessage_t* message)
{
    return hasType(message, kPitchBend, 3);
}

bool isControlChangeNumber(const midiMessage_t* message, BYTE controller)
{
    return isControlChangeMessage(message) && (*message)[1] == controller;
}

BYTE getNote(const midiMessage_t* message)
{
    return dataByte(message, 1);
}
void setNote(midiMessage_t* message, BYTE note)
{
    setDataByte(message, 1, note);
}
BYTE getVelocity(const midiMessage_t* message)
{
    return dataByte(message, 2);
}
void setVelocity(midiMessage_t* message, BYTE velocity)
{
    setDataByte(message, 2, velocity);
}

void getNoteAndVelocity(const midiMessage_t* message, BYTE* note, BYTE* velocity)
{
    *note = dataByte(message, 1);
    *velocity = dataByte(message, 2);
}

void transposeNoteBy(midiMessage_t* message, int semitones)
{
    setDataByte(message, 1, static_cast<BYTE>(dataByte(message, 1) + semitones));
}

BYTE getProgramChangeIndex(const midiMessage_t* message)
{
    return dataByte(message, 1);
}
BYTE getControlChangeNumber(const midiMessage_t* message)
{
    return dataByte(message, 1);
}
void changeControlNumberTo(midiMessage_t* message, BYTE controller)
{
    setDataByte(message, 1, controller);
}
BYTE getControlValue(const midiMessage_t* message)
{
    return dataByte(message, 2);
}

void getControlNumberAndValue(const midiMessage_t* message, BYTE* controller, BYTE* value)
{
    *controller = dataByte(message, 1);
    *value = dataByte(message, 2);
}

void setControlNumberAndValue(midiMessage_t* message, BYTE controller, BYTE value)
{
    setDataByte(message, 1, controller);
    setDataByte(message, 2, value);
}

BYTE getChannelAftertouchPressureValue(const midiMessage_t* message)
{
    return dataByte(message, 1);
}

void getPolyphonicAftertouchNoteNumAndPressure(const midiMessage_t* message, BYTE* note, BYTE* pressure)
{
    *note = dataByte(message, 1);
    *pressure = dataByte(message, 2);
}

pitchBendValue_t getPitchBendValue(const midiMessage_t* message)
{
    return static_cast<pitchBendValue_t>((dataByte(message, 1) & 0x7F) |
                                         ((dataByte(message, 2) & 0x7F) << 7));
}

void setPitchBendValue(midiMessage_t* message, pitchBendValue_t value)
{
    setDataByte(message, 1, static_cast<BYTE>(value & 0x7F));
    setDataByte(message, 2, static_cast<BYTE>((value >> 7) & 0x7F));
}

BYTE scaleDownPitchBendValue(pitchBendValue_t value)
{
    return static_cast<BYTE>((value >> 7) & 0x7F);
}

BYTE getMIDIMessageValue(const midiMessage_t* message)
{
    switch (getMIDIMessageType(message)) {
    case kControlChange:
        return getControlValue(message);
    case kNoteOn:
    case kNoteOff:
    case kProgramChange:
        return dataByte(message, 1);
    case kPitchBend:
        return static_cast<BYTE>(getPitchBendValue(message) & 0xFF);
    default:
        return 0;
    }
}

bool isValueInRange(BYTE value)
{
    return (value & 0x80) == 0;
}
BYTE channelAfter(BYTE channel)
{
    return channel >= 15 ? 0 : static_cast<BYTE>(channel + 1);
}
BYTE valueNumberAfter(BYTE value)
{
    return value >= 127 ? 0 : static_cast<BYTE>(value + 1);
}

const char* getMIDINoteName(BYTE note)
{
    static const NoteNameTables tables;
    if (note > 127)
        return "";
    return middleCIsC4().load() ? tables.middleC4[note].c_str() : tables.middleC3[note].c_str();
}

QString getMessageDescription(const midiMessage_t* message)
{
    QString text = QStringLiteral("Ch. %1").arg(getMIDIChannelIndex(message) + 1);
    if (isNoteOnMessage(message)) {
        text += QStringLiteral("\tNote On: %1\tVelocity: %2")
                    .arg(QLatin1String(getMIDINoteName(getNote(message))))
                    .arg(getVelocity(message));
    } else if (isNoteOffMessage(message)) {
        text += QStringLiteral("\tNote Off: %1").arg(QLatin1String(getMIDINoteName(getNote(message))));
    } else if (isProgramChangeMessage(message)) {
        text += QStringLiteral("\tProgram Change: %1").arg(getProgramChangeIndex(message));
    } else if (isControlChangeMessage(message)) {
        text += QStringLiteral("\tCC%1\tValue: %2")
                    .arg(getControlChangeNumber(message))
                    .arg(getControlValue(message));
    } else if (isPitchBendMessage(message)) {
        text += QStringLiteral("\tPitch Bend Value: %1").arg(getPitchBendValue(message));
    } else if (isChannelAftertouchMessage(message)) {
        text += QStringLiteral("\tChannel Aftertouch: %1").arg(getChannelAftertouchPressureValue(message));
    } else if (isPolyphonicAftertouchMessage(message)) {
        BYTE note = 0;
        BYTE pressure = 0;
        getPolyphonicAftertouchNoteNumAndPressure(message, &note, &pressure);
        text += QStringLiteral("\tNote Aftertouch: %1\tPressure: %2")
                    .arg(QLatin1String(getMIDINoteName(note)))
                    .arg(pressure);
    }
    return text;
}
