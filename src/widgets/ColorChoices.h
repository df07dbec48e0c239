#pragma once

// The colour labels in one include: the label, its registry, the menu and its entries, the swatch
// that edits a label's colour, and what the object panels share about labels.
#include "widgets/ColorChoice.h"
#include "widgets/ColorChoiceAction.h"
#include "widgets/ColorChoiceMenu.h"
#include "widgets/ColorChoiceRegistry.h"
#include "widgets/ColorLabelApplier.h"
#include "widgets/ColorSwatchFrame.h"
