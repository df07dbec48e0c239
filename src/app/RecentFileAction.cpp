#include "app/RecentFileAction.h"

#include "persistence/FilePaths.h"

#include <QFileInfo>
#include <QIcon>

RecentFileAction::RecentFileAction(const QString& filePath, QObject* parent)
    : QAction(parent), _filePath(filePath), _exists(QFileInfo(filePath).isFile())
{
    QString text = getFileNameWithoutThePath(filePath);
    text.replace(QLatin1Char('&'), QStringLiteral("&&"));
    setText(text);
    const QString shown = getFilePathWithNativeSeparators(filePath);
    if (_exists) {
        setStatusTip(QStringLiteral("Open ") + shown);
    } else {
        setStatusTip(shown + QStringLiteral(" does not exist."));
        setIcon(QIcon(QStringLiteral(":/icons/warning_16x16.png")));
    }
    setToolTip(statusTip());
}
