#pragma once

#include <QByteArray>
#include <QMap>
#include <QObject>
#include <QString>
#include <QTcpServer>
#include <QTcpSocket>

// A tiny HTTP server on 127.0.0.1 for the update check: it answers every GET with the status and
// body it was given, or never answers at all, and counts the requests it saw.
class LocalUpdateServer : public QObject
{
public:
    LocalUpdateServer()
    {
        QObject::connect(&_server, &QTcpServer::newConnection, this, [this] { _accept(); });
        _server.listen(QHostAddress::LocalHost, 0);
    }

    QString url() const { return QStringLiteral("http://127.0.0.1:%1/update.xml").arg(_server.serverPort()); }
    void answer(int status, const QByteArray& body, bool announceLength = true)
    {
        _status = status;
        _body = body;
        _announceLength = announceLength;
        _silent = false;
    }
    void stayQuiet() { _silent = true; }
    int requests() const { return _requests; }

private:
    void _accept()
    {
        while (QTcpSocket* socket = _server.nextPendingConnection()) {
            socket->setParent(this);
            QObject::connect(socket, &QTcpSocket::readyRead, this, [this, socket] { _serve(socket); });
        }
    }

    void _serve(QTcpSocket* socket)
    {
        QByteArray& request = _pending[socket];
        request += socket->readAll();
        if (!request.contains("\r\n\r\n"))
            return;
        ++_requests;
        if (_silent)
            return;
        QByteArray head = "HTTP/1.1 " + QByteArray::number(_status) +
                          (_status == 200 ? " OK" : " Not Found") +
                          "\r\nContent-Type: text/xml\r\nConnection: close\r\n";
        if (_announceLength)
            head += "Content-Length: " + QByteArray::number(_body.size()) + "\r\n";
        socket->write(head + "\r\n" + _body);
        socket->disconnectFromHost();
    }

    QTcpServer _server;
    QMap<QTcpSocket*, QByteArray> _pending;
    int _status = 200;
    QByteArray _body;
    bool _announceLength = true;
    bool _silent = false;
    int _requests = 0;
};
