#include "persistence/SetupFileCheck.h"

#include <QDir>
#include <QFileInfo>

QString whySetupFileCannotBeOpened(const QString& path)
{
    const QString shown = QDir::toNativeSeparators(path);
    if (path.isEmpty())
        return QStringLiteral("No setup file was named to be read.");
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("The setup file \"%1\" does not exist.").arg(shown);
    if (info.isDir())
        return QStringLiteral("\"%1\" is a folder, not a setup file.").arg(shown);
    // Devices and pipes could feed the reader for ever.
    if (!info.isFile())
        return QStringLiteral("\"%1\" is not a setup file: it is not a regular file.").arg(shown);
    if (info.size() > kMaxSetupFileSize)
        return QStringLiteral("\"%1\" is not a setup file: at %2 MiB it is larger than the 64 MiB a setup "
                              "can take.")
            .arg(shown)
            .arg(info.size() / (1024 * 1024));
    return QString();
}
