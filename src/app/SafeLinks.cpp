#include "app/SafeLinks.h"

#include <QDesktopServices>
#include <QLabel>
#include <QMessageBox>
#include <QUrl>

bool isSafeLink(const QString& link, bool allowMail)
{
    const QUrl url(link, QUrl::StrictMode);
    if (!url.isValid())
        return false;
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https"))
        return !url.host().isEmpty();
    return allowMail && scheme == QLatin1String("mailto") && !url.path().isEmpty();
}

bool openLinkIfSafe(const QString& link, bool allowMail)
{
    if (!isSafeLink(link, allowMail))
        return false;
    return QDesktopServices::openUrl(QUrl(link, QUrl::StrictMode));
}

void routeMessageBoxLinksThroughSafeOpener(QMessageBox* box)
{
    const QList<QLabel*> labels = box->findChildren<QLabel*>();
    for (QLabel* label : labels) {
        label->setOpenExternalLinks(false);
        QObject::connect(label, &QLabel::linkActivated, box,
                         [](const QString& link) { openLinkIfSafe(link, false); });
    }
}
