#pragma once

#include "editors/SingleControllerEditorWidget.h"

/// The editor of a "Pitch Change To CC" transform: the controller that copies the bends (byte1). GUI thread
/// only.
class PitchChangeToCCEditorWidget : public SingleControllerEditorWidget
{
    Q_OBJECT

public:
    PitchChangeToCCEditorWidget(MIDIDataTransform* transform, QWidget* parent);
};
