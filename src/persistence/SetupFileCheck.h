#pragma once

#include <QString>

/// Setup files are read whole into memory; anything larger than this is not a setup.
inline constexpr qint64 kMaxSetupFileSize = qint64(64) * 1024 * 1024;

/// Why the path cannot be opened as a setup file, as one sentence naming it: missing, a folder,
/// not a regular file (a pipe or device would block the reader), or larger than 64 MiB. Empty
/// when the file may be read. Any thread.
QString whySetupFileCannotBeOpened(const QString& path);
