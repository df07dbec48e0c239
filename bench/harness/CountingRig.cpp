#include "harness/CountingRig.h"

#include "model/initializers/InitializerRegistry.h"
#include "model/transforms/BuiltInTransforms.h"

bool CountingRig::installBackend(const QString& inputPort, const QStringList& outputPorts)
{
    backend = CountingMIDIBackend::install({inputPort}, outputPorts);
    if (!backend) {
        error = "the MIDI backend was already in use";
        return false;
    }
    keys = backend->inputIndex(inputPort);
    registerBuiltInTransforms();
    registerBuiltInInitializers();
    return true;
}

MIDIRoute* CountingRig::makeKeyswitchedInput(const QString& inputPort)
{
    setup = std::make_unique<MIDIRoutingSetup>(QStringLiteral("Bench"), nullptr);
    MIDIRoute* route = setup->createNewMIDIRoute(false);
    route->setMIDIInputPortName(inputPort);
    route->setMIDIChannel(MIDIRoute::kAnyChannel);
    route->setOutputActivationMethod(MIDIRoute::kKeyswitchActivation);
    route->setOutputActivationSpecificity(MIDIRoute::kSpecificValue);
    return route;
}
