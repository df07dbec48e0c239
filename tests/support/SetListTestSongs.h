#pragma once

#include <QString>

class SetList;

/// Song files for set list tests: each song is a setup with one input listening on every channel
/// of an input port and one output whose patch sends on an output port (every channel), with a
/// program change initializer, so that a test hears which song plays and when its sound was set.
namespace SetListTestSongs {

/// Writes the song's setup file; false when it could not be written.
bool writeSong(const QString& path, const QString& inputPort, const QString& outputPort, int program);
/// Appends a song named `name` with its file `fileName` in `folder` (written unless `broken`, in
/// which case the file does not exist).
void addSong(SetList* setList, const QString& folder, const QString& name, const QString& inputPort,
             const QString& outputPort, int program, bool broken = false);

} // namespace SetListTestSongs
