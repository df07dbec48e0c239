#pragma once

#include <QString>

class QMimeData;

// Setup files dragged onto the window. GUI thread only.

/// The absolute path of the first URL that is a local, existing regular file ending in ".ms"
/// (case-sensitive); empty when there is none.
QString _getSetupFilePathFromMIMEUrls(const QMimeData* mimeData);
/// Whether the data carries URLs and one of them is a setup file.
bool doesMIMEDataContainSetupFile(const QMimeData* mimeData);
/// The first setup file's path, or empty.
QString getSetupFilePathFromMimeData(const QMimeData* mimeData);
