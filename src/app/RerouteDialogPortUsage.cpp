#include "app/RerouteDialogPortUsage.h"

#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "model/routing/MIDIRoutingSetupManager.h"

RerouteDialogPortUsage::RerouteDialogPortUsage(bool inputs)
{
    MIDIRoutingSetup* setup = getCurrentRoutingSetup();
    if (!setup)
        return;
    for (int r = 0; r < setup->getNumMIDIRoutes(); ++r) {
        MIDIRoute* route = setup->getMIDIRouteAtIndex(r);
        if (inputs) {
            _usedPorts.insert(route->getMIDIInputPortName());
            continue;
        }
        for (int o = 0; o < route->getNumMIDIOutputs(); ++o) {
            MIDIOutput* output = route->getMIDIOutputAtIndex(o);
            for (int p = 0; p < output->getNumMIDIPatchTargets(); ++p)
                _usedPorts.insert(output->getMIDIPatchTargetAtIndex(p)->getMIDIOutputPortName());
        }
    }
}
