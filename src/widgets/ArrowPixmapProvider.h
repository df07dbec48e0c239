#pragma once

#include <QPixmap>

/// The four little 13 by 12 arrows (in device-independent pixels) used by collapse toggles and menu buttons,
/// drawn in the application palette's button text colour on a transparent ground. Each is drawn on first
/// request and kept for the life of the process. GUI thread only.
class ArrowPixmapProvider
{
public:
    static ArrowPixmapProvider* GetInstance();

    const QPixmap& getLittleLeftArrowPixmap();
    const QPixmap& getLittleRightArrowPixmap();
    const QPixmap& getLittleUpArrowPixmap();
    const QPixmap& getLittleDownArrowPixmap();

private:
    ArrowPixmapProvider() = default;

    struct Line
    {
        int x1, y1, x2, y2;
    };
    static QPixmap _drawArrow(const Line (&lines)[3], QPoint tip);

    static ArrowPixmapProvider* _instance;
    QPixmap _left, _right, _up, _down;
};
