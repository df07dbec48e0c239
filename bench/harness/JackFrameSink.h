#pragma once

#include "midi/MIDITypes.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

typedef struct _jack_client jack_client_t;
typedef struct _jack_port jack_port_t;

/// A synthesizer stand-in for timing: a plain JACK client with MIDI input ports that notes the
/// frame of the server's clock at which each message arrives, exact to the frame rather than to
/// the period a callback runs in. Recording never allocates. Uses the server named by
/// JACK_DEFAULT_SERVER and never starts one.
class JackFrameSink
{
public:
    struct Arrival
    {
        std::uint8_t bytes[3];
        std::uint8_t size;
        std::int64_t frame;
    };

    JackFrameSink(const QString& clientName, const QStringList& portNames);
    ~JackFrameSink();

    JackFrameSink(const JackFrameSink&) = delete;
    JackFrameSink& operator=(const JackFrameSink&) = delete;

    bool isValid() const { return _client != nullptr && _errorText.isEmpty(); }
    QString errorText() const { return _errorText; }
    /// "client:port" of the port at `index`, as the program lists it among its output ports.
    QString portName(int index) const;
    int sampleRate() const;

    /// What the port received so far, in order. Any thread.
    std::vector<Arrival> arrivals(int index) const;
    int count(int index) const;
    /// Forgets everything received. Only while nothing is sent to the sink.
    void clear();

    /// Milliseconds between two frames of the server's clock.
    double msBetween(std::int64_t from, std::int64_t to) const;

private:
    static int _process(std::uint32_t frames, void* arg);

    struct Port
    {
        jack_port_t* port = nullptr;
        QString name;
        std::vector<Arrival> arrivals; // fixed size, made once
        std::atomic<int> count{0};
    };

    jack_client_t* _client = nullptr;
    QString _errorText;
    std::vector<std::unique_ptr<Port>> _ports;
    std::int64_t _lastStart = -1; // process thread: the 64-bit frame counter
};
