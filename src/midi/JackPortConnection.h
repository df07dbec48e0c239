#pragma once

#include <string>

class JackMIDIBackend;
typedef struct _jack_port jack_port_t;

/// Making, connecting and removing the JACK ports of the native backend's client, with the
/// service's refusals turned into MIDIBackendError. GUI thread only.
namespace JackPortConnection {

/// Makes a MIDI port of the client ("in 1", "out 1", …) for a connection with the port named
/// `target`, after checking that the target is a MIDI port of the right direction. `input`: ours
/// receives (the target is a source). With `targetMayBeMissing` the port is made even when the
/// target is not there (yet). Throws MIDIBackendError.
jack_port_t* registerPort(JackMIDIBackend& backend, const std::string& target, bool input,
                          bool targetMayBeMissing = false);

/// Connects the target to our port (input) or our port to the target (output). Throws
/// MIDIBackendError.
void connect(JackMIDIBackend& backend, jack_port_t* port, const std::string& target, bool input);

/// Like connect(), without throwing: false when the target is missing or the server refused.
bool tryConnect(JackMIDIBackend& backend, jack_port_t* port, const std::string& target, bool input);

/// True when our port is connected to the target.
bool isConnectedTo(jack_port_t* port, const std::string& target);

/// Removes our port (and with it its connections). Nothing happens while there is no server.
void unregisterPort(JackMIDIBackend& backend, jack_port_t* port);

} // namespace JackPortConnection
