#pragma once

class MIDIDataTransform;
class QPoint;
class QWidget;

/// Runs the value map menu of a mapping transform at the screen position: "Set To Default",
/// "Sine Ramp Up", "Reverse", "Invert", "Ceiling", "Floor", "Copy" and "Paste" (enabled only
/// while the clipboard holds a value map). The chosen operation is applied to the transform; a
/// transform that goes away while the menu is open is left alone. GUI thread only.
void doContextMenuForTransformAtGlobalPos(MIDIDataTransform* transform, const QPoint& globalPos,
                                          QWidget* parent);
