#include "widgets/MIDIOutputStackWidget.h"
#include "model/edits/ModelEdits.h"

#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIRoute.h"
#include "widgets/MIDIOutputWidget.h"

MIDIOutputStackWidget::MIDIOutputStackWidget(MIDIRoute* route, QWidget* parent)
    : ReorderWidget(Qt::Vertical, 0, 100000, parent), _route(route)
{
    setReorderMode(0);
    setContentsMargins(5, 5, 5, 5);
    setSpacing(1);
    setBackgroundRole(QPalette::Dark);
    setAutoFillBackground(true);
    for (int i = 0; i < route->getNumMIDIOutputs(); ++i)
        _addWidgetFor(route->getMIDIOutputAtIndex(i));
    connect(route, &MIDIRoute::midiOutputAdded, this, &MIDIOutputStackWidget::_midiOutputAddedSLOT);
    connect(route, &MIDIRoute::midiOutputRemoved, this, &MIDIOutputStackWidget::_midiOutputRemovedSLOT);
    connect(route, &MIDIRoute::midiOutputMovedTo, this, &MIDIOutputStackWidget::_midiOutputMovedToSLOT);
    connect(this, &ReorderWidget::reorderRequested, this, &MIDIOutputStackWidget::_reorderRequestedSLOT);
}

MIDIRoute* MIDIOutputStackWidget::getMIDIRoute() const
{
    return _route;
}

MIDIOutputWidget* MIDIOutputStackWidget::getWidgetForOutput(MIDIOutput* output) const
{
    for (int i = 0; i < getNumWidgets(); ++i) {
        auto* widget = qobject_cast<MIDIOutputWidget*>(getWidgetAtIndex(i));
        if (widget && widget->getMIDIOutput() == output)
            return widget;
    }
    return nullptr;
}

void MIDIOutputStackWidget::_addWidgetFor(MIDIOutput* output)
{
    if (!output || hasWidgetForOutput(output))
        return;
    auto* widget = new MIDIOutputWidget(output, this);
    connect(widget, &MIDIOutputWidget::showAllInnardsRequested, this,
            &MIDIOutputStackWidget::_showAllInnardsSLOT);
    connect(widget, &MIDIOutputWidget::patchWidgetAdded, this, &MIDIOutputStackWidget::patchWidgetAdded);
    connect(widget, &MIDIOutputWidget::patchDraggedTo, this, &MIDIOutputStackWidget::_patchDraggedToSLOT);
    insertWidget(widget, _route ? _route->getIndexOfMIDIOutput(output) : -1);
}

void MIDIOutputStackWidget::_midiOutputAddedSLOT(MIDIOutput* output)
{
    // A panel for an object new to the model: the view scrolls it into sight.
    const bool known = getWidgetForOutput(output) != nullptr;
    _addWidgetFor(output);
    if (QWidget* widget = getWidgetForOutput(output); widget && !known)
        emit widgetAdded(widget);
}

void MIDIOutputStackWidget::_midiOutputRemovedSLOT(MIDIOutput* output)
{
    if (MIDIOutputWidget* widget = getWidgetForOutput(output)) {
        removeWidget(widget, true);
        widget->deleteLater();
    }
}

void MIDIOutputStackWidget::_midiOutputMovedToSLOT(MIDIOutput* output, int index)
{
    if (MIDIOutputWidget* widget = getWidgetForOutput(output))
        moveWidgetToIndex(widget, index);
}

void MIDIOutputStackWidget::_reorderRequestedSLOT(QWidget* widget, int index)
{
    auto* outputWidget = qobject_cast<MIDIOutputWidget*>(widget);
    if (_route && outputWidget && outputWidget->getMIDIOutput())
        ModelEdits::move(outputWidget->getMIDIOutput(), index);
}

void MIDIOutputStackWidget::_showAllInnardsSLOT(bool show)
{
    for (int i = 0; i < getNumWidgets(); ++i) {
        if (auto* widget = qobject_cast<MIDIOutputWidget*>(getWidgetAtIndex(i)))
            widget->showInnards(show);
    }
}

void MIDIOutputStackWidget::_patchDraggedToSLOT(QPoint position)
{
    auto* widget = qobject_cast<QWidget*>(sender());
    if (widget)
        emit draggingToPoint(widget->mapTo(this, position));
}
