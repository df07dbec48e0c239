#include "widgets/ReorderWidget.h"

#include <QApplication>
#include <QBoxLayout>
#include <QLabel>
#include <QMouseEvent>

ReorderWidget::ReorderWidget(Qt::Orientation orientation, int leadingStretch, int trailingStretch,
                             QWidget* parent)
    : QWidget(parent), _orientation(orientation)
{
    _layout =
        new QBoxLayout(orientation == Qt::Vertical ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight, this);
    auto addEnd = [this](int stretch) {
        if (stretch == -1)
            _layout->addSpacerItem(new QSpacerItem(0, 0, QSizePolicy::Minimum, QSizePolicy::Minimum));
        else
            _layout->addStretch(stretch);
        return _layout->itemAt(_layout->count() - 1);
    };
    _leadingItem = addEnd(leadingStretch);
    _trailingItem = addEnd(trailingStretch);

    _dropIndicator = new QLabel(this);
    _dropIndicator->setBackgroundRole(QPalette::Highlight);
    _dropIndicator->setAutoFillBackground(true);
    _dropIndicator->hide();
    setDropIndicatorThickness(_dropIndicatorThickness);
}

ReorderWidget::~ReorderWidget()
{
    if (_reorderInProgress)
        QApplication::restoreOverrideCursor();
    // The children go after this object's own part: they must not call back into it.
    for (QWidget* widget : std::as_const(_widgets))
        disconnect(widget, nullptr, this, nullptr);
}

void ReorderWidget::addWidget(QWidget* widget)
{
    if (!widget || hasWidget(widget))
        return;
    insertWidget(widget, getNumWidgets());
    emit widgetAdded(widget);
    emit widgetListChanged();
}

void ReorderWidget::insertWidget(QWidget* widget, int index)
{
    if (!widget || hasWidget(widget))
        return;
    // A new panel shifts the others: the centre lines captured for a drag no longer hold.
    if (_reorderInProgress && widget != _dropIndicator)
        _cancelReorder();
    if (widget->parentWidget() != this)
        widget->setParent(this);
    if (index < 0 || index >= getNumWidgets())
        index = getNumWidgets();
    _widgets.insert(index, widget);
    _layout->insertWidget(index + 1, widget);
    widget->show();
    if (widget != _dropIndicator)
        connect(widget, &QObject::destroyed, this, &ReorderWidget::_managedWidgetDestroyedSLOT);
    emit widgetListChanged();
}

void ReorderWidget::removeWidget(QWidget* widget, bool unparent)
{
    if (!hasWidget(widget))
        return;
    if (widget != _dropIndicator) {
        // The captured centre lines no longer describe the box: drop the drag rather than guess.
        if (_reorderInProgress)
            _cancelReorder();
        if (widget == _draggingWidget)
            _forgetArmedWidget();
        disconnect(widget, &QObject::destroyed, this, &ReorderWidget::_managedWidgetDestroyedSLOT);
    }
    widget->hide();
    _layout->removeWidget(widget);
    _widgets.removeOne(widget);
    if (unparent)
        widget->setParent(nullptr);
    emit widgetListChanged();
}

QWidget* ReorderWidget::getWidgetAtIndex(int index) const
{
    return index >= 0 && index < getNumWidgets() ? _widgets.at(index) : nullptr;
}

int ReorderWidget::getWidgetIndex(QWidget* widget) const
{
    return int(_widgets.indexOf(widget));
}

bool ReorderWidget::hasWidget(QWidget* widget) const
{
    return widget && _widgets.contains(widget);
}

bool ReorderWidget::isDropIndicatorWidget(QWidget* widget) const
{
    return widget && widget == _dropIndicator;
}

bool ReorderWidget::isDropIndicatorAtIndex(int index) const
{
    return isDropIndicatorWidget(getWidgetAtIndex(index));
}

void ReorderWidget::setReorderMode(int mode)
{
    if (mode == 0 || mode == 1)
        _reorderMode = mode;
}

void ReorderWidget::setDropIndicatorThickness(int thickness)
{
    _dropIndicatorThickness = thickness;
    if (_orientation == Qt::Vertical) {
        _dropIndicator->setFixedHeight(thickness);
        _dropIndicator->setMinimumWidth(0);
        _dropIndicator->setMaximumWidth(QWIDGETSIZE_MAX);
    } else {
        _dropIndicator->setFixedWidth(thickness);
        _dropIndicator->setMinimumHeight(0);
        _dropIndicator->setMaximumHeight(QWIDGETSIZE_MAX);
    }
}

int ReorderWidget::getSpacing() const
{
    return _layout->spacing();
}

void ReorderWidget::setSpacing(int spacing)
{
    _layout->setSpacing(spacing);
}

void ReorderWidget::getContentsMargins(int* left, int* top, int* right, int* bottom) const
{
    _layout->getContentsMargins(left, top, right, bottom);
}

void ReorderWidget::setContentsMargins(int left, int top, int right, int bottom)
{
    _layout->setContentsMargins(left, top, right, bottom);
}

void ReorderWidget::clear()
{
    _cancelReorder();
    const QList<QWidget*> widgets = _widgets;
    for (QWidget* widget : widgets) {
        removeWidget(widget, true);
        widget->deleteLater();
    }
}

void ReorderWidget::moveWidgetToIndex(QWidget* widget, int index)
{
    const int oldIndex = getWidgetIndex(widget);
    if (oldIndex < 0)
        return;
    if (index < 0 || index >= getNumWidgets())
        index = getNumWidgets() - 1;
    if (index == oldIndex)
        return;
    _widgets.removeAt(oldIndex);
    _layout->removeWidget(widget);
    _widgets.insert(index, widget);
    _layout->insertWidget(index + 1, widget);
    emit widgetMovedToIndex(widget, index);
    emit widgetMovedToIndex(oldIndex, index);
}

void ReorderWidget::moveWidgetToIndex(int widgetIndex, int index)
{
    if (QWidget* widget = getWidgetAtIndex(widgetIndex))
        moveWidgetToIndex(widget, index);
}
