#pragma once

#include <QRect>

/// The window rectangle moved (and, when larger, shrunk) so that it lies wholly inside the
/// available screen area: a position stored on a machine with another screen layout must not
/// put the window out of reach. Any thread.
QRect clampWindowGeometry(const QRect& wanted, const QRect& available);
