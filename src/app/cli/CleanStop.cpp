#include "app/cli/CleanStop.h"

#include "midi/MIDIBackend.h"
#include "midi/MIDIPortIOManager.h"
#include "midi/MIDIPortInfo.h"
#include "midi/RtMidiGraveyard.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "model/routing/MIDIRoutingSetupManager.h"

void CleanStop::perform()
{
    MIDIRoutingSetupManager* manager = MIDIRoutingSetupManager::GetInstance();
    MIDIRoutingSetup* setup = manager->getCurrentRoutingSetup();
    manager->clearCurrentRoutingSetup(false);
    // Deleted now, not later: the event loop has ended. Each input stops listening before its
    // patches end their notes, so nothing new can start while the old is being ended.
    delete setup;
    MIDIPortInfo::GetInstance()->updateAliasesInPrefs();
    MIDIPortInfo::GetInstance()->updatePortUseInPrefs();
    MIDIPortIOManager::GetInstance()->removeAllPortRequirements();
    releaseMIDIService();
}

void CleanStop::releaseMIDIService()
{
    MIDIBackend::GetInstance()->closeService();
    // The closed client objects go last, once nothing can be running in them any more.
    RtMidiGraveyard::releaseAll();
}
