#include "persistence/RememberedPaths.h"

#include "persistence/AppPrefs.h"
#include "persistence/FilePaths.h"
#include "persistence/PrefKeys.h"

QString getLastOpenPath()
{
    return getStringPrefValue(PrefKeys::LastOpenPath, QString());
}

QString getLastSavePath()
{
    return getStringPrefValue(PrefKeys::LastSavePath, QString());
}

void setLastOpenPath(const QString& path)
{
    setStringPrefValue(PrefKeys::LastOpenPath, getFilePathWithNativeSeparators(path));
}

void setLastSavePath(const QString& path)
{
    setStringPrefValue(PrefKeys::LastSavePath, getFilePathWithNativeSeparators(path));
}

void setLastOpenPathFromFilePath(const QString& filePath)
{
    setLastOpenPath(getAbsolutePathToFile(filePath));
}

void setLastSavePathFromFilePath(const QString& filePath)
{
    setLastSavePath(getAbsolutePathToFile(filePath));
}
