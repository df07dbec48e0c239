// The native JACK backend's watch over the server: a server that went away is reported once and
// looked for every second; once one is back, every port is made and connected again. Connections
// that went missing (a synthesizer restarted) are made again too. GUI thread only.
#include "app/StatusManager.h"
#include "midi/JackMIDIBackend.h"
#include "midi/JackMIDIInputPort.h"
#include "midi/JackMIDIOutputPort.h"
#include "midi/MIDIPortInfo.h"

#include <jack/jack.h>

void JackMIDIBackend::_serverLostSLOT()
{
    if (!_serverGone.load() || !_client.load())
        return;
    // No cycle runs any more: the ports' JACK halves are gone with the server.
    for (auto& slot : _inputs) {
        if (JackMIDIInputPort* port = slot.load())
            port->forgetJackPort();
    }
    for (auto& slot : _outputs) {
        if (JackMIDIOutputPort* port = slot.load())
            port->forgetJackPort();
    }
    _closeClient();
    {
        postErrorMessage(
            QStringLiteral("The JACK server has stopped. The setup stays as it is; Quorvell looks for "
                           "a JACK server every second and reconnects its ports when one is back."));
    }
}

void JackMIDIBackend::_watchTimerSLOT()
{
    if (_serverGone.load() && _client.load())
        _serverLostSLOT();
    if (!_client.load()) {
        // Only a server that was there once is looked for again.
        if (!_hadServer)
            return;
        QString reason;
        if (!_openClient(&reason))
            return;
        _reconnectPorts();
        // Ports that came or went while the server was away.
        MIDIPortInfo::requestPortRescan();
        return;
    }
    for (auto& slot : _inputs) {
        JackMIDIInputPort* port = slot.load();
        if (port && port->reconnectIfNeeded())
            postStatusMessage(QStringLiteral("MIDI input port \"%1\" reconnected.")
                                  .arg(QString::fromLatin1(port->targetName().c_str())),
                              5000);
    }
    for (auto& slot : _outputs) {
        JackMIDIOutputPort* port = slot.load();
        if (!port)
            continue;
        if (port->reconnectIfNeeded())
            postStatusMessage(QStringLiteral("MIDI output port \"%1\" reconnected.")
                                  .arg(QString::fromLatin1(port->targetName().c_str())),
                              5000);
        port->reportProblems();
    }
}

void JackMIDIBackend::_reconnectPorts()
{
    int ports = 0;
    int connected = 0;
    for (auto& slot : _inputs) {
        JackMIDIInputPort* port = slot.load();
        if (!port)
            continue;
        ++ports;
        if (port->remakeJackPort()) {
            port->reconnectIfNeeded();
            connected += port->isConnected() ? 1 : 0;
        }
    }
    for (auto& slot : _outputs) {
        JackMIDIOutputPort* port = slot.load();
        if (!port)
            continue;
        ++ports;
        if (port->remakeJackPort()) {
            port->reconnectIfNeeded();
            connected += port->isConnected() ? 1 : 0;
        }
    }
    if (connected == ports) {
        postStatusMessage(
            QStringLiteral("The JACK server is back: every MIDI port reopened and reconnected."), 0);
    } else {
        postStatusMessage(
            QStringLiteral("The JACK server is back: %1 of %2 MIDI ports reopened and reconnected; "
                           "the others follow as their devices return.")
                .arg(connected)
                .arg(ports),
            0);
    }
}
