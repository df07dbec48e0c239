#include "app/cli/HeadlessSession.h"

#include "app/StatusManager.h"
#include "app/cli/CleanStop.h"
#include "app/cli/CommandLineOptions.h"
#include "app/cli/StderrStatusPrinter.h"
#include "app/cli/UnixSignalWatcher.h"
#include "midi/MIDIPortInfo.h"
#include "model/initializers/InitializerRegistry.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "model/routing/MIDIRoutingSetupManager.h"
#include "model/transforms/BuiltInTransforms.h"
#include "persistence/RecoveryFile.h"
#include "remote/OscServer.h"

#include <QCoreApplication>
#include <QDir>

int HeadlessSession::run(const CommandLineOptions& options)
{
    const QString setupFile = options.setupFile();
    StderrStatusPrinter printer;
    UnixSignalWatcher watcher;
    registerBuiltInTransforms();
    registerBuiltInInitializers();

    const QString recoveryNotice = takeRecoveryFileNotice();
    if (!recoveryNotice.isEmpty())
        postStatusMessage(recoveryNotice, 0);

    MIDIPortInfo* ports = MIDIPortInfo::GetInstance();
    if (!ports->hasAnyInputPorts() || !ports->hasAnyOutputPorts()) {
        postWarningMessage(
            QStringLiteral("Insufficient MIDI I/O ports detected.\n\nFor best results please check MIDI "
                           "device connections and relaunch."));
    }

    MIDIRoutingSetup* setup = MIDIRoutingSetupManager::GetInstance()->createNewRoutingSetup(true, setupFile);
    if (!setup->hasBeenSaved()) {
        CleanStop::perform();
        return 2;
    }

    OscServer remote(&getCurrentRoutingSetup);
    if (options.oscPort() > 0) {
        QString error;
        if (!remote.start(options.oscBindAddress(), options.oscPort(), &error)) {
            postErrorMessage(error);
            CleanStop::perform();
            return 2;
        }
        postStatusMessage(QStringLiteral("OSC remote listening on %1 port %2")
                              .arg(options.oscBindAddress())
                              .arg(remote.port()),
                          0);
    }

    QObject::connect(&watcher, &UnixSignalWatcher::stopRequested, QCoreApplication::instance(),
                     [](int) { QCoreApplication::quit(); });
    QObject::connect(&watcher, &UnixSignalWatcher::panicRequested, QCoreApplication::instance(), [] {
        if (MIDIRoutingSetup* current = getCurrentRoutingSetup())
            current->panic();
        postStatusMessage(QStringLiteral("panic"), 0);
    });

    postStatusMessage(
        QStringLiteral("routing \"%1\" (%2 inputs); SIGINT or SIGTERM stops, SIGUSR1 sends all notes off")
            .arg(QDir::toNativeSeparators(setupFile))
            .arg(setup->getNumMIDIRoutes()),
        0);
    QCoreApplication::exec();
    remote.stop();
    CleanStop::perform();
    postStatusMessage(QStringLiteral("stopped: every note and sustain pedal released"), 0);
    return 0;
}
