#pragma once

#include <QSet>
#include <QString>

/// Which ports of one kind the current setup uses: inputs' ports or patches' output ports.
/// GUI thread only.
class RerouteDialogPortUsage
{
public:
    explicit RerouteDialogPortUsage(bool inputs);
    bool isPortBeingUsed(const QString& portName) const { return _usedPorts.contains(portName); }

private:
    QSet<QString> _usedPorts;
};
