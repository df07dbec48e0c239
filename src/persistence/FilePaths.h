#pragma once

#include <QString>

// Small file-path helpers for the main window and the recent-files list. Any thread.

/// The path with the platform's separators.
QString getFilePathWithNativeSeparators(const QString& path);
/// Whether a file (or folder) exists at the path.
bool doesFileExist(const QString& path);
/// The file name part of the path, without any folders.
QString getFileNameWithoutThePath(const QString& path);
/// The absolute folder that holds the file, without the file name.
QString getAbsolutePathToFile(const QString& path);
