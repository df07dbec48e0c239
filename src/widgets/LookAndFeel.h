#pragma once

#include <QFont>
#include <QPalette>

// The application's one dark look. Each palette and font is built on first use, once per process,
// and handed out as a copy. None of them may be asked for before the QApplication exists.
// GUI thread only.

/// The dark palette every window and widget starts from.
QPalette getDefaultPalette();
/// The palette that marks the active input or output: blue-grey window and buttons.
QPalette getActivatedPalette();
/// The palette of an input panel while the pointer is over it: window and buttons a little lighter.
QPalette getHoverPalette();
/// The palette of an engaged mute or bypass button: orange buttons.
QPalette getMuteButtonMutedPalette();

/// "Arial" at 12 pixels, normal weight, upright, antialiased.
QFont getDefaultFont();
/// The default font 2 pixels larger: names of inputs, outputs and patches, and view titles.
QFont getTitleFont();

/// Installs the application style, then the default font and the default palette. Called once at
/// start-up before any window is built.
void styleTheApplication();
