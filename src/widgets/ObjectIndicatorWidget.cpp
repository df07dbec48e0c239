#include "widgets/ObjectIndicatorWidget.h"

#include <QApplication>
#include <QMouseEvent>

ObjectIndicatorWidget::ObjectIndicatorWidget(QWidget* parent) : QPushButton(parent)
{
    setDefault(false);
    setAutoDefault(false);
    setFocusPolicy(Qt::NoFocus);
    setIconSize(QSize(16, 16));
    setMinimumWidth(1);
}

void ObjectIndicatorWidget::mousePressEvent(QMouseEvent* event)
{
    QPushButton::mousePressEvent(event);
    event->ignore(); // the parent arms its reordering too
    _dragging = false;
    _pressPoint = event->position().toPoint();
}

void ObjectIndicatorWidget::mouseMoveEvent(QMouseEvent* event)
{
    // A hand never holds still: only a move as far as a drag would need makes this a drag, so a
    // slightly shaky click still clicks (the parent starts reordering at the same distance).
    if ((event->position().toPoint() - _pressPoint).manhattanLength() >= QApplication::startDragDistance())
        _dragging = true;
    event->ignore();
}

void ObjectIndicatorWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (_dragging) {
        setDown(false);
        _dragging = false;
        event->ignore();
        return;
    }
    QPushButton::mouseReleaseEvent(event);
}
