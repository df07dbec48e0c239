#include "app/WindowedOscRemote.h"

#include "app/StatusManager.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "model/routing/MIDIRoutingSetupManager.h"
#include "persistence/AppPrefs.h"
#include "persistence/AppPrefsChangeNotifier.h"
#include "persistence/PrefKeys.h"

WindowedOscRemote::WindowedOscRemote(int commandLinePort, QString commandLineBindAddress, QObject* parent)
    : QObject(parent), _server(&getCurrentRoutingSetup), _commandLinePort(commandLinePort),
      _commandLineBindAddress(std::move(commandLineBindAddress))
{
    _reapply.setSingleShot(true);
    _reapply.setInterval(0);
    connect(&_reapply, &QTimer::timeout, this, &WindowedOscRemote::_apply);
    connect(AppPrefsChangeNotifier::GetInstance(), &AppPrefsChangeNotifier::prefValueChanged, this,
            [this](const QString& key) {
                if (key == PrefKeys::OscRemoteOn || key == PrefKeys::OscRemotePort ||
                    key == PrefKeys::OscRemoteBindAddress)
                    _reapply.start(); // once for the three keys the dialog writes together
            });
    connect(MIDIRoutingSetupManager::GetInstance(), &MIDIRoutingSetupManager::currentRoutingSetupSwitchedTo,
            &_server, &OscServer::watchSetup);
    connect(MIDIRoutingSetupManager::GetInstance(), &MIDIRoutingSetupManager::currentRoutingSetupCleared,
            &_server, &OscServer::watchSetup);
    _apply();
}

void WindowedOscRemote::_apply()
{
    bool on = _commandLinePort > 0;
    int port = _commandLinePort;
    QString address = _commandLineBindAddress;
    if (!on) {
        on = getBoolPrefValue(PrefKeys::OscRemoteOn, PrefKeys::OscRemoteOnDefault);
        port = getIntPrefValue(PrefKeys::OscRemotePort, PrefKeys::OscRemotePortDefault);
        address = getStringPrefValue(PrefKeys::OscRemoteBindAddress, PrefKeys::OscRemoteBindAddressDefault);
    }
    const QString wanted = on ? QStringLiteral("%1:%2").arg(address).arg(port) : QString();
    if (wanted == _listening && _server.isRunning() == on)
        return;
    _server.stop();
    _listening.clear();
    if (!on) {
        postStatusMessage(QStringLiteral("OSC remote off"), 0);
        return;
    }
    QString error;
    if (!_server.start(address, port, &error)) {
        postErrorMessage(error);
        return;
    }
    _listening = wanted;
    postStatusMessage(QStringLiteral("OSC remote listening on %1 port %2").arg(address).arg(_server.port()),
                      0);
}
