#pragma once

#include "editors/PatchItemStripWidget.h"

class MIDIDataTransform;
class TransformWidget;

/// The row of transform indicators of one patch, in chain order. Dragging an indicator only asks
/// the patch to move the transform; the row changes in answer to the patch's signals. GUI thread
/// only.
class TransformStripWidget : public PatchItemStripWidget
{
    Q_OBJECT

public:
    TransformStripWidget(MIDIPatchTarget* patch, QWidget* parent);

    /// The indicator of the transform, or null.
    TransformWidget* getWidgetForTransform(MIDIDataTransform* mdt) const;
};
