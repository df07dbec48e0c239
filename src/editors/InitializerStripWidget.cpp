#include "editors/InitializerStripWidget.h"

#include "editors/InitializerWidget.h"
#include "model/initializers/MIDIPatchInitializer.h"
#include "model/routing/MIDIPatchTarget.h"

InitializerStripWidget::InitializerStripWidget(MIDIPatchTarget* patch, QWidget* parent)
    : PatchItemStripWidget(patch, parent)
{
    showPatchList(PatchItemList<InitializerWidget, MIDIPatchInitializer>{
        .numItems = &MIDIPatchTarget::getNumMIDIPatchInitializers,
        .itemAt = &MIDIPatchTarget::getMIDIPatchInitializerAtIndex,
        .moveItem = &MIDIPatchTarget::moveMIDIPatchInitializerToIndex,
        .shownItem = &InitializerWidget::getMIDIPatchInitializer,
        .added = &MIDIPatchTarget::midiPatchInitializerAdded,
        .removed = &MIDIPatchTarget::midiPatchInitializerRemoved,
        .movedTo = &MIDIPatchTarget::midiPatchInitializerMovedTo,
    });
}

InitializerWidget* InitializerStripWidget::getWidgetForInitializer(MIDIPatchInitializer* mpi) const
{
    return static_cast<InitializerWidget*>(getWidgetForItem(mpi));
}
