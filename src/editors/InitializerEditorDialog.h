#pragma once

class MIDIPatchInitializer;
class QWidget;

/// Runs the modal editor of an initializer: its icon and name, the type's editor widget and a
/// Close button. The dialog belongs to the main window (TransformDialogManager's main window; the
/// given parent's window when none is set) and is rejected at once when the initializer, its
/// patch, output or input goes away while it is open. GUI thread only.
void editMIDIPatchInitializer(MIDIPatchInitializer* initializer, QWidget* parent);
