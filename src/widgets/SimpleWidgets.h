#pragma once

// The look and the common widgets every view is built from, in one include.

#include "widgets/ActivityIndicator.h"
#include "widgets/ArrowPixmapProvider.h"
#include "widgets/ClickableLabel.h"
#include "widgets/DownArrowLabel.h"
#include "widgets/DropShadowLabel.h"
#include "widgets/DunmoorStyle.h"
#include "widgets/LookAndFeel.h"
#include "widgets/MenuButton.h"
#include "widgets/NoWheelComboBox.h"
#include "widgets/ObjectIndicatorWidget.h"
#include "widgets/ReorderWidget.h"
#include "widgets/ShrinkableDropShadowLabel.h"
#include "widgets/ShrinkableLabel.h"
#include "widgets/ShrinkableTextMenuButton.h"
#include "widgets/ValueEntryLineEdit.h"
#include "widgets/VisibilityToggler.h"
#include "widgets/WidgetWidths.h"
