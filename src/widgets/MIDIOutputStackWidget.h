#pragma once

#include "widgets/ReorderWidget.h"

class MIDIOutput;
class MIDIOutputWidget;
class MIDIRoute;

/// The column of output panels of one input, in the input's order. A drag only asks the input to
/// move the output; the panel moves when the input says it moved. Drags of patches inside an
/// output are passed on as the stack's own drag points, so the view scrolls along.
/// GUI thread only.
class MIDIOutputStackWidget : public ReorderWidget
{
    Q_OBJECT

public:
    MIDIOutputStackWidget(MIDIRoute* route, QWidget* parent);

    MIDIRoute* getMIDIRoute() const;
    MIDIOutputWidget* getWidgetForOutput(MIDIOutput* output) const;
    bool hasWidgetForOutput(MIDIOutput* output) const { return getWidgetForOutput(output) != nullptr; }

signals:
    void patchWidgetAdded(QWidget* widget);

private slots:
    void _midiOutputAddedSLOT(MIDIOutput* output);
    void _midiOutputRemovedSLOT(MIDIOutput* output);
    void _midiOutputMovedToSLOT(MIDIOutput* output, int index);
    void _reorderRequestedSLOT(QWidget* widget, int index);
    void _showAllInnardsSLOT(bool show);
    void _patchDraggedToSLOT(QPoint position);

private:
    void _addWidgetFor(MIDIOutput* output);

    QPointer<MIDIRoute> _route;
};
