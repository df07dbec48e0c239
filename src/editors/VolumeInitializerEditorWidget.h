#pragma once

#include "editors/InitializerValueEditorWidget.h"

class QLabel;

/// The editor of a "Volume" initializer: the volume (byte2) as slider and field. GUI thread only.
class VolumeInitializerEditorWidget : public InitializerValueEditorWidget
{
    Q_OBJECT

public:
    VolumeInitializerEditorWidget(MIDIPatchInitializer* initializer, QWidget* parent);

private slots:
    void _volumeEditingFinishedSLOT() { _valueFieldEditingFinished(); }

private:
    QLabel* _label = nullptr;
};
