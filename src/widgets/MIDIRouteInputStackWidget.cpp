#include "widgets/MIDIRouteInputStackWidget.h"
#include "model/edits/ModelEdits.h"

#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "widgets/MIDIRouteInputWidget.h"

MIDIRouteInputStackWidget::MIDIRouteInputStackWidget(MIDIRoutingSetup* setup, QWidget* parent)
    : ReorderWidget(Qt::Vertical, 0, 1, parent), _setup(setup)
{
    setReorderMode(0);
    setContentsMargins(5, 5, 5, 5);
    setSpacing(1);
    setBackgroundRole(QPalette::Dark);
    setAutoFillBackground(true);
    for (int i = 0; i < setup->getNumMIDIRoutes(); ++i)
        _addWidgetFor(setup->getMIDIRouteAtIndex(i));
    connect(setup, &MIDIRoutingSetup::midiRouteAdded, this, &MIDIRouteInputStackWidget::_midiRouteAddedSLOT);
    connect(setup, &MIDIRoutingSetup::midiRouteRemoved, this,
            &MIDIRouteInputStackWidget::_midiRouteRemovedSLOT);
    connect(setup, &MIDIRoutingSetup::midiRouteMovedTo, this,
            &MIDIRouteInputStackWidget::_midiRouteMovedToSLOT);
    connect(this, &ReorderWidget::reorderRequested, this, &MIDIRouteInputStackWidget::_reorderRequestedSLOT);
}

MIDIRoutingSetup* MIDIRouteInputStackWidget::getMIDIRoutingSetup() const
{
    return _setup;
}

MIDIRouteInputWidget* MIDIRouteInputStackWidget::getWidgetForRoute(MIDIRoute* route) const
{
    for (int i = 0; i < getNumWidgets(); ++i) {
        auto* widget = qobject_cast<MIDIRouteInputWidget*>(getWidgetAtIndex(i));
        if (widget && widget->getMIDIRoute() == route)
            return widget;
    }
    return nullptr;
}

void MIDIRouteInputStackWidget::_addWidgetFor(MIDIRoute* route)
{
    if (!route || hasWidgetForRoute(route))
        return;
    auto* widget = new MIDIRouteInputWidget(route, this);
    connect(widget, &MIDIRouteInputWidget::showAllInnardsRequested, this,
            &MIDIRouteInputStackWidget::_showAllInnardsSLOT);
    const int index = _setup ? _setup->getIndexOfMIDIRoute(route) : -1;
    insertWidget(widget, index);
}

void MIDIRouteInputStackWidget::_midiRouteAddedSLOT(MIDIRoute* route)
{
    // A panel for an object new to the model: the view scrolls it into sight.
    const bool known = getWidgetForRoute(route) != nullptr;
    _addWidgetFor(route);
    if (QWidget* widget = getWidgetForRoute(route); widget && !known)
        emit widgetAdded(widget);
}

void MIDIRouteInputStackWidget::_midiRouteRemovedSLOT(MIDIRoute* route)
{
    if (MIDIRouteInputWidget* widget = getWidgetForRoute(route)) {
        removeWidget(widget, true);
        widget->deleteLater();
    }
}

void MIDIRouteInputStackWidget::_midiRouteMovedToSLOT(MIDIRoute* route, int index)
{
    if (MIDIRouteInputWidget* widget = getWidgetForRoute(route))
        moveWidgetToIndex(widget, index);
}

void MIDIRouteInputStackWidget::_reorderRequestedSLOT(QWidget* widget, int index)
{
    auto* inputWidget = qobject_cast<MIDIRouteInputWidget*>(widget);
    if (_setup && inputWidget && inputWidget->getMIDIRoute())
        ModelEdits::move(inputWidget->getMIDIRoute(), index);
}

void MIDIRouteInputStackWidget::_showAllInnardsSLOT(bool show)
{
    for (int i = 0; i < getNumWidgets(); ++i) {
        if (auto* widget = qobject_cast<MIDIRouteInputWidget*>(getWidgetAtIndex(i)))
            widget->showInnards(show);
    }
}
