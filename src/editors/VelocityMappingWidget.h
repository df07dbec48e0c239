#pragma once

#include "midi/MIDITypes.h"

#include <QPointer>
#include <QWidget>

class LabeledValueMappingWidget;
class MIDIDataTransform;
class QVBoxLayout;

/// The editor of a "Velocity Map" transform: the value map graph, "In" across and "Out" up,
/// kept in step with the transform's map both ways, with the most recent input velocity
/// highlighted. GUI thread only.
class VelocityMappingWidget : public QWidget
{
    Q_OBJECT

public:
    VelocityMappingWidget(MIDIDataTransform* transform, QWidget* parent);

    LabeledValueMappingWidget* getLabeledValueMappingWidget() const { return _valueMapping; }

private slots:
    void _mdtValueChangedSLOT(BYTE in, BYTE out);
    void _valueChangedSLOT(int index, int newValue);
    void _contextMenuReqSlot(QPoint globalPos);
    void _lastValueReceivedSLOT(unsigned char val);

private:
    QPointer<MIDIDataTransform> _transform;
    QVBoxLayout* _layout = nullptr;
    LabeledValueMappingWidget* _valueMapping = nullptr;
};
