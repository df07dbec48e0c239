#include "harness/JackGraph.h"

#include <jack/jack.h>

#include <cerrno>

JackGraph::JackGraph()
{
    jack_status_t status{};
    _client = jack_client_open("QvBenchGraph", JackNoStartServer, &status);
    if (!_client) {
        _errorText = QStringLiteral("Cannot reach the JACK server \"%1\" (status 0x%2).")
                         .arg(qEnvironmentVariable("JACK_DEFAULT_SERVER", QStringLiteral("default")))
                         .arg(unsigned(status), 0, 16);
    }
}

JackGraph::~JackGraph()
{
    if (_client)
        jack_client_close(_client);
}

bool JackGraph::connectPorts(const QString& from, const QString& to, QString* error)
{
    if (!_client) {
        *error = _errorText;
        return false;
    }
    const int result = jack_connect(_client, from.toLatin1().constData(), to.toLatin1().constData());
    if (result == 0 || result == EEXIST)
        return true;
    *error = QStringLiteral("JACK refused to connect \"%1\" to \"%2\" (error %3).").arg(from, to).arg(result);
    return false;
}

int JackGraph::framesPerPeriod() const
{
    return _client ? static_cast<int>(jack_get_buffer_size(_client)) : 0;
}

int JackGraph::sampleRate() const
{
    return _client ? static_cast<int>(jack_get_sample_rate(_client)) : 0;
}

double JackGraph::periodMs() const
{
    const int rate = sampleRate();
    return rate > 0 ? 1000.0 * framesPerPeriod() / rate : 0.0;
}

std::uint32_t JackGraph::frameTime() const
{
    return _client ? jack_frame_time(_client) : 0;
}
