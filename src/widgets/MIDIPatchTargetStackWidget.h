#pragma once

#include "widgets/ReorderWidget.h"

class MIDIOutput;
class MIDIPatchTarget;
class MIDIPatchTargetWidget;

/// The patches of one output, stacked inside its panel, in the output's order. Its height is
/// fixed to what its panels need (including the drop bar of a drag in progress), so the output
/// panel can follow it. A drag only asks the output to move the patch. GUI thread only.
class MIDIPatchTargetStackWidget : public ReorderWidget
{
    Q_OBJECT

public:
    MIDIPatchTargetStackWidget(MIDIOutput* output, QWidget* parent);

    MIDIOutput* getMIDIOutput() const;
    int getHeightBasedOnContents() const;
    MIDIPatchTargetWidget* getWidgetForPatch(MIDIPatchTarget* patch) const;

signals:
    void heightChanged();

private slots:
    void _updateHeightSLOT();
    void _patchAddedSLOT(MIDIPatchTarget* patch);
    void _patchRemovedSLOT(MIDIPatchTarget* patch);
    void _patchMovedToSLOT(MIDIPatchTarget* patch, int index);
    void _reorderRequestedSLOT(QWidget* widget, int index);
    void _showAllInnardsSLOT(bool show);

private:
    void _addWidgetFor(MIDIPatchTarget* patch);

    QPointer<MIDIOutput> _output;
};
