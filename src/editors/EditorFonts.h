#pragma once

#include <QFont>

/// The application's title font in bold: names and axis titles in the editors. GUI thread only.
QFont boldTitleFont();

/// The font one point smaller than the given one (hint lines, the inspector's log).
QFont oneSizeSmaller(const QFont& font);
