#include "editors/TransformStripWidget.h"

#include "editors/TransformWidget.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/transforms/MIDIDataTransform.h"

TransformStripWidget::TransformStripWidget(MIDIPatchTarget* patch, QWidget* parent)
    : PatchItemStripWidget(patch, parent)
{
    showPatchList(PatchItemList<TransformWidget, MIDIDataTransform>{
        .numItems = &MIDIPatchTarget::getNumMIDIDataTransforms,
        .itemAt = &MIDIPatchTarget::getMIDIDataTransformAtIndex,
        .moveItem = &MIDIPatchTarget::moveMIDIDataTransformToIndex,
        .shownItem = &TransformWidget::getMIDIDataTransform,
        .added = &MIDIPatchTarget::midiDataTransformAdded,
        .removed = &MIDIPatchTarget::midiDataTransformRemoved,
        .movedTo = &MIDIPatchTarget::midiDataTransformMovedTo,
    });
}

TransformWidget* TransformStripWidget::getWidgetForTransform(MIDIDataTransform* mdt) const
{
    return static_cast<TransformWidget*>(getWidgetForItem(mdt));
}
