#pragma once

#include <QString>

// The folders last used by the open and save dialogs, kept in the preferences under "LastOpenPath"
// and "LastSavePath" with native separators. GUI thread only.

/// The remembered folder, or empty when none is stored.
QString getLastOpenPath();
QString getLastSavePath();

/// Stores the path as given, with native separators.
void setLastOpenPath(const QString& path);
void setLastSavePath(const QString& path);

/// Stores the absolute folder that holds the file, with native separators.
void setLastOpenPathFromFilePath(const QString& filePath);
void setLastSavePathFromFilePath(const QString& filePath);
