#include "remote/OscServer.h"

#include "app/StatusManager.h"
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "model/setlist/SetListPlayer.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

bool sameAddress(const sockaddr_in& a, const sockaddr_in& b)
{
    return a.sin_addr.s_addr == b.sin_addr.s_addr && a.sin_port == b.sin_port;
}

} // namespace

OscServer::OscServer(std::function<MIDIRoutingSetup*()> currentSetup, QObject* parent)
    : QObject(parent), _addressSpace(currentSetup), _currentSetup(std::move(currentSetup))
{
    _stateUpdate.setSingleShot(true);
    _stateUpdate.setInterval(0);
    connect(&_stateUpdate, &QTimer::timeout, this, &OscServer::_sendStateToSubscribers);
}

OscServer::~OscServer()
{
    stop();
}

bool OscServer::start(const QString& bindAddress, int port, QString* error)
{
    stop();
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(quint16(port));
    if (port < 0 || port > 65535 ||
        inet_pton(AF_INET, bindAddress.toLatin1().constData(), &address.sin_addr) != 1) {
        *error = port < 0 || port > 65535
                     ? QStringLiteral("The OSC port must be a number from 1 to 65535.")
                     : QStringLiteral("\"%1\" is not an IPv4 address to listen on.").arg(bindAddress);
        return false;
    }
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        *error = QStringLiteral("The OSC remote cannot listen on %1 port %2: %3.")
                     .arg(bindAddress)
                     .arg(port)
                     .arg(QString::fromLocal8Bit(std::strerror(errno)));
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    _socket = fd;
    _port = ntohs(address.sin_port);
    _stopping.store(false);
    _receiver = std::thread(&OscServer::_receiveLoop, this);
    watchSetup();
    return true;
}

void OscServer::stop()
{
    if (_socket < 0)
        return;
    _stopping.store(true);
    if (_receiver.joinable())
        _receiver.join();
    ::close(_socket);
    _socket = -1;
    for (const Subscriber& subscriber : std::as_const(_subscribers))
        ::close(subscriber.socket);
    _subscribers.clear();
    for (const QMetaObject::Connection& watch : std::as_const(_watches))
        disconnect(watch);
    _watches.clear();
}

// Network thread: reads and parses datagrams, hands each to the main thread. Nothing else.
void OscServer::_receiveLoop()
{
    char buffer[65536];
    pollfd waiting{_socket, POLLIN, 0};
    while (!_stopping.load()) {
        if (::poll(&waiting, 1, 100) <= 0)
            continue;
        sockaddr_in sender{};
        socklen_t length = sizeof sender;
        const ssize_t size =
            ::recvfrom(_socket, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&sender), &length);
        if (size < 0 || length != sizeof sender)
            continue;
        if (_pending.load() >= kMaxPendingRequests) {
            if (_dropped.fetch_add(1) == 0)
                QMetaObject::invokeMethod(this, &OscServer::_reportDroppedRequests, Qt::QueuedConnection);
            continue;
        }
        QString parseError;
        std::optional<OscMessage> request = OscMessage::parse(buffer, size, &parseError);
        _pending.fetch_add(1);
        // The request travels through the inbox, under a lock both threads take, rather than in a
        // posted functor's captures.
        {
            std::lock_guard<std::mutex> lock(_inboxLock);
            _inbox.push_back(Request{request.value_or(OscMessage()), parseError, sender});
        }
        QMetaObject::invokeMethod(this, &OscServer::_handleInbox, Qt::QueuedConnection);
    }
}

void OscServer::_handleInbox()
{
    std::deque<Request> requests;
    {
        std::lock_guard<std::mutex> lock(_inboxLock);
        requests.swap(_inbox);
    }
    for (const Request& request : requests)
        _handle(request.message, request.parseError, request.sender);
}

void OscServer::_reportDroppedRequests()
{
    const int dropped = _dropped.exchange(0);
    if (dropped > 0)
        postWarningMessage(QStringLiteral("The OSC remote is sent more than it can follow: %1 messages were "
                                          "dropped.")
                               .arg(dropped));
}

void OscServer::_handle(const OscMessage& request, const QString& parseError, sockaddr_in sender)
{
    _pending.fetch_sub(1);
    if (_socket < 0)
        return;
    if (!parseError.isEmpty()) {
        _sendTo(sender, {OscAddressSpace::errorMessage(parseError)});
        return;
    }
    const OscAddressSpace::Result result = _addressSpace.dispatch(request);
    if (result.subscription == OscAddressSpace::Subscription::Subscribe)
        _subscribe(sender);
    else if (result.subscription == OscAddressSpace::Subscription::Unsubscribe)
        _unsubscribe(sender);
    _sendTo(sender, result.replies);
    if (!result.statusText.isEmpty())
        postStatusMessage(result.statusText, 0);
}

void OscServer::_sendTo(const sockaddr_in& to, const QList<OscMessage>& messages)
{
    for (const OscMessage& message : messages) {
        const QByteArray datagram = message.serialise();
        ::sendto(_socket, datagram.constData(), size_t(datagram.size()), MSG_DONTWAIT,
                 reinterpret_cast<const sockaddr*>(&to), sizeof to);
    }
}

void OscServer::_subscribe(const sockaddr_in& who)
{
    for (const Subscriber& subscriber : std::as_const(_subscribers)) {
        if (sameAddress(subscriber.address, who))
            return;
    }
    if (_subscribers.size() >= kMaxSubscribers) {
        _sendTo(who, {OscAddressSpace::errorMessage(
                         QStringLiteral("Too many subscribers: at most %1.").arg(kMaxSubscribers))});
        return;
    }
    Subscriber subscriber;
    subscriber.address = who;
    subscriber.socket = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (subscriber.socket < 0 ||
        ::connect(subscriber.socket, reinterpret_cast<const sockaddr*>(&who), sizeof who) != 0) {
        if (subscriber.socket >= 0)
            ::close(subscriber.socket);
        return;
    }
    _subscribers << subscriber;
}

void OscServer::_unsubscribe(const sockaddr_in& who)
{
    for (int i = 0; i < _subscribers.size(); ++i) {
        if (sameAddress(_subscribers.at(i).address, who)) {
            ::close(_subscribers.at(i).socket);
            _subscribers.removeAt(i);
            return;
        }
    }
}

void OscServer::_scheduleStateUpdate()
{
    if (!_subscribers.isEmpty())
        _stateUpdate.start();
}

void OscServer::_sendStateToSubscribers()
{
    const QList<OscMessage> state = _addressSpace.stateMessages();
    for (int i = _subscribers.size() - 1; i >= 0; --i) {
        const Subscriber& subscriber = _subscribers.at(i);
        // A connected socket keeps the refusal of an earlier datagram (an ICMP port unreachable)
        // as its pending error; a subscriber that has gone away is dropped.
        int pendingError = 0;
        socklen_t length = sizeof pendingError;
        ::getsockopt(subscriber.socket, SOL_SOCKET, SO_ERROR, &pendingError, &length);
        bool refused = pendingError == ECONNREFUSED;
        for (const OscMessage& message : state) {
            if (refused)
                break;
            const QByteArray datagram = message.serialise();
            if (::send(subscriber.socket, datagram.constData(), size_t(datagram.size()), 0) < 0 &&
                errno == ECONNREFUSED)
                refused = true;
        }
        if (refused) {
            char host[INET_ADDRSTRLEN] = {};
            inet_ntop(AF_INET, &subscriber.address.sin_addr, host, sizeof host);
            postStatusMessage(QStringLiteral("remote: %1:%2 no longer listens; its subscription ended")
                                  .arg(QLatin1String(host))
                                  .arg(ntohs(subscriber.address.sin_port)),
                              0);
            ::close(subscriber.socket);
            _subscribers.removeAt(i);
        }
    }
}

void OscServer::setSetListPlayer(SetListPlayer* player)
{
    disconnect(_songWatch);
    _addressSpace.setSetListPlayer(player);
    if (!player)
        return;
    // A new song is a new current setup: watch it, and tell subscribers where the evening is.
    _songWatch = connect(player, &SetListPlayer::currentSongChangedTo, this, [this] {
        watchSetup();
        _scheduleStateUpdate();
    });
    watchSetup();
}

void OscServer::watchSetup()
{
    for (const QMetaObject::Connection& watch : std::as_const(_watches))
        disconnect(watch);
    _watches.clear();
    MIDIRoutingSetup* setup = _currentSetup ? _currentSetup() : nullptr;
    if (!setup)
        return;
    // Structure changes re-watch (after the change has been made) and tell subscribers.
    auto rewatch = [this] {
        QMetaObject::invokeMethod(this, &OscServer::watchSetup, Qt::QueuedConnection);
        _scheduleStateUpdate();
    };
    _watches << connect(setup, &MIDIRoutingSetup::midiRouteAdded, this, rewatch);
    _watches << connect(setup, &MIDIRoutingSetup::midiRouteRemoved, this, rewatch);
    _watches << connect(setup, &MIDIRoutingSetup::midiRouteMovedTo, this, rewatch);
    for (int r = 0; r < setup->getNumMIDIRoutes(); ++r) {
        MIDIRoute* route = setup->getMIDIRouteAtIndex(r);
        _watches << connect(route, &MIDIRoute::activeMIDIOutputChangedTo, this,
                            &OscServer::_scheduleStateUpdate);
        _watches << connect(route, &MIDIRoute::nameChangedTo, this, &OscServer::_scheduleStateUpdate);
        _watches << connect(route, &MIDIRoute::midiOutputAdded, this, rewatch);
        _watches << connect(route, &MIDIRoute::midiOutputRemoved, this, rewatch);
        _watches << connect(route, &MIDIRoute::midiOutputMovedTo, this, rewatch);
        for (int o = 0; o < route->getNumMIDIOutputs(); ++o) {
            MIDIOutput* output = route->getMIDIOutputAtIndex(o);
            _watches << connect(output, &MIDIOutput::nameChangedTo, this, &OscServer::_scheduleStateUpdate);
            _watches << connect(output, &MIDIOutput::midiPatchTargetAdded, this, rewatch);
            _watches << connect(output, &MIDIOutput::midiPatchTargetRemoved, this, rewatch);
            for (int p = 0; p < output->getNumMIDIPatchTargets(); ++p)
                _watches << connect(output->getMIDIPatchTargetAtIndex(p), &MIDIPatchTarget::mutedChangedTo,
                                    this, &OscServer::_scheduleStateUpdate);
        }
    }
}
