#pragma once

#include "editors/SingleControllerEditorWidget.h"

/// The editor of an "Ignore CC" transform: the controller to ignore (byte1). GUI thread only.
class IgnoreCCEditorWidget : public SingleControllerEditorWidget
{
    Q_OBJECT

public:
    IgnoreCCEditorWidget(MIDIDataTransform* transform, QWidget* parent);
};
