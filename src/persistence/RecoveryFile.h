#pragma once

#include <QString>

class MIDIRoutingSetup;

// A setup with unsaved changes is not lost when the program is stopped by a signal: it is written
// to a recovery file in the per-user data folder, and the next start says where it is.
// GUI thread only.

/// Writes the setup to a new file "<name> recovered <date time>.ms" in the per-user data folder
/// and remembers its path for the next start. The setup itself (path, modified flag) is left
/// alone. Returns the path written, or empty with the reason in `errorText`.
QString writeRecoveryFile(MIDIRoutingSetup* setup, QString* errorText = nullptr);

/// The sentence telling where the last recovery file was written, once: the remembered path is
/// forgotten as it is told. Empty when there is nothing to tell (or the file has gone since).
QString takeRecoveryFileNotice();
