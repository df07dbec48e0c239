#pragma once

#include "model/BaseMIDIObject.h"

/// A routing-model object the user can mark with one of the colour labels (input, output, patch):
/// the label index, its change signals and its "colorLabelIndex" attribute. GUI thread only.
class ColorLabeledMIDIObject : public BaseMIDIObject
{
    Q_OBJECT

public:
    ColorLabeledMIDIObject(QString name, QObject* parent);

    bool hasColorLabel() const { return _colorLabelIndex >= 0; }
    int getColorLabel() const { return _colorLabelIndex; }

    /// A negative index clears the label (and says so with colorLabelCleared() as well).
    void setColorLabel(int index);
    void clearColorLabel();

signals:
    void colorLabelCleared();
    void colorLabelChangedTo(int colorLabelIndex);

protected:
    void _writeColorLabelTo(QDomElement& element) const;
    /// Sets the label when the element has the attribute; leaves it alone otherwise.
    void _readColorLabelFrom(const QDomElement& element);

private:
    int _colorLabelIndex = -1;
};
