#pragma once

#include <QString>

class MIDIPortInfo;

/// A present port to use in place of one a setup names but this machine lacks: the port carrying
/// the display name the missing one had (with a warning), else the first port of the kind (with an
/// error), else empty (no port of the kind at all; nothing is posted). GUI thread only.
QString findReplacementForMissingPort(MIDIPortInfo* ports, const QString& missingName, bool input);
