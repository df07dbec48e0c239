#include "editors/PatchItemStripWidget.h"

#include "model/BaseMIDIObject.h"
#include "model/routing/MIDIPatchTarget.h"

PatchItemStripWidget::PatchItemStripWidget(MIDIPatchTarget* patch, QWidget* parent)
    : ReorderWidget(Qt::Horizontal, 0, 1, parent), _patch(patch)
{
    setReorderMode(0);
    setContentsMargins(0, 0, 0, 0);
    setSpacing(2);
    setDropIndicatorThickness(4);
    connect(this, &ReorderWidget::reorderRequested, this, &PatchItemStripWidget::_reorderReqSLOT);
}

QWidget* PatchItemStripWidget::_indicatorOrNull(QWidget* widget) const
{
    // The row also holds the drop bar while a drag is in progress.
    return widget && _indicatorType->cast(widget) ? widget : nullptr;
}

QWidget* PatchItemStripWidget::getWidgetForItem(const BaseMIDIObject* item) const
{
    for (int i = 0; i < getNumWidgets(); ++i) {
        QWidget* widget = _indicatorOrNull(getWidgetAtIndex(i));
        if (widget && _shownItem(widget) == item)
            return widget;
    }
    return nullptr;
}

void PatchItemStripWidget::_reorderReqSLOT(QWidget* wid, int newIndex)
{
    QWidget* widget = _indicatorOrNull(wid);
    BaseMIDIObject* item = widget ? _shownItem(widget) : nullptr;
    if (_patch && item)
        _moveItem(_patch, item, newIndex);
}

void PatchItemStripWidget::_itemAdded(BaseMIDIObject* item)
{
    if (item && getWidgetForItem(item) == nullptr)
        addWidget(_createIndicator(item));
}

void PatchItemStripWidget::_itemRemoved(BaseMIDIObject* item)
{
    if (QWidget* widget = getWidgetForItem(item)) {
        removeWidget(widget, true);
        widget->deleteLater();
    }
}

void PatchItemStripWidget::_itemMovedTo(BaseMIDIObject* item, int newIndex)
{
    if (QWidget* widget = getWidgetForItem(item))
        moveWidgetToIndex(widget, newIndex);
}
