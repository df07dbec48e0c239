#pragma once

class CommandLineOptions;
class OscServer;
class ServiceNotifier;
class UnixSignalWatcher;

/// What every headless run does the same way, whether it plays a setup or a set list. Main
/// thread only.
namespace HeadlessRunSupport {

/// Warns when the MIDI service offers no input or no output port at all.
void warnWhenPortsAreMissing();
/// Starts the OSC remote when the command line asks for it and says where it listens; false,
/// with the error posted, when it cannot listen there.
bool startRemote(OscServer& remote, const CommandLineOptions& options);
/// SIGINT and SIGTERM tell the service manager the run is stopping and end the event loop.
void quitOnStopSignal(UnixSignalWatcher& watcher, ServiceNotifier& service);

} // namespace HeadlessRunSupport
