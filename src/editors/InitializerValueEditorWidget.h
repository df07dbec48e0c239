#pragma once

#include "midi/MIDITypes.h"

#include <QPointer>
#include <QWidget>

class ByteValueSlider;
class MIDIPatchInitializer;
class QHBoxLayout;
class ValueEntryLineEdit;

/// The shared part of the initializer editors whose row ends in a 0 to 127 slider and value
/// field bound to byte2 (velocity, volume, controller value). Both follow byte2 while the editor
/// is open; loading a value never writes it back. GUI thread only.
class InitializerValueEditorWidget : public QWidget
{
    Q_OBJECT

public:
    ByteValueSlider* getSlider() const { return _slider; }
    ValueEntryLineEdit* getValueField() const { return _field; }
    MIDIPatchInitializer* getMIDIPatchInitializer() const;

protected:
    InitializerValueEditorWidget(MIDIPatchInitializer* initializer, QWidget* parent);

    /// Appends the slider (width 125) and the field to the row and connects the slider; each
    /// editor connects the field's editingFinished to its own slot.
    void _addValueControls();
    /// Sends a new byte2 to the initializer (which makes it heard).
    virtual void _commitByte2(BYTE value);
    /// The field finished editing: commit a readable value in range, else show the current one.
    void _valueFieldEditingFinished();

protected slots:
    void _byte2ChangedToSLOT(BYTE value);

protected:
    QPointer<MIDIPatchInitializer> _initializer;
    QHBoxLayout* _layout = nullptr;
    ByteValueSlider* _slider = nullptr;
    ValueEntryLineEdit* _field = nullptr;
};
