#include "app/cli/HeadlessSetListSession.h"

#include "app/StatusManager.h"
#include "app/cli/CleanStop.h"
#include "app/cli/CommandLineOptions.h"
#include "app/cli/HeadlessRunSupport.h"
#include "app/cli/ServiceNotifier.h"
#include "app/cli/StderrStatusPrinter.h"
#include "app/cli/UnixSignalWatcher.h"
#include "model/initializers/InitializerRegistry.h"
#include "model/routing/MIDIRoutingSetupManager.h"
#include "model/setlist/SetList.h"
#include "model/setlist/SetListPlayer.h"
#include "model/transforms/BuiltInTransforms.h"
#include "persistence/SetListFileReaderWriter.h"
#include "remote/OscServer.h"

#include <QCoreApplication>
#include <QDir>

int HeadlessSetListSession::run(const CommandLineOptions& options)
{
    StderrStatusPrinter printer;
    UnixSignalWatcher watcher;
    ServiceNotifier service;
    registerBuiltInTransforms();
    registerBuiltInInitializers();

    HeadlessRunSupport::warnWhenPortsAreMissing();

    SetList setList;
    if (!SetListFileReaderWriter::readSetListFromDisk(&setList, options.setListFile())) {
        CleanStop::perform();
        return 2;
    }
    SetListPlayer player(&setList);
    if (!player.start(0)) {
        CleanStop::perform();
        return 2;
    }

    OscServer remote(&getCurrentRoutingSetup);
    remote.setSetListPlayer(&player);
    if (!HeadlessRunSupport::startRemote(remote, options)) {
        player.stop();
        CleanStop::perform();
        return 2;
    }

    HeadlessRunSupport::quitOnStopSignal(watcher, service);
    QObject::connect(&watcher, &UnixSignalWatcher::panicRequested, QCoreApplication::instance(), [&player] {
        player.panic();
        postStatusMessage(QStringLiteral("panic"), 0);
    });
    QObject::connect(&watcher, &UnixSignalWatcher::nextSongRequested, &player, &SetListPlayer::nextSong);
    // Another way of stopping (the manager's setup replaced) ends the run rather than routing on
    // with no song.
    QObject::connect(&player, &SetListPlayer::stopped, QCoreApplication::instance(), &QCoreApplication::quit);

    const QString playing = QStringLiteral("playing the set list \"%1\" (%2 songs, %3 triggers) from \"%4\"")
                                .arg(setList.getName())
                                .arg(setList.getNumSongs())
                                .arg(setList.getTriggers().size())
                                .arg(QDir::toNativeSeparators(options.setListFile()));
    postStatusMessage(playing + QStringLiteral("; SIGUSR2 plays the next song, SIGUSR1 sends all notes off, "
                                               "SIGINT or SIGTERM stops"),
                      0);
    service.notifyReady(playing);
    QCoreApplication::exec();
    remote.stop();
    player.stop();
    CleanStop::perform();
    postStatusMessage(QStringLiteral("stopped: every note and sustain pedal released"), 0);
    return 0;
}
