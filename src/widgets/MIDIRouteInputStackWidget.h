#pragma once

#include "widgets/ReorderWidget.h"

class MIDIRoute;
class MIDIRouteInputWidget;
class MIDIRoutingSetup;

/// The column of input panels, one per input of the setup in the setup's order. A drag only asks
/// the setup to move the input; the panel moves when the setup says it moved, so the model's
/// order is always the authority. GUI thread only.
class MIDIRouteInputStackWidget : public ReorderWidget
{
    Q_OBJECT

public:
    MIDIRouteInputStackWidget(MIDIRoutingSetup* setup, QWidget* parent);

    MIDIRoutingSetup* getMIDIRoutingSetup() const;
    MIDIRouteInputWidget* getWidgetForRoute(MIDIRoute* route) const;
    bool hasWidgetForRoute(MIDIRoute* route) const { return getWidgetForRoute(route) != nullptr; }

private slots:
    void _midiRouteAddedSLOT(MIDIRoute* route);
    void _midiRouteRemovedSLOT(MIDIRoute* route);
    void _midiRouteMovedToSLOT(MIDIRoute* route, int index);
    void _reorderRequestedSLOT(QWidget* widget, int index);
    void _showAllInnardsSLOT(bool show);

private:
    void _addWidgetFor(MIDIRoute* route);

    QPointer<MIDIRoutingSetup> _setup;
};
