#pragma once

// The window's central widget. It offers the setup view's interface: keyboard visibility and
// scroll position, and the signals keyboardVisibilityChangedTo(bool) and
// setupFileOpenRequested(QString). The line below is the one to change for another view.
#include "widgets/CurrentRoutingSetupWidget.h"
using MainWindowSetupView = CurrentRoutingSetupWidget;
