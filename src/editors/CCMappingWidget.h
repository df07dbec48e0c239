#pragma once

#include "midi/MIDITypes.h"

#include <QPointer>
#include <QWidget>

class LabeledValueMappingWidget;
class MIDIDataTransform;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QVBoxLayout;

/// The editor of a "CC Map" transform: which controller to remap (byte1) above the value map
/// graph, "In" across and "Out" up, kept in step with the transform's map both ways, with the most
/// recent input value highlighted. GUI thread only.
class CCMappingWidget : public QWidget
{
    Q_OBJECT

public:
    CCMappingWidget(MIDIDataTransform* transform, QWidget* parent);

    LabeledValueMappingWidget* getLabeledValueMappingWidget() const { return _valueMapping; }
    QComboBox* getControllerCombo() const { return _ccCombo; }

private slots:
    void _mdtValueChangedSLOT(BYTE in, BYTE out);
    void _valueChangedSLOT(int index, int newValue);
    void _contextMenuReqSlot(QPoint globalPos);
    void _lastValueReceivedSLOT(unsigned char val);
    void _ccSelActivatedSLOT(int newCCNum);

private:
    QPointer<MIDIDataTransform> _transform;
    QVBoxLayout* _layout = nullptr;
    LabeledValueMappingWidget* _valueMapping = nullptr;
    QHBoxLayout* _ccRow = nullptr;
    QLabel* _ccLabel = nullptr;
    QComboBox* _ccCombo = nullptr;
};
