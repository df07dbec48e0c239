#include "widgets/MIDIPortChannelUsageMole.h"

#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "model/routing/MIDIRoutingSetupManager.h"

MIDIPortChannelUsageMole::MIDIPortChannelUsageMole(MIDIPortType portType)
    : MIDIPortChannelUsageMole(portType, MIDIRoutingSetupManager::GetInstance()->getCurrentRoutingSetup())
{
}

MIDIPortChannelUsageMole::MIDIPortChannelUsageMole(MIDIPortType portType, const MIDIRoutingSetup* setup)
    : _portType(portType)
{
    _collect(setup);
}

void MIDIPortChannelUsageMole::_collect(const MIDIRoutingSetup* setup)
{
    if (!setup)
        return;
    for (int r = 0; r < setup->getNumMIDIRoutes(); ++r) {
        const MIDIRoute* route = setup->getMIDIRouteAtIndex(r);
        if (_portType == MIDIPortType::Input) {
            _addUsage(route->getMIDIInputPortName(), route->getMIDIChannel());
            continue;
        }
        for (int o = 0; o < route->getNumMIDIOutputs(); ++o) {
            const MIDIOutput* output = route->getMIDIOutputAtIndex(o);
            for (int p = 0; p < output->getNumMIDIPatchTargets(); ++p) {
                const MIDIPatchTarget* patch = output->getMIDIPatchTargetAtIndex(p);
                _addUsage(patch->getMIDIOutputPortName(), patch->getMIDIChannel());
            }
        }
    }
}

void MIDIPortChannelUsageMole::_addUsage(const QString& portName, BYTE channel)
{
    // An object with no port uses nothing.
    if (portName.isEmpty())
        return;
    QList<BYTE>& channels = _usage[portName];
    if (!channels.contains(channel))
        channels.append(channel);
}

bool MIDIPortChannelUsageMole::isPortBeingUsed(const QString& portName) const
{
    return _usage.contains(portName);
}

bool MIDIPortChannelUsageMole::isPortChannelBeingUsed(const QString& portName, BYTE channel) const
{
    const auto found = _usage.constFind(portName);
    return found != _usage.constEnd() && found->contains(channel);
}
