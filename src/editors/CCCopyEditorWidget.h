#pragma once

#include "editors/ControllerPairEditorWidget.h"

/// The editor of a "CC Copy" transform: "Copy" controller byte1 "To" controller byte2.
/// GUI thread only.
class CCCopyEditorWidget : public ControllerPairEditorWidget
{
    Q_OBJECT

public:
    CCCopyEditorWidget(MIDIDataTransform* transform, QWidget* parent);

private slots:
    void _copyToCCNumActivatedSLOT(int ccNum) { _setSecondController(ccNum); }
};
