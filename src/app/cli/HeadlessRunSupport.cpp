#include "app/cli/HeadlessRunSupport.h"

#include "app/StatusManager.h"
#include "app/cli/CommandLineOptions.h"
#include "app/cli/ServiceNotifier.h"
#include "app/cli/UnixSignalWatcher.h"
#include "midi/MIDIPortInfo.h"
#include "remote/OscServer.h"

#include <QCoreApplication>

namespace HeadlessRunSupport {

void warnWhenPortsAreMissing()
{
    MIDIPortInfo* ports = MIDIPortInfo::GetInstance();
    if (!ports->hasAnyInputPorts() || !ports->hasAnyOutputPorts()) {
        postWarningMessage(
            QStringLiteral("Insufficient MIDI I/O ports detected.\n\nFor best results please check MIDI "
                           "device connections and relaunch."));
    }
}

bool startRemote(OscServer& remote, const CommandLineOptions& options)
{
    if (options.oscPort() <= 0)
        return true;
    QString error;
    if (!remote.start(options.oscBindAddress(), options.oscPort(), &error)) {
        postErrorMessage(error);
        return false;
    }
    postStatusMessage(
        QStringLiteral("OSC remote listening on %1 port %2").arg(options.oscBindAddress()).arg(remote.port()),
        0);
    return true;
}

void quitOnStopSignal(UnixSignalWatcher& watcher, ServiceNotifier& service)
{
    QObject::connect(&watcher, &UnixSignalWatcher::stopRequested, QCoreApplication::instance(),
                     [&service](int) {
                         service.notifyStopping();
                         QCoreApplication::quit();
                     });
}

} // namespace HeadlessRunSupport
