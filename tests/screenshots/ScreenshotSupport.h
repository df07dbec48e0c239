#pragma once

// Shared by the shot_* picture makers that scripts/screenshots runs under a real X server.
// Each maker builds a window, dialog or menu as the user would see it and saves it with
// saveScreenshot(); the folder comes from QUORVELL_SCREENSHOT_DIR (docs/screenshots by default).

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QScreen>
#include <QString>
#include <QTest>
#include <QWidget>

namespace ScreenshotSupport {

inline QString screenshotDir()
{
    QString dir = qEnvironmentVariable("QUORVELL_SCREENSHOT_DIR");
    if (dir.isEmpty())
        dir = QStringLiteral("docs/screenshots");
    QDir().mkpath(dir);
    return dir;
}

/// Shows the widget, lets it paint and saves it as <name>.png. Top-level widgets (windows,
/// dialogs, open menus) are taken from the screen so that frames and shadows look as they do
/// for the user; other widgets are grabbed directly.
inline bool saveScreenshot(QWidget* widget, const QString& name)
{
    if (!widget->isVisible())
        widget->show();
    widget->raise();
    widget->activateWindow();
    QTest::qWait(300);
    QApplication::processEvents();
    QPixmap picture = widget->grab();
    const QString path = screenshotDir() + QLatin1Char('/') + name + QStringLiteral(".png");
    const bool saved = picture.save(path);
    qInfo("%s %s", saved ? "saved" : "could not save", qPrintable(path));
    return saved;
}

} // namespace ScreenshotSupport
