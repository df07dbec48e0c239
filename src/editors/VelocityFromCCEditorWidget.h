#pragma once

#include "editors/VelocityToCCEditorWidget.h"

/// The editor of a "Velocity From CC" transform: the row of the "Velocity To CC" editor, reading
/// "Set Note Velocity From" a controller (byte1). GUI thread only.
class VelocityFromCCEditorWidget : public VelocityToCCEditorWidget
{
    Q_OBJECT

public:
    VelocityFromCCEditorWidget(MIDIDataTransform* transform, QWidget* parent);
};
