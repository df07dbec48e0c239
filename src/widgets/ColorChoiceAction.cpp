#include "widgets/ColorChoiceAction.h"

#include "widgets/ColorChoice.h"

#include <QPainter>
#include <QPixmap>

ColorChoiceAction::ColorChoiceAction(ColorChoice* colorChoice, QObject* parent)
    : QAction(parent), _colorChoice(colorChoice)
{
    if (colorChoice) {
        connect(colorChoice, &ColorChoice::colorChangedTo, this, &ColorChoiceAction::_updateFromChoiceSLOT);
        connect(colorChoice, &ColorChoice::nameChangedTo, this, &ColorChoiceAction::_updateFromChoiceSLOT);
    }
    _updateFromChoiceSLOT();
}

void ColorChoiceAction::_updateFromChoiceSLOT()
{
    if (!_colorChoice)
        return;
    // Label names are the user's plain text: a "&" is shown, not taken as a shortcut marker.
    QString text = _colorChoice->getName();
    text.replace(QLatin1Char('&'), QStringLiteral("&&"));
    setText(text);
    QPixmap swatch(16, 16);
    swatch.fill(_colorChoice->getColor());
    // A grey rim keeps dark labels visible on the dark menu.
    QPainter painter(&swatch);
    painter.setPen(QColor(128, 128, 128));
    painter.drawRect(0, 0, 15, 15);
    setIcon(QIcon(swatch));
}
