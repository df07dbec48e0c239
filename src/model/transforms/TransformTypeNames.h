#pragma once

#include <QString>

// The type names of the built-in transforms. A transform's name is its type name: the registry,
// the editors and the setup file identify the type by it.
namespace TransformTypeNames {

inline const QString Transpose = QStringLiteral("Transpose");
inline const QString ConvergeOnNote = QStringLiteral("Converge On Note");
inline const QString VelocityMap = QStringLiteral("Velocity Map");
inline const QString VelocityToCC = QStringLiteral("Velocity To CC");
inline const QString VelocityFromCC = QStringLiteral("Velocity From CC");
inline const QString MakeMonophonic = QStringLiteral("Make Monophonic");
inline const QString NoteFilter = QStringLiteral("Note Filter");
inline const QString VelocityFilter = QStringLiteral("Velocity Filter");
inline const QString VelocityVariation = QStringLiteral("Velocity Variation");
inline const QString IgnoreAllNotes = QStringLiteral("Ignore All Notes");
inline const QString ChangeCCNumber = QStringLiteral("Change CC#");
inline const QString CCMap = QStringLiteral("CC Map");
inline const QString CCCopy = QStringLiteral("CC Copy");
inline const QString IgnoreCC = QStringLiteral("Ignore CC");
inline const QString IgnoreAllControllers = QStringLiteral("Ignore All Controllers");
inline const QString InvertPitchChange = QStringLiteral("Invert Pitch Change");
inline const QString PitchChangeToCC = QStringLiteral("Pitch Change To CC");
inline const QString IgnorePitchChange = QStringLiteral("Ignore Pitch Change");
inline const QString ChannelAftertouchToCC = QStringLiteral("Channel Aftertouch To CC");
inline const QString IgnoreChannelAftertouch = QStringLiteral("Ignore Channel Aftertouch");
inline const QString Inspector = QStringLiteral("Inspector");

} // namespace TransformTypeNames
