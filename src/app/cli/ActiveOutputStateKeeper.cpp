#include "app/cli/ActiveOutputStateKeeper.h"

#include "app/StatusManager.h"
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "persistence/ActiveOutputState.h"

ActiveOutputStateKeeper::ActiveOutputStateKeeper(MIDIRoutingSetup* setup, const QString& setupFile,
                                                 const QByteArray& setupHash, QObject* parent)
    : QObject(parent), _setup(setup), _setupFile(setupFile), _setupHash(setupHash),
      _statePath(ActiveOutputState::stateFilePathFor(setupFile))
{
    _timer.setSingleShot(true);
    _timer.setInterval(kWriteDelayMs);
    connect(&_timer, &QTimer::timeout, this, &ActiveOutputStateKeeper::_writeSLOT);
    for (int r = 0; r < setup->getNumMIDIRoutes(); ++r)
        connect(setup->getMIDIRouteAtIndex(r), &MIDIRoute::activeMIDIOutputChangedTo, this,
                &ActiveOutputStateKeeper::_switchedSLOT);
}

void ActiveOutputStateKeeper::flush()
{
    // Always: a switch played just before the stop may not have reached the main thread yet.
    _timer.stop();
    _writeSLOT();
}

void ActiveOutputStateKeeper::_switchedSLOT()
{
    _timer.start();
}

void ActiveOutputStateKeeper::_writeSLOT()
{
    QString error;
    if (ActiveOutputState::capture(_setup).save(_statePath, _setupFile, _setupHash, &error)) {
        _reportedFailure = false;
        return;
    }
    // Once per run of failures: a full disk must not fill the log with one line per switch.
    if (!_reportedFailure)
        postWarningMessage(error);
    _reportedFailure = true;
}
