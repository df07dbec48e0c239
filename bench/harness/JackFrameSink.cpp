#include "harness/JackFrameSink.h"

#include <jack/jack.h>
#include <jack/midiport.h>

namespace {

constexpr int kMaxArrivals = 40000;

} // namespace

JackFrameSink::JackFrameSink(const QString& clientName, const QStringList& portNames)
{
    jack_status_t status{};
    _client = jack_client_open(clientName.toLatin1().constData(), JackNoStartServer, &status);
    if (!_client) {
        _errorText =
            QStringLiteral("Cannot reach the JACK server (status 0x%1).").arg(unsigned(status), 0, 16);
        return;
    }
    for (const QString& name : portNames) {
        auto port = std::make_unique<Port>();
        port->arrivals.resize(kMaxArrivals);
        port->port = jack_port_register(_client, name.toLatin1().constData(), JACK_DEFAULT_MIDI_TYPE,
                                        JackPortIsInput, 0);
        if (!port->port) {
            _errorText = QStringLiteral("JACK refused the port \"%1\".").arg(name);
            return;
        }
        port->name = QString::fromLatin1(jack_port_name(port->port));
        _ports.push_back(std::move(port));
    }
    jack_set_process_callback(_client, &JackFrameSink::_process, this);
    if (jack_activate(_client) != 0)
        _errorText = QStringLiteral("JACK did not let the sink run.");
}

JackFrameSink::~JackFrameSink()
{
    if (_client) {
        jack_deactivate(_client);
        jack_client_close(_client);
    }
}

QString JackFrameSink::portName(int index) const
{
    return index >= 0 && index < int(_ports.size()) ? _ports[size_t(index)]->name : QString();
}

int JackFrameSink::sampleRate() const
{
    return _client ? int(jack_get_sample_rate(_client)) : 0;
}

std::vector<JackFrameSink::Arrival> JackFrameSink::arrivals(int index) const
{
    const Port& port = *_ports[size_t(index)];
    const int count = port.count.load(std::memory_order_acquire);
    return std::vector<Arrival>(port.arrivals.begin(), port.arrivals.begin() + count);
}

int JackFrameSink::count(int index) const
{
    return _ports[size_t(index)]->count.load(std::memory_order_acquire);
}

void JackFrameSink::clear()
{
    for (auto& port : _ports)
        port->count.store(0, std::memory_order_release);
}

double JackFrameSink::msBetween(std::int64_t from, std::int64_t to) const
{
    const int rate = sampleRate();
    return rate > 0 ? double(to - from) * 1000.0 / rate : 0.0;
}

int JackFrameSink::_process(std::uint32_t frames, void* arg)
{
    auto* self = static_cast<JackFrameSink*>(arg);
    const std::uint32_t start32 = jack_last_frame_time(self->_client);
    const std::int64_t start =
        self->_lastStart < 0 ? std::int64_t(start32)
                             : self->_lastStart + std::uint32_t(start32 - std::uint32_t(self->_lastStart));
    self->_lastStart = start;
    for (auto& port : self->_ports) {
        void* buffer = jack_port_get_buffer(port->port, frames);
        const std::uint32_t events = jack_midi_get_event_count(buffer);
        for (std::uint32_t i = 0; i < events; ++i) {
            jack_midi_event_t event;
            if (jack_midi_event_get(&event, buffer, i) != 0)
                continue;
            const int count = port->count.load(std::memory_order_relaxed);
            if (count >= kMaxArrivals)
                break;
            Arrival& arrival = port->arrivals[size_t(count)];
            arrival.size = std::uint8_t(event.size < 3 ? event.size : 3);
            for (std::uint8_t b = 0; b < arrival.size; ++b)
                arrival.bytes[b] = event.buffer[b];
            arrival.frame = start + event.time;
            port->count.store(count + 1, std::memory_order_release);
        }
    }
    return 0;
}
