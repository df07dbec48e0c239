#pragma once

#include "editors/SingleControllerEditorWidget.h"

/// The editor of a "Velocity To CC" transform: "Copy Note Velocity To" a controller (byte1). GUI thread only.
class VelocityToCCEditorWidget : public SingleControllerEditorWidget
{
    Q_OBJECT

public:
    VelocityToCCEditorWidget(MIDIDataTransform* transform, QWidget* parent);
};
