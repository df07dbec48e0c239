#pragma once

#include <QString>

// The type names of the built-in initializers. An initializer's name is its type name: the
// registry, the patch and the setup file identify the type by it.
namespace InitializerTypeNames {

inline const QString NoteOn = QStringLiteral("Note On");
inline const QString NoteOff = QStringLiteral("Note Off");
inline const QString ProgramChange = QStringLiteral("Program Change");
inline const QString Volume = QStringLiteral("Volume");
inline const QString CC = QStringLiteral("CC");
inline const QString PitchBend = QStringLiteral("Pitch Bend");

} // namespace InitializerTypeNames
