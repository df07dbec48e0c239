#include "midi/JackPortChangeRescan.h"

#include "midi/MIDIPortInfo.h"

#include <jack/jack.h>

namespace {

// JACK's notification thread.
void portRegistered(jack_port_id_t /*port*/, int /*registered*/, void* /*arg*/)
{
    MIDIPortInfo::requestPortRescan();
}

void portRenamed(jack_port_id_t /*port*/, const char* /*oldName*/, const char* /*newName*/, void* /*arg*/)
{
    MIDIPortInfo::requestPortRescan();
}

} // namespace

void rescanPortsOnJackPortChanges(jack_client_t* client)
{
    jack_set_port_registration_callback(client, &portRegistered, nullptr);
    jack_set_port_rename_callback(client, &portRenamed, nullptr);
}
