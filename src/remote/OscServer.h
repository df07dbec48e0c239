#pragma once

#include "remote/OscAddressSpace.h"

#include <QList>
#include <QMetaObject>
#include <QObject>
#include <QTimer>
#include <atomic>
#include <deque>
#include <mutex>
#include <netinet/in.h>
#include <thread>

/// The OSC remote control: a UDP socket bound to one address (127.0.0.1 unless the player names
/// another), read on a network thread of its own that only parses datagrams and hands them to the
/// main thread. Requests are carried out, and replies and subscribers' state messages sent, on the
/// main thread, so the model changes where every other change happens and no model lock is ever
/// taken from the network thread. Nothing read from the network names a file or a path.
class OscServer : public QObject
{
    Q_OBJECT

public:
    /// Subscribers beyond this are refused with an error reply.
    static constexpr int kMaxSubscribers = 16;
    /// Requests waiting for the main thread beyond this are dropped, so a flood cannot bury it.
    static constexpr int kMaxPendingRequests = 512;

    explicit OscServer(std::function<MIDIRoutingSetup*()> currentSetup, QObject* parent = nullptr);
    ~OscServer() override;

    /// Binds and starts listening. On failure returns false with one sentence in `error`.
    /// GUI/main thread.
    bool start(const QString& bindAddress, int port, QString* error);
    void stop();
    bool isRunning() const { return _socket >= 0; }
    /// The port bound (useful when 0 asked the system for one).
    int port() const { return _port; }
    int subscriberCount() const { return int(_subscribers.size()); }

    /// Watches the current setup's inputs, outputs and patches for changes to send to subscribers;
    /// call again when the current setup changes. GUI/main thread.
    void watchSetup();
    /// Takes song requests for the set list being played (null: none) and tells subscribers
    /// of every song change. GUI/main thread.
    void setSetListPlayer(SetListPlayer* player);

private:
    struct Subscriber
    {
        sockaddr_in address{};
        int socket = -1; // connected to the subscriber, so a refusing port is noticed
    };

    void _receiveLoop();
    /// Main thread: carries out one request and answers its sender.
    void _handle(const OscMessage& request, const QString& parseError, sockaddr_in sender);
    // Main thread: handles every request the receive thread has put in the inbox.
    void _handleInbox();
    void _sendTo(const sockaddr_in& to, const QList<OscMessage>& messages);
    void _subscribe(const sockaddr_in& who);
    void _unsubscribe(const sockaddr_in& who);
    void _sendStateToSubscribers();
    void _scheduleStateUpdate();
    void _reportDroppedRequests();

    OscAddressSpace _addressSpace;
    std::function<MIDIRoutingSetup*()> _currentSetup;
    int _socket = -1;
    int _port = 0;
    std::thread _receiver;
    std::atomic<bool> _stopping{false};
    std::atomic<int> _pending{0};
    // Requests parsed by the receive thread and waiting for the main thread, under _inboxLock.
    struct Request
    {
        OscMessage message;
        QString parseError;
        sockaddr_in sender;
    };
    std::mutex _inboxLock;
    std::deque<Request> _inbox;
    std::atomic<int> _dropped{0};
    QList<Subscriber> _subscribers;
    QList<QMetaObject::Connection> _watches;
    QMetaObject::Connection _songWatch;
    QTimer _stateUpdate;
};
