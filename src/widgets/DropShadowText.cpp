#include "widgets/DropShadowText.h"

#include <QGradient>
#include <QLabel>
#include <QPainter>

void paintDropShadowText(const QLabel* label, QPainter& painter, const QString& text)
{
    const QFontMetrics metrics(label->font());
    const int top = (label->height() - metrics.lineSpacing()) / 2;
    const int baseline = top + metrics.ascent();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setFont(label->font());

    const QPalette& palette = label->palette();
    const QColor foreground = palette.color(label->foregroundRole());
    if (foreground.value() > palette.color(QPalette::Window).value()) {
        const QBrush background = palette.brush(label->backgroundRole());
        QColor shadow = background.color();
        if (const QGradient* gradient = background.gradient(); gradient && !gradient->stops().isEmpty())
            shadow = gradient->stops().first().second;
        painter.setPen(shadow.darker(200));
        painter.drawText(1, baseline + 2, text);
    }
    painter.setPen(foreground);
    painter.drawText(0, baseline, text);
}
