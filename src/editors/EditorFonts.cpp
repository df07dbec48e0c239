#include "editors/EditorFonts.h"

#include "widgets/LookAndFeel.h"

QFont boldTitleFont()
{
    QFont font = getTitleFont();
    font.setBold(true);
    return font;
}

QFont oneSizeSmaller(const QFont& font)
{
    QFont smaller = font;
    if (smaller.pixelSize() > 0)
        smaller.setPixelSize(qMax(1, smaller.pixelSize() - 1));
    else
        smaller.setPointSizeF(qMax(1.0, smaller.pointSizeF() - 1));
    return smaller;
}
