#pragma once

#include "midi/MIDIPortType.h"
#include "midi/MIDITypes.h"

#include <QList>
#include <QMap>
#include <QString>

class MIDIRoutingSetup;

/// Which ports and channels of one direction the current setup uses, collected once when made:
/// the inputs' ports and channels, or the patches' output ports and channels (127 stands for any
/// channel). Made on the stack for one menu or one pass of a dialog. GUI thread only.
class MIDIPortChannelUsageMole
{
public:
    explicit MIDIPortChannelUsageMole(MIDIPortType portType);
    /// Collects from the given setup (none: nothing is used).
    MIDIPortChannelUsageMole(MIDIPortType portType, const MIDIRoutingSetup* setup);

    MIDIPortType getPortType() const { return _portType; }
    bool isPortBeingUsed(const QString& portName) const;
    /// False for a port not in use.
    bool isPortChannelBeingUsed(const QString& portName, BYTE channel) const;
    /// The channels used on the port, in the order first met; empty for a port not in use.
    QList<BYTE> getChannelsUsedOnPort(const QString& portName) const { return _usage.value(portName); }

private:
    void _collect(const MIDIRoutingSetup* setup);
    void _addUsage(const QString& portName, BYTE channel);

    MIDIPortType _portType;
    QMap<QString, QList<BYTE>> _usage;
};
