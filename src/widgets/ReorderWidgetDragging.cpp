// The dragging half of ReorderWidget: press, move, release and the look of a drag.
#include "widgets/ReorderWidget.h"

#include <QApplication>
#include <QBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>

void ReorderWidget::mousePressEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    if (event->button() == Qt::LeftButton && getNumWidgets() > 1 && !_reorderInProgress) {
        if (QWidget* widget = _managedWidgetAt(point)) {
            _draggingWidget = widget;
            _pressPoint = point;
            _currentPoint = point;
            _grabOffset = _orientation == Qt::Vertical ? point.y() - widget->y() : point.x() - widget->x();
            event->accept();
            return;
        }
    }
    if (!_reorderInProgress)
        _forgetArmedWidget();
    QWidget::mousePressEvent(event);
}

void ReorderWidget::mouseMoveEvent(QMouseEvent* event)
{
    if (!_draggingWidget || !(event->buttons() & Qt::LeftButton)) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    _currentPoint = event->position().toPoint();
    if (!_reorderInProgress &&
        (_currentPoint - _pressPoint).manhattanLength() >= QApplication::startDragDistance())
        _startReorder();
    if (_reorderInProgress) {
        emit draggingToPoint(_currentPoint);
        _followPointer();
    }
    event->accept();
}

void ReorderWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    if (_reorderInProgress) {
        _finishReorder();
        event->accept();
        return;
    }
    _forgetArmedWidget();
    QWidget::mouseReleaseEvent(event);
}

bool ReorderWidget::eventFilter(QObject* watched, QEvent* event)
{
    // Watching the whole application only while a drag is in progress: Escape ends it, wherever
    // the keyboard focus is.
    if (_reorderInProgress && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        _cancelReorder();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void ReorderWidget::_managedWidgetDestroyedSLOT(QObject* object)
{
    // Deleted by its owner without being taken out first; the layout forgets it by itself.
    const auto index = _widgets.indexOf(static_cast<QWidget*>(object));
    if (index < 0)
        return;
    _cancelReorder();
    _widgets.removeAt(index);
    emit widgetListChanged();
}

QWidget* ReorderWidget::_managedWidgetAt(const QPoint& point) const
{
    for (QWidget* child = childAt(point); child && child != this; child = child->parentWidget()) {
        if (child != _dropIndicator && _widgets.contains(child))
            return child;
    }
    return nullptr;
}

int ReorderWidget::_alongAxis(const QPoint& point) const
{
    return _orientation == Qt::Vertical ? point.y() : point.x();
}

int ReorderWidget::_dropIndex(const QPoint& point) const
{
    const int position = _alongAxis(point);
    int index = 0;
    for (int line : _centerLines) {
        if (line < position)
            ++index;
    }
    return index;
}

void ReorderWidget::_startReorder()
{
    QApplication::setOverrideCursor(Qt::ClosedHandCursor);
    _centerLines.clear();
    for (QWidget* widget : std::as_const(_widgets)) {
        _centerLines.append(_orientation == Qt::Vertical ? widget->y() + widget->height() / 2
                                                         : widget->x() + widget->width() / 2);
    }
    _reorderInProgress = true;
    qApp->installEventFilter(this);

    _dragPixmap = QPixmap(_draggingWidget->size());
    _dragPixmap.fill(palette().color(QPalette::Window));
    _draggingWidget->render(&_dragPixmap, QPoint(), QRegion(),
                            QWidget::DrawWindowBackground | QWidget::DrawChildren);
    _dragLabel = new QLabel(this);
    _dragLabel->setPixmap(_dragPixmap);
    _dragLabel->setAutoFillBackground(true);
    _dragLabel->resize(_dragPixmap.size());
    _dragLabel->raise();
    _dragLabel->show();

    insertWidget(_dropIndicator, _dropIndex(_currentPoint));
}

void ReorderWidget::_followPointer()
{
    moveWidgetToIndex(_dropIndicator, _dropIndex(_currentPoint));
    if (_dragLabel) {
        int left = 0, top = 0;
        _layout->getContentsMargins(&left, &top, nullptr, nullptr);
        if (_orientation == Qt::Vertical)
            _dragLabel->move(left + _dragPixmap.width() / 3, _currentPoint.y() - _grabOffset);
        else
            _dragLabel->move(_currentPoint.x() - _grabOffset, top + _dragPixmap.height() / 3);
        _dragLabel->raise();
    }
    update();
}

void ReorderWidget::_finishReorder()
{
    const QPointer<QWidget> widget = _draggingWidget;
    const int fromIndex = getWidgetIndex(widget);
    const int dropIndex = getWidgetIndex(_dropIndicator);
    _endDragLook();
    _forgetArmedWidget();
    if (!widget || fromIndex < 0 || dropIndex < 0)
        return;
    const int target = dropIndex > fromIndex ? dropIndex - 1 : dropIndex;
    // Dropped on its own place: nothing to move and nothing to ask for.
    if (target != fromIndex) {
        if (_reorderMode == 1)
            moveWidgetToIndex(widget, target);
        else
            emit reorderRequested(widget, target);
    }
    update();
}

void ReorderWidget::_cancelReorder()
{
    if (!_reorderInProgress)
        return;
    _endDragLook();
    _forgetArmedWidget();
    update();
}

void ReorderWidget::_endDragLook()
{
    if (!_reorderInProgress)
        return;
    _reorderInProgress = false;
    qApp->removeEventFilter(this);
    QApplication::restoreOverrideCursor();
    removeWidget(_dropIndicator, false);
    _centerLines.clear();
    delete _dragLabel;
    _dragPixmap = QPixmap();
}

void ReorderWidget::_forgetArmedWidget()
{
    _draggingWidget = nullptr;
    _pressPoint = QPoint(-1, -1);
    _grabOffset = -1;
}
