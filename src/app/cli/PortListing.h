#pragma once

#include <QString>

/// The text of `--list-ports`: the MIDI service in use, then the input and output ports, one a
/// line, with their display names and "not used" marks.
class PortListing
{
public:
    static QString text();
};
