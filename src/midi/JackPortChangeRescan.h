#pragma once

typedef struct _jack_client jack_client_t;

/// Makes the catalogue look at the ports again whenever JACK tells `client` that a port came,
/// went or was renamed anywhere in the graph (the rescan runs on the GUI thread). Call before the
/// client is activated. Any thread.
void rescanPortsOnJackPortChanges(jack_client_t* client);
