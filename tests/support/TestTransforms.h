#pragma once

#include "model/MIDIMessage.h"
#include "model/transforms/MIDIDataTransform.h"

/// Test transform: after every note message it appends a controller 20 message carrying the note
/// number, so tests can see the order in which a patch sends appended messages.
class AppendingTestTransform : public MIDIDataTransform
{
public:
    explicit AppendingTestTransform(QObject* parent = nullptr)
        : MIDIDataTransform(QStringLiteral("Appending"), parent)
    {
        _appended.reserve(3);
    }

    void transformWhatYouCan(midiMessageList_t* messages) override
    {
        const std::size_t count = messages->size();
        for (std::size_t i = 0; i < count; ++i) {
            midiMessage_t* message = (*messages)[i];
            if (!isNoteMessage(message))
                continue;
            setControlChangeMessage(&_appended);
            setControlNumberAndValue(&_appended, 20, getNote(message));
            setMIDIChannelIndex(&_appended, getMIDIChannelIndex(message));
            messages->push_back(&_appended);
            return;
        }
    }

private:
    midiMessage_t _appended;
};

/// Test transform: moves every note by the semitones in int1.
class ShiftingTestTransform : public MIDIDataTransform
{
public:
    explicit ShiftingTestTransform(int semitones, QObject* parent = nullptr)
        : MIDIDataTransform(QStringLiteral("Shifting"), parent)
    {
        setInt1(semitones);
    }

    void transformThisIfYouCan(midiMessage_t* message, midiMessageList_t*) override
    {
        if (isNoteMessage(message))
            transposeNoteBy(message, getInt1());
    }
};
