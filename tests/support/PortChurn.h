#pragma once

#include "support/StressInputHandler.h"

#include <QString>
#include <QStringList>

#include <chrono>
#include <vector>

class MIDIPatchTarget;

/// What a user does to a setup, over and over, on the GUI thread while MIDI streams in: routes and
/// patches require and release ports, everything is released now and then, and the GUI thread sends
/// too. Checks, as it goes, that a removed handler is never running once its removal has returned.
class PortChurn
{
public:
    /// Handlers churn over `inputPorts`, patches over `outputPorts`; GUI-thread sends go to
    /// `sendIndex`.
    PortChurn(const QStringList& inputPorts, const QStringList& outputPorts, int sendIndex, int forwardIndex);
    ~PortChurn();

    /// Churns for the given time, pausing up to `maxPause` (chosen at random) after each operation so
    /// that a real service has time to connect and deliver; returns the number of operations done.
    long run(std::chrono::milliseconds duration,
             std::chrono::milliseconds maxPause = std::chrono::milliseconds(0));

    /// Calls while unregistered plus handlers found running after their removal returned.
    long violations() const;
    /// Handler calls in all.
    long handlerCalls() const;

private:
    void _release(int handler);

    QStringList _inputPorts;
    QStringList _outputPorts;
    int _sendIndex;
    std::vector<StressInputHandler*> _handlers;
    std::vector<QString> _handlerPort; // empty when not registered
    std::vector<QString> _patchPort;
    long _runningAfterRemoval = 0;
};
