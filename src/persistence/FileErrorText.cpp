#include "persistence/FileErrorText.h"

#include <QDir>

namespace FileErrorText {

QString shownPath(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

QString reasonOf(const QFileDevice& file, const QString& fallback)
{
    QString reason = file.errorString().trimmed();
    if (file.error() == QFileDevice::NoError || reason.isEmpty() || reason == QLatin1String("Unknown error"))
        reason = fallback;
    if (reason.endsWith(QLatin1Char('.')))
        reason.chop(1);
    return reason;
}

} // namespace FileErrorText
