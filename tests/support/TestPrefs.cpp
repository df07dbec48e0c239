#include "support/TestPrefs.h"

#include "persistence/AppPrefs.h"

#include <QTemporaryDir>

QString useTemporaryPrefs()
{
    static QTemporaryDir directory;
    setPrefsStorageDirectory(directory.path());
    return directory.path();
}
