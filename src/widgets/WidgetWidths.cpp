#include "widgets/WidgetWidths.h"

#include <QWidget>
#include <algorithm>

void fixBothWidthsToWiderOf(QWidget* first, QWidget* second)
{
    fixAllWidthsToWidestOf({first, second});
}

void fixAllWidthsToWidestOf(const QList<QWidget*>& widgets)
{
    int widest = -1;
    for (const QWidget* widget : widgets) {
        if (widget)
            widest = std::max(widest, widget->sizeHint().width());
    }
    if (widest < 0)
        return;
    for (QWidget* widget : widgets) {
        if (widget)
            widget->setFixedWidth(widest);
    }
}
