#pragma once

#include "midi/MIDITypes.h"

class QComboBox;
class QWidget;

/// A wheel-less combo box of the controller numbers "CC0" to "CC119"; the entry's index is the
/// controller number. GUI thread only.
QComboBox* createControllerCombo(QWidget* parent);

/// Shows the controller without announcing it; 120 and above show no current entry.
void showControllerInCombo(QComboBox* combo, BYTE controller);
