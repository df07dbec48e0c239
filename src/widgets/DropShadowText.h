#pragma once

class QLabel;
class QPainter;
class QString;

/// Paints text the way the drop-shadow labels show it: vertically centred at the left edge in the
/// label's font and foreground colour, over a shadow two pixels down and one right in the
/// background colour darkened to half. The shadow is left out when the text is darker than the
/// window, where it would only smudge. GUI thread only.
void paintDropShadowText(const QLabel* label, QPainter& painter, const QString& text);
