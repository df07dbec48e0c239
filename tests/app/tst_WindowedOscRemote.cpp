// The window's OSC remote follows its preferences, and the command line's port holds over them.
#include "app/WindowedOscRemote.h"
#include "persistence/AppPrefs.h"
#include "persistence/PrefKeys.h"
#include "support/TestPrefs.h"

#include <QTest>
#include <arpa/inet.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// A UDP port nobody listens on just now.
int freePort()
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

} // namespace

class WindowedOscRemoteTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { useTemporaryPrefs(); }

    void followsThePreferencesUnlessTheCommandLineNamesAPort()
    {
        WindowedOscRemote remote(0, QStringLiteral("127.0.0.1"));
        QVERIFY(!remote.server().isRunning()); // off by default
        const int port = freePort();
        setIntPrefValue(PrefKeys::OscRemotePort, port);
        setBoolPrefValue(PrefKeys::OscRemoteOn, true);
        QTRY_VERIFY(remote.server().isRunning());
        QCOMPARE(remote.server().port(), port);
        setStringPrefValue(PrefKeys::OscRemoteBindAddress, QStringLiteral("no such address"));
        QTRY_VERIFY(!remote.server().isRunning()); // an address that cannot be listened on: off, said
        setStringPrefValue(PrefKeys::OscRemoteBindAddress, QStringLiteral("127.0.0.1"));
        QTRY_VERIFY(remote.server().isRunning());
        setBoolPrefValue(PrefKeys::OscRemoteOn, false);
        QTRY_VERIFY(!remote.server().isRunning());

        const int commandLinePort = freePort();
        WindowedOscRemote fromCommandLine(commandLinePort, QStringLiteral("127.0.0.1"));
        QVERIFY(fromCommandLine.server().isRunning());
        QCOMPARE(fromCommandLine.server().port(), commandLinePort);
        setBoolPrefValue(PrefKeys::OscRemoteOn, false);
        QTest::qWait(50);
        QVERIFY(fromCommandLine.server().isRunning());
    }
};

QTEST_MAIN(WindowedOscRemoteTest)
#include "tst_WindowedOscRemote.moc"
