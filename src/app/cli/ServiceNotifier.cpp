#include "app/cli/ServiceNotifier.h"

#include <QTimer>

#ifdef QUORVELL_HAVE_SYSTEMD
#include <systemd/sd-daemon.h>
#endif

#include <algorithm>

namespace {

void notify(const QByteArray& state)
{
#ifdef QUORVELL_HAVE_SYSTEMD
    // 0: the environment stays as it is, so a later notice finds the socket again.
    sd_notify(0, state.constData());
#else
    Q_UNUSED(state);
#endif
}

} // namespace

ServiceNotifier::ServiceNotifier(QObject* parent) : QObject(parent)
{
    _watchdogTimer = new QTimer(this);
    _watchdogTimer->setTimerType(Qt::CoarseTimer);
    connect(_watchdogTimer, &QTimer::timeout, this, &ServiceNotifier::_feedWatchdogSLOT);
}

ServiceNotifier::~ServiceNotifier() = default;

int ServiceNotifier::watchdogIntervalMs() const
{
#ifdef QUORVELL_HAVE_SYSTEMD
    uint64_t usec = 0;
    if (sd_watchdog_enabled(0, &usec) <= 0 || usec == 0)
        return 0;
    // Half the interval, as systemd advises; never below 1 ms.
    return static_cast<int>(std::max<uint64_t>(1, std::min<uint64_t>(usec / 2000, INT32_MAX)));
#else
    return 0;
#endif
}

void ServiceNotifier::notifyReady(const QString& status)
{
    QString oneLine = status;
    oneLine.replace(QLatin1Char('\n'), QLatin1Char(' '));
    notify("READY=1\nSTATUS=" + oneLine.toUtf8());
    const int interval = watchdogIntervalMs();
    if (interval > 0) {
        _feedWatchdogSLOT();
        _watchdogTimer->start(interval);
    }
}

void ServiceNotifier::notifyStopping()
{
    _watchdogTimer->stop();
    notify("STOPPING=1");
}

void ServiceNotifier::_feedWatchdogSLOT()
{
    notify("WATCHDOG=1");
}
