#pragma once

#include <QPoint>
#include <QSize>

/// The position nearest to `wanted` at which a window of the given size lies wholly on one of
/// the screens (the screen under the point, else the primary screen); a window larger than the
/// screen keeps its top-left corner on it. A position saved on a machine with other screens
/// never puts a window out of reach. GUI thread only.
QPoint clampedWindowPosition(const QPoint& wanted, const QSize& windowSize);
