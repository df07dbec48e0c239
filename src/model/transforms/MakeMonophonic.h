#pragma once

#include "model/transforms/MIDIDataTransform.h"

#include <atomic>
#include <cstdint>

/// "Make Monophonic": keeps one note sounding at a time. A note on for another note than the
/// sounding one first sends a note off (velocity 127) for the sounding note, then lets the new
/// note through; a note off for the sounding note means nothing sounds any more. Other note offs
/// and all other messages pass untouched.
///
/// The sounding note is remembered together with its channel, and its note off goes out on that
/// channel: with a patch that keeps each message's own channel, a note played on one channel is
/// ended where it sounds rather than on the new note's channel, where it would stay stuck. "None
/// sounding" is a value of its own, so note number 0 is handled like every other note.
///
/// The state is one atomic word, read and written whole, so a GUI-thread reader never sees it
/// torn. It starts empty and is not reset by bypassing.
class MakeMonophonic : public MIDIDataTransform
{
    Q_OBJECT

public:
    explicit MakeMonophonic(QObject* parent);

    bool hasEditableParameters() const override { return false; }
    /// MIDI thread: no allocation (the output message has room for three bytes), no blocking.
    void transformThisIfYouCan(midiMessage_t* message, midiMessageList_t* messages) override;

private:
    static constexpr std::uint16_t kNothingSounding = 0xFFFF;

    /// Channel in the high byte, note number in the low byte; kNothingSounding when none.
    std::atomic<std::uint16_t> _soundingNote{kNothingSounding};
};
