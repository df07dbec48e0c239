#pragma once

#include "widgets/ReorderWidget.h"

#include <QPointer>

class MIDIDataTransform;
class MIDIPatchTarget;
class TransformWidget;

/// The row of transform indicators of one patch, in chain order. Dragging an indicator only asks
/// the patch to move the transform; the row changes in answer to the patch's signals. GUI thread
/// only.
class TransformStripWidget : public ReorderWidget
{
    Q_OBJECT

public:
    TransformStripWidget(MIDIPatchTarget* patch, QWidget* parent);

    /// The indicator of the transform, or null.
    TransformWidget* getWidgetForTransform(MIDIDataTransform* mdt) const;

private slots:
    void _reorderReqSLOT(QWidget* wid, int newIndex);
    void _mdtAddedSLOT(MIDIDataTransform* mdt);
    void _mdtRemovedSLOT(MIDIDataTransform* mdt);
    void _mdtMovedToSLOT(MIDIDataTransform* mdt, int newIndex);

private:
    void _fill();

    QPointer<MIDIPatchTarget> _patch;
};
