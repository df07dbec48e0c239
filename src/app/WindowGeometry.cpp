#include "app/WindowGeometry.h"

#include <algorithm>

QRect clampWindowGeometry(const QRect& wanted, const QRect& available)
{
    if (!available.isValid())
        return wanted;
    QRect rect = wanted;
    rect.setWidth(std::min(rect.width(), available.width()));
    rect.setHeight(std::min(rect.height(), available.height()));
    const int x = std::clamp(rect.x(), available.left(), available.right() + 1 - rect.width());
    const int y = std::clamp(rect.y(), available.top(), available.bottom() + 1 - rect.height());
    rect.moveTo(x, y);
    return rect;
}
