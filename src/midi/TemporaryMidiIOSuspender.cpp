#include "midi/TemporaryMidiIOSuspender.h"

#include "midi/MIDIPortIOManager.h"

TemporaryMidiIOSuspender::TemporaryMidiIOSuspender()
{
    MIDIPortIOManager::GetInstance()->suspendIO(true);
}

TemporaryMidiIOSuspender::~TemporaryMidiIOSuspender()
{
    MIDIPortIOManager::GetInstance()->suspendIO(false);
}
