#pragma once

#include <QString>

#include <cstdint>

typedef struct _jack_client jack_client_t;

/// A plain JACK client of the benchmark's own, for what RtMidi does not offer: wiring two ports of
/// other clients together and asking the server for its period. Uses the server named by
/// JACK_DEFAULT_SERVER and never starts one.
class JackGraph
{
public:
    JackGraph();
    ~JackGraph();

    JackGraph(const JackGraph&) = delete;
    JackGraph& operator=(const JackGraph&) = delete;

    /// False when no server could be reached; errorText() says why.
    bool isValid() const { return _client != nullptr; }
    QString errorText() const { return _errorText; }

    /// Connects the output port `from` to the input port `to` (full names, "client:port"). False,
    /// with the reason in `error`, when the server refuses.
    bool connectPorts(const QString& from, const QString& to, QString* error);

    /// Frames the server processes per period, and its sample rate.
    int framesPerPeriod() const;
    int sampleRate() const;
    /// One period in milliseconds.
    double periodMs() const;
    /// The server's frame clock now (an estimate between periods, as JACK gives it).
    std::uint32_t frameTime() const;

private:
    jack_client_t* _client = nullptr;
    QString _errorText;
};
