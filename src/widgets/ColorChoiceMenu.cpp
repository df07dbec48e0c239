#include "widgets/ColorChoiceMenu.h"

#include "widgets/ColorChoice.h"
#include "widgets/ColorChoiceAction.h"
#include "widgets/ColorChoiceRegistry.h"

#include <QIcon>

ColorChoiceMenu::ColorChoiceMenu(QWidget* parent) : QMenu(parent)
{
    setTitle(QStringLiteral("Set Color Label"));
    setIcon(QIcon(QStringLiteral(":/icons/labels_16x16.png")));
    _noColorAction = addAction(QStringLiteral("No Color"));
    addSeparator();
    ColorChoiceRegistry* registry = getColorChoiceRegistryInstance();
    for (int i = 0; i < registry->getNumRegisteredColors(); ++i)
        addAction(new ColorChoiceAction(registry->getColorChoiceAtIndex(i), this));
    connect(this, &QMenu::triggered, this, &ColorChoiceMenu::_actionTriggeredSLOT);
}

void ColorChoiceMenu::_actionTriggeredSLOT(QAction* action)
{
    if (action == _noColorAction) {
        emit noColorSelected();
        return;
    }
    auto* choiceAction = qobject_cast<ColorChoiceAction*>(action);
    if (!choiceAction || !choiceAction->getColorChoice())
        return;
    ColorChoice* choice = choiceAction->getColorChoice();
    emit colorChoiceSelected(choice);
    emit colorSelected(choice->getColor(), choice->getName());
}
