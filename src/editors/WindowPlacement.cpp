#include "editors/WindowPlacement.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>

QPoint clampedWindowPosition(const QPoint& wanted, const QSize& windowSize)
{
    QScreen* screen = QGuiApplication::screenAt(wanted);
    if (screen == nullptr)
        screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return wanted;
    const QRect area = screen->availableGeometry();
    const int maxX = qMax(area.left(), area.right() + 1 - windowSize.width());
    const int maxY = qMax(area.top(), area.bottom() + 1 - windowSize.height());
    return QPoint(qBound(area.left(), wanted.x(), maxX), qBound(area.top(), wanted.y(), maxY));
}
