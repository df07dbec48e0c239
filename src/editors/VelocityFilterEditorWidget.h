#pragma once

#include "midi/MIDITypes.h"

#include <QPointer>
#include <QWidget>

class MIDIDataTransform;
class NoWheelComboBox;
class QHBoxLayout;
class QLabel;
class ValueEntryLineEdit;

/// The editor of a "Velocity Filter" transform: "Below" or "Above" (byte2) and the threshold
/// velocity (byte1); follows both while open. GUI thread only.
class VelocityFilterEditorWidget : public QWidget
{
    Q_OBJECT

public:
    VelocityFilterEditorWidget(MIDIDataTransform* transform, QWidget* parent);

    NoWheelComboBox* getDirectionCombo() const { return _directionCombo; }
    ValueEntryLineEdit* getVelocityField() const { return _velocityField; }

private slots:
    void _aboveOrBelowActivatedSLOT(int index);
    void _velEditingFinishedSLOT();
    void _byte1ChangedToSLOT(BYTE value);
    void _byte2ChangedToSLOT(BYTE value);

private:
    QPointer<MIDIDataTransform> _transform;
    QHBoxLayout* _layout = nullptr;
    QLabel* _label = nullptr;
    NoWheelComboBox* _directionCombo = nullptr;
    ValueEntryLineEdit* _velocityField = nullptr;
};
