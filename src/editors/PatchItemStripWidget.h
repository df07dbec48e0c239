#pragma once

#include "widgets/ReorderWidget.h"

#include <QPointer>
#include <functional>

class BaseMIDIObject;
class MIDIPatchTarget;

/// The calls on a patch and its indicators that a strip needs for one of the patch's lists.
template <typename Indicator, typename Item> struct PatchItemList
{
    int (MIDIPatchTarget::*numItems)() const;
    Item* (MIDIPatchTarget::*itemAt)(int) const;
    void (MIDIPatchTarget::*moveItem)(Item*, int);
    Item* (Indicator::*shownItem)() const;
    void (MIDIPatchTarget::*added)(Item*);
    void (MIDIPatchTarget::*removed)(Item*);
    void (MIDIPatchTarget::*movedTo)(Item*, int);
};

/// A row of indicators for one of a patch's lists (its initializers or its transforms), in list
/// order. Dragging an indicator only asks the patch to move the item; the row changes in answer
/// to the patch's signals. GUI thread only.
class PatchItemStripWidget : public ReorderWidget
{
    Q_OBJECT

public:
    PatchItemStripWidget(MIDIPatchTarget* patch, QWidget* parent);

protected:
    /// Names the list this row shows, fills the row from it and follows the patch's signals about
    /// it from then on. Call once, from the subclass's constructor.
    template <typename Indicator, typename Item>
    void showPatchList(const PatchItemList<Indicator, Item>& list)
    {
        _indicatorType = &Indicator::staticMetaObject;
        // Only items of this list reach these three: the patch's own, or those its indicators show.
        _moveItem = [list](MIDIPatchTarget* patch, BaseMIDIObject* item, int newIndex) {
            (patch->*list.moveItem)(static_cast<Item*>(item), newIndex);
        };
        _createIndicator = [this](BaseMIDIObject* item) -> QWidget* {
            return new Indicator(static_cast<Item*>(item), this);
        };
        _shownItem = [list](QWidget* indicator) -> BaseMIDIObject* {
            return (static_cast<Indicator*>(indicator)->*list.shownItem)();
        };
        clear();
        if (!_patch)
            return;
        for (int i = 0; i < (_patch->*list.numItems)(); ++i)
            addWidget(_createIndicator((_patch->*list.itemAt)(i)));
        connect(_patch, list.added, this, &PatchItemStripWidget::_itemAdded);
        connect(_patch, list.removed, this, &PatchItemStripWidget::_itemRemoved);
        connect(_patch, list.movedTo, this, &PatchItemStripWidget::_itemMovedTo);
    }

    /// The indicator of the item, or null.
    QWidget* getWidgetForItem(const BaseMIDIObject* item) const;

private:
    QWidget* _indicatorOrNull(QWidget* widget) const;
    void _reorderReqSLOT(QWidget* wid, int newIndex);
    void _itemAdded(BaseMIDIObject* item);
    void _itemRemoved(BaseMIDIObject* item);
    void _itemMovedTo(BaseMIDIObject* item, int newIndex);

    QPointer<MIDIPatchTarget> _patch;
    const QMetaObject* _indicatorType = nullptr;
    std::function<void(MIDIPatchTarget*, BaseMIDIObject*, int)> _moveItem;
    std::function<QWidget*(BaseMIDIObject*)> _createIndicator;
    std::function<BaseMIDIObject*(QWidget*)> _shownItem;
};
