#include "support/JackServer.h"

#include <RtMidi.h>

#include <memory>

namespace {

void keepFirstReport(RtMidiError::Type type, const std::string& text, void* userData)
{
    auto* report = static_cast<std::string*>(userData);
    if (report->empty() && type != RtMidiError::DEBUG_WARNING)
        *report = text.empty() ? std::string("unknown error") : text;
}

} // namespace

JackServerState checkJackServer(QString* detail)
{
    const QString server = qEnvironmentVariable("JACK_DEFAULT_SERVER");
    if (server.isEmpty()) {
        if (detail)
            *detail = QStringLiteral("JACK_DEFAULT_SERVER is not set");
        return JackServerState::NotConfigured;
    }
    // RtMidi opens JACK clients with JackNoStartServer, so asking never starts a server.
    std::string report;
    try {
        RtMidiIn probe(RtMidi::UNIX_JACK, "QuorvellJackProbe", 100);
        probe.setErrorCallback(&keepFirstReport, &report);
        probe.getPortCount();
        probe.setErrorCallback(nullptr, nullptr);
    } catch (const RtMidiError& error) {
        report = error.getMessage();
    }
    if (report.empty())
        return JackServerState::Running;
    if (detail)
        *detail = QStringLiteral("The JACK server '%1' named by JACK_DEFAULT_SERVER cannot be reached: %2")
                      .arg(server, QString::fromStdString(report));
    return JackServerState::Unreachable;
}
