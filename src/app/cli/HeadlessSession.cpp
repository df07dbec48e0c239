#include "app/cli/HeadlessSession.h"

#include "app/StatusManager.h"
#include "app/cli/ActiveOutputStateKeeper.h"
#include "app/cli/CleanStop.h"
#include "app/cli/CommandLineOptions.h"
#include "app/cli/HeadlessRunSupport.h"
#include "app/cli/ServiceNotifier.h"
#include "app/cli/StderrStatusPrinter.h"
#include "app/cli/UnixSignalWatcher.h"
#include "model/initializers/InitializerRegistry.h"
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "model/routing/MIDIRoutingSetupManager.h"
#include "model/transforms/BuiltInTransforms.h"
#include "persistence/ActiveOutputState.h"
#include "persistence/RecoveryFile.h"
#include "remote/OscServer.h"

#include <QCoreApplication>
#include <QDir>

int HeadlessSession::run(const CommandLineOptions& options)
{
    const QString setupFile = options.setupFile();
    StderrStatusPrinter printer;
    UnixSignalWatcher watcher;
    ServiceNotifier service;
    registerBuiltInTransforms();
    registerBuiltInInitializers();

    const QString recoveryNotice = takeRecoveryFileNotice();
    if (!recoveryNotice.isEmpty())
        postStatusMessage(recoveryNotice, 0);

    HeadlessRunSupport::warnWhenPortsAreMissing();

    // The content as it is read: the remembered outputs apply only to this very content.
    const QByteArray setupHash = ActiveOutputState::contentHash(setupFile);
    // The setup opens without its initializers: where the remembered outputs switch an input, the
    // switch sends that output's; every other input's active output sends its own below, so each
    // synth hears its sound's initializers once.
    MIDIRoutingSetupManager* manager = MIDIRoutingSetupManager::GetInstance();
    const bool initializersOnOpen = manager->sendsInitializersOnOpen();
    manager->setInitializersOnOpenAllowed(false);
    MIDIRoutingSetup* setup = manager->createNewRoutingSetup(true, setupFile);
    manager->setInitializersOnOpenAllowed(initializersOnOpen);
    QList<MIDIOutput*> openedOn;
    for (int r = 0; r < setup->getNumMIDIRoutes(); ++r)
        openedOn << setup->getMIDIRouteAtIndex(r)->getActiveMIDIOutput();
    if (!setup->hasBeenSaved()) {
        CleanStop::perform();
        return 2;
    }
    const QString statePath = ActiveOutputState::stateFilePathFor(setupFile);
    if (!options.fresh()) {
        QString whyNot;
        const ActiveOutputState remembered =
            ActiveOutputState::load(statePath, setupFile, setupHash, &whyNot);
        if (remembered.isValid()) {
            const int switched = remembered.applyTo(setup);
            if (switched > 0)
                postStatusMessage(
                    QStringLiteral("back on the outputs active at the last stop (%1 switched)").arg(switched),
                    0);
        } else if (!whyNot.isEmpty()) {
            postStatusMessage(whyNot, 0);
        }
    }
    if (initializersOnOpen) {
        for (int r = 0; r < setup->getNumMIDIRoutes(); ++r) {
            MIDIRoute* route = setup->getMIDIRouteAtIndex(r);
            if (route->getActiveMIDIOutput() == openedOn.at(r))
                route->sendActiveOutputInitializers();
        }
    }
    // From now on the state names this run's file and outputs.
    ActiveOutputStateKeeper stateKeeper(setup, setupFile, setupHash);
    QString stateError;
    if (!ActiveOutputState::capture(setup).save(statePath, setupFile, setupHash, &stateError))
        postWarningMessage(stateError);

    OscServer remote(&getCurrentRoutingSetup);
    if (!HeadlessRunSupport::startRemote(remote, options)) {
        CleanStop::perform();
        return 2;
    }

    HeadlessRunSupport::quitOnStopSignal(watcher, service);
    QObject::connect(&watcher, &UnixSignalWatcher::panicRequested, QCoreApplication::instance(), [] {
        if (MIDIRoutingSetup* current = getCurrentRoutingSetup())
            current->panic();
        postStatusMessage(QStringLiteral("panic"), 0);
    });

    QObject::connect(&watcher, &UnixSignalWatcher::nextSongRequested, QCoreApplication::instance(), [] {
        postStatusMessage(QStringLiteral("SIGUSR2 asks for the next song, but no set list is playing"), 0);
    });

    const QString routing = QStringLiteral("routing \"%1\" (%2 inputs)")
                                .arg(QDir::toNativeSeparators(setupFile))
                                .arg(setup->getNumMIDIRoutes());
    postStatusMessage(routing + QStringLiteral("; SIGINT or SIGTERM stops, SIGUSR1 sends all notes off"), 0);
    // The setup is read and its ports are connected (or reported missing): ready to play.
    service.notifyReady(routing);
    QCoreApplication::exec();
    remote.stop();
    stateKeeper.flush();
    CleanStop::perform();
    postStatusMessage(QStringLiteral("stopped: every note and sustain pedal released"), 0);
    return 0;
}
