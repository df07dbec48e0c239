#pragma once

#include "midi/MIDITypes.h"

#include <QPointer>
#include <QWidget>

class MIDIDataTransform;
class NoWheelComboBox;
class QHBoxLayout;
class QLabel;
class ValueEntryLineEdit;

/// The editor of a "Velocity Variation" transform: the amount (byte1) and whether velocities vary
/// "Above", "Below" or "Above & Below" (byte2); follows both while open. GUI thread only.
class VelocityVariationEditorWidget : public QWidget
{
    Q_OBJECT

public:
    VelocityVariationEditorWidget(MIDIDataTransform* transform, QWidget* parent);

    ValueEntryLineEdit* getAmountField() const { return _amountField; }
    NoWheelComboBox* getTypeCombo() const { return _typeCombo; }

private slots:
    void _variationEditingFinishedSLOT();
    void _variationTypeActivatedSLOT(int index);
    void _byte1ChangedToSLOT(BYTE value);
    void _byte2ChangedToSLOT(BYTE value);

private:
    QPointer<MIDIDataTransform> _transform;
    QHBoxLayout* _layout = nullptr;
    QLabel* _label = nullptr;
    ValueEntryLineEdit* _amountField = nullptr;
    NoWheelComboBox* _typeCombo = nullptr;
    QLabel* _tailLabel = nullptr;
};
