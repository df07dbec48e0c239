#include "widgets/NewPanelScroller.h"

#include <QEvent>
#include <QScrollArea>
#include <QTimer>
#include <QWidget>

namespace {
// Long enough for every round of layout a new panel causes, also on a loaded machine; short
// enough that a later fold or unfold does not pull the area back to it.
constexpr qint64 kSettleWindowMs = 1500;
} // namespace

NewPanelScroller::NewPanelScroller(QObject* parent) : QObject(parent) {}

void NewPanelScroller::scrollIntoViewLater(QWidget* panel, QScrollArea* area)
{
    if (!panel || !area || !area->widget())
        return;
    _forget(area);
    Pending& pending = _pending[area];
    pending.panel = panel;
    pending.stack = area->widget();
    pending.since.start();
    panel->installEventFilter(this);
    pending.stack->installEventFilter(this);
    _queueScroll(area);
}

bool NewPanelScroller::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::Resize && type != QEvent::Move && type != QEvent::LayoutRequest)
        return false;
    for (auto it = _pending.begin(); it != _pending.end(); ++it) {
        if (it->panel == watched || it->stack == watched)
            _queueScroll(it.key());
    }
    return false;
}

void NewPanelScroller::_queueScroll(QScrollArea* area)
{
    Pending& pending = _pending[area];
    if (pending.scrollQueued)
        return;
    pending.scrollQueued = true;
    // After the event that moved things has been handled (a layout request is seen here before
    // the layout acts on it).
    QTimer::singleShot(0, this, [this, area] { _scrollNow(area); });
}

void NewPanelScroller::_scrollNow(QScrollArea* area)
{
    auto it = _pending.find(area);
    if (it == _pending.end())
        return;
    it->scrollQueued = false;
    QWidget* panel = it->panel;
    if (!panel || !it->stack || area->widget() != it->stack || !it->stack->isAncestorOf(panel) ||
        it->since.elapsed() > kSettleWindowMs) {
        _forget(area);
        return;
    }
    area->ensureWidgetVisible(panel, kVisibleMargin, kVisibleMargin);
}

void NewPanelScroller::_forget(QScrollArea* area)
{
    auto it = _pending.find(area);
    if (it == _pending.end())
        return;
    if (it->panel)
        it->panel->removeEventFilter(this);
    if (it->stack) {
        bool stillWatched = false;
        for (auto other = _pending.cbegin(); other != _pending.cend(); ++other)
            stillWatched = stillWatched || (other != it && other->stack == it->stack);
        if (!stillWatched)
            it->stack->removeEventFilter(this);
    }
    _pending.erase(it);
}
