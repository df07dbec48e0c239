#include "widgets/NewPanelScroller.h"

#include <QScrollArea>
#include <QTimer>
#include <QWidget>

NewPanelScroller::NewPanelScroller(QObject* parent) : QObject(parent) {}

void NewPanelScroller::scrollIntoViewLater(QWidget* panel, QScrollArea* area)
{
    QPointer<QWidget> waiting(panel);
    QPointer<QScrollArea> areaPtr(area);
    QTimer::singleShot(10, this, [waiting, areaPtr] {
        if (waiting && areaPtr && areaPtr->widget() && areaPtr->widget()->isAncestorOf(waiting))
            areaPtr->ensureWidgetVisible(waiting, kVisibleMargin, kVisibleMargin);
    });
}
