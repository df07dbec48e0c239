#pragma once

#include "midi/MIDITypes.h"

#include <Qt>

class MIDIPatchTarget;
class QString;

/// What a patch panel's mute button and port selector do with modifier keys held: the same
/// change for the whole output (Shift), for this and the later patches (Alt), solo (Control),
/// and the port settings and reroutings across the output or the input. GUI thread only.
class PatchGroupEdits
{
public:
    /// A click on the mute button; `modifiers` as significantModifiers() reduces them.
    static void muteClicked(MIDIPatchTarget* patch, Qt::KeyboardModifiers modifiers);
    /// A port and channel chosen in the selector.
    static void portAndChannelChosen(MIDIPatchTarget* patch, const QString& portName, BYTE channel,
                                     Qt::KeyboardModifiers modifiers);
};
