#pragma once

#include "editors/PatchItemStripWidget.h"

class InitializerWidget;
class MIDIPatchInitializer;

/// The row of initializer indicators of one patch, in list order. Dragging an indicator only asks
/// the patch to move the initializer; the row changes in answer to the patch's signals. GUI thread
/// only.
class InitializerStripWidget : public PatchItemStripWidget
{
    Q_OBJECT

public:
    InitializerStripWidget(MIDIPatchTarget* patch, QWidget* parent);

    /// The indicator of the initializer, or null.
    InitializerWidget* getWidgetForInitializer(MIDIPatchInitializer* mpi) const;
};
