#include "widgets/ArrowPixmapProvider.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>

ArrowPixmapProvider* ArrowPixmapProvider::_instance = nullptr;

ArrowPixmapProvider* ArrowPixmapProvider::GetInstance()
{
    if (!_instance)
        _instance = new ArrowPixmapProvider(); // lives until the process ends
    return _instance;
}

QPixmap ArrowPixmapProvider::_drawArrow(const Line (&lines)[3], QPoint tip)
{
    // Drawn at the screen's density so the arrow stays crisp on high-density screens; each
    // one-pixel line is filled as a one-pixel-wide rectangle, which scales without blur.
    const qreal density = qApp ? qApp->devicePixelRatio() : 1.0;
    QPixmap pixmap(QSize(13, 12) * density);
    pixmap.setDevicePixelRatio(density);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QColor ink = QApplication::palette().color(QPalette::ButtonText);
    for (const Line& line : lines) {
        const QRect r = QRect(QPoint(line.x1, line.y1), QPoint(line.x2, line.y2)).normalized();
        painter.fillRect(r, ink);
    }
    painter.fillRect(QRect(tip, QSize(1, 1)), ink);
    return pixmap;
}

const QPixmap& ArrowPixmapProvider::getLittleLeftArrowPixmap()
{
    if (_left.isNull())
        _left = _drawArrow({{8, 3, 8, 9}, {7, 4, 7, 8}, {6, 5, 6, 7}}, {5, 6});
    return _left;
}

const QPixmap& ArrowPixmapProvider::getLittleRightArrowPixmap()
{
    if (_right.isNull())
        _right = _drawArrow({{5, 3, 5, 9}, {6, 4, 6, 8}, {7, 5, 7, 7}}, {8, 6});
    return _right;
}

const QPixmap& ArrowPixmapProvider::getLittleUpArrowPixmap()
{
    if (_up.isNull())
        _up = _drawArrow({{3, 8, 9, 8}, {4, 7, 8, 7}, {5, 6, 7, 6}}, {6, 5});
    return _up;
}

const QPixmap& ArrowPixmapProvider::getLittleDownArrowPixmap()
{
    if (_down.isNull())
        _down = _drawArrow({{3, 5, 9, 5}, {4, 6, 8, 6}, {5, 7, 7, 7}}, {6, 8});
    return _down;
}
