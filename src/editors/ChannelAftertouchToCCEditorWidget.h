#pragma once

#include "editors/SingleControllerEditorWidget.h"

/// The editor of a "Channel Aftertouch To CC" transform: the controller that copies the pressure (byte1). GUI
/// thread only.
class ChannelAftertouchToCCEditorWidget : public SingleControllerEditorWidget
{
    Q_OBJECT

public:
    ChannelAftertouchToCCEditorWidget(MIDIDataTransform* transform, QWidget* parent);
};
