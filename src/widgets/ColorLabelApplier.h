#pragma once

#include <Qt>

class ColorLabeledMIDIObject;
class QPainter;
class QWidget;

/// What the input, output and patch panels share about colour labels: applying a label chosen
/// from a ColorChoiceMenu to the extent the held modifiers ask for, and painting the label strip
/// along a panel's left edge. GUI thread only.
class ColorLabelApplier
{
public:
    /// Sets (index >= 0) or clears (index < 0) the label. No modifier: this object only; exactly
    /// Shift: every sibling in its list, itself included; exactly Alt: this object and the siblings
    /// after it. Other combinations act on this object only.
    static void apply(ColorLabeledMIDIObject* object, int index, Qt::KeyboardModifiers modifiers);

    /// Paints the strip of the label inside the widget's frame; nothing for a negative or unknown
    /// label.
    static void paintStrip(QPainter* painter, const QWidget* widget, int frameWidth, int labelIndex);

    /// True when a context-menu request at this x lies in the colour strip, where the panel opens
    /// the colour menu alone.
    static bool isInColorStrip(int x, int frameWidth) { return x <= frameWidth + 6; }
};
