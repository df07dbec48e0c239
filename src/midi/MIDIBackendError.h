#pragma once

#include <QString>

#include <stdexcept>
#include <string>

/// Raised by the MIDI backend when the system MIDI service refuses something: a client object cannot
/// be created, a port cannot be listed or opened. Carries the service's own text, which the caller
/// shows to the user after its own sentence.
class MIDIBackendError : public std::runtime_error
{
public:
    explicit MIDIBackendError(const std::string& message) : std::runtime_error(message) {}

    /// The service's text as the user sees it.
    QString getMessage() const { return QString::fromLocal8Bit(what()); }
};
