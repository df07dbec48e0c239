#pragma once

#include "harness/CountingMIDIBackend.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"

#include <QStringList>

#include <memory>
#include <string>

/// What the rigs over the counting MIDI service share: the service with one input port and the
/// given output ports, the input's index, the built-in transform and initializer types, and the
/// setup the rig builds. Main thread only.
struct CountingRig
{
    CountingMIDIBackend* backend = nullptr;
    std::unique_ptr<MIDIRoutingSetup> setup;
    int keys = -1;
    std::string error;

    /// Installs the service and registers the types; false (with `error` set) when the service was
    /// already in use.
    bool installBackend(const QString& inputPort, const QStringList& outputPorts);
    /// A new setup "Bench" with one input on `inputPort`, every channel, switching its outputs by
    /// keyswitch notes of one value each.
    MIDIRoute* makeKeyswitchedInput(const QString& inputPort);
};
