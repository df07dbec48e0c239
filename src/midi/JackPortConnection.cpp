#include "midi/JackPortConnection.h"

#include "midi/JackMIDIBackend.h"
#include "midi/MIDIBackendError.h"

#include <jack/jack.h>

#include <cerrno>
#include <cstring>

namespace {

const char* const kGone = "The MIDI service no longer lists this port: the device may have been unplugged, "
                          "or the program that offered the port has ended.";

jack_client_t* requireClient(JackMIDIBackend& backend)
{
    jack_client_t* client = backend.client();
    if (!client || !backend.isServerRunning())
        throw MIDIBackendError("No JACK server is running.");
    return client;
}

// A MIDI port of the right direction named `target`, or null.
jack_port_t* findTarget(jack_client_t* client, const std::string& target, bool input)
{
    jack_port_t* found = jack_port_by_name(client, target.c_str());
    if (!found)
        return nullptr;
    const char* type = jack_port_type(found);
    if (!type || std::strcmp(type, JACK_DEFAULT_MIDI_TYPE) != 0)
        return nullptr;
    const int flags = jack_port_flags(found);
    const bool isSource = (flags & JackPortIsOutput) != 0;
    return isSource == input ? found : nullptr;
}

int connectPorts(jack_client_t* client, jack_port_t* port, const std::string& target, bool input)
{
    const char* ours = jack_port_name(port);
    const int result =
        input ? jack_connect(client, target.c_str(), ours) : jack_connect(client, ours, target.c_str());
    return result == EEXIST ? 0 : result;
}

} // namespace

namespace JackPortConnection {

jack_port_t* registerPort(JackMIDIBackend& backend, const std::string& target, bool input,
                          bool targetMayBeMissing)
{
    jack_client_t* client = requireClient(backend);
    if (!targetMayBeMissing && !findTarget(client, target, input))
        throw MIDIBackendError(kGone);
    const QByteArray name =
        backend.freePortName(input ? QStringLiteral("in") : QStringLiteral("out")).toUtf8();
    jack_port_t* port = jack_port_register(client, name.constData(), JACK_DEFAULT_MIDI_TYPE,
                                           input ? JackPortIsInput : JackPortIsOutput, 0);
    if (!port)
        throw MIDIBackendError("The JACK server refused to make a port for this connection.");
    return port;
}

void connect(JackMIDIBackend& backend, jack_port_t* port, const std::string& target, bool input)
{
    jack_client_t* client = requireClient(backend);
    if (!findTarget(client, target, input))
        throw MIDIBackendError(kGone);
    const int result = connectPorts(client, port, target, input);
    if (result != 0)
        throw MIDIBackendError("The JACK server refused the connection (error " + std::to_string(result) +
                               ").");
}

bool tryConnect(JackMIDIBackend& backend, jack_port_t* port, const std::string& target, bool input)
{
    jack_client_t* client = backend.client();
    if (!client || !backend.isServerRunning() || !findTarget(client, target, input))
        return false;
    return connectPorts(client, port, target, input) == 0;
}

bool isConnectedTo(jack_port_t* port, const std::string& target)
{
    return jack_port_connected_to(port, target.c_str()) != 0;
}

void unregisterPort(JackMIDIBackend& backend, jack_port_t* port)
{
    jack_client_t* client = backend.client();
    if (!client || !backend.isServerRunning() || !port)
        return;
    jack_port_disconnect(client, port);
    jack_port_unregister(client, port);
}

} // namespace JackPortConnection
