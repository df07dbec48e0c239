#include "widgets/KeyboardScrollArea.h"

#include <QScrollBar>
#include <QWheelEvent>

KeyboardScrollArea::KeyboardScrollArea(QWidget* parent) : QScrollArea(parent)
{
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

void KeyboardScrollArea::wheelEvent(QWheelEvent* event)
{
    // A vertical wheel scrolls sideways; a sideways wheel or swipe does the same.
    const QPoint angle = event->angleDelta();
    const int delta = angle.y() != 0 ? angle.y() : angle.x();
    QScrollBar* bar = horizontalScrollBar();
    bar->setValue(bar->value() - delta / 8);
    event->accept();
}
