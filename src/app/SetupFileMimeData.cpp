#include "app/SetupFileMimeData.h"

#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

QString _getSetupFilePathFromMIMEUrls(const QMimeData* mimeData)
{
    if (!mimeData)
        return QString();
    const QList<QUrl> urls = mimeData->urls();
    for (const QUrl& url : urls) {
        if (!url.isLocalFile())
            continue;
        const QString path = url.toLocalFile();
        const QFileInfo info(path);
        // Folders, pipes and devices are refused here already, so the drag is not accepted.
        if (path.endsWith(QLatin1String(".ms")) && info.exists() && info.isFile())
            return info.absoluteFilePath();
    }
    return QString();
}

bool doesMIMEDataContainSetupFile(const QMimeData* mimeData)
{
    return mimeData && mimeData->hasUrls() && !_getSetupFilePathFromMIMEUrls(mimeData).isEmpty();
}

QString getSetupFilePathFromMimeData(const QMimeData* mimeData)
{
    return _getSetupFilePathFromMIMEUrls(mimeData);
}
