#pragma once

#include "editors/ControllerPairEditorWidget.h"

/// The editor of a "Change CC#" transform: "Change" controller byte1 "To" controller byte2.
/// GUI thread only.
class CCNumberChangerEditorWidget : public ControllerPairEditorWidget
{
    Q_OBJECT

public:
    CCNumberChangerEditorWidget(MIDIDataTransform* transform, QWidget* parent);

private slots:
    void _outputCCNumActivatedSLOT(int ccNum) { _setSecondController(ccNum); }
};
