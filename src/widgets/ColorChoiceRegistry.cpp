#include "widgets/ColorChoiceRegistry.h"

#include "persistence/AppPrefs.h"
#include "persistence/PrefKeys.h"

ColorChoiceRegistry* ColorChoiceRegistry::_instance = nullptr;

namespace {

QString valueKey(int index)
{
    return PrefKeys::ColorLabelValuePrefix + QString::number(index);
}

QString nameKey(int index)
{
    return PrefKeys::ColorLabelNamePrefix + QString::number(index);
}

} // namespace

ColorChoiceRegistry* ColorChoiceRegistry::GetInstance()
{
    if (!_instance)
        _instance = new ColorChoiceRegistry();
    return _instance;
}

ColorChoiceRegistry* getColorChoiceRegistryInstance()
{
    return ColorChoiceRegistry::GetInstance();
}

ColorChoiceRegistry::ColorChoiceRegistry() : QObject(nullptr)
{
    const QList<ColorChoice> defaults = getDefaultColorChoices();
    for (const ColorChoice& choice : defaults)
        registerColorChoice(new ColorChoice(choice.getColor(), choice.getName()));
    _loadFromPrefs();
}

QList<ColorChoice> ColorChoiceRegistry::getDefaultColorChoices()
{
    return {
        ColorChoice(QColor(255, 0, 0), QStringLiteral("Red")),
        ColorChoice(QColor(255, 128, 64), QStringLiteral("Orange")),
        ColorChoice(QColor(255, 255, 0), QStringLiteral("Yellow")),
        ColorChoice(QColor(0, 217, 0), QStringLiteral("Green")),
        ColorChoice(QColor(0, 0, 255), QStringLiteral("Blue")),
        ColorChoice(QColor(128, 0, 255), QStringLiteral("Purple")),
        ColorChoice(QColor(255, 255, 255), QStringLiteral("White")),
        ColorChoice(QColor(175, 175, 175), QStringLiteral("Light Gray")),
        ColorChoice(QColor(89, 89, 89), QStringLiteral("Dark Gray")),
        ColorChoice(QColor(0, 0, 0), QStringLiteral("Black")),
    };
}

void ColorChoiceRegistry::_loadFromPrefs()
{
    _loading = true;
    for (int i = 0; i < _choices.size(); ++i) {
        if (hasPrefValueFor(valueKey(i))) {
            // A stored value that names no colour (a hand-edited or damaged settings file) keeps
            // the label's default rather than turning it black on the next save.
            const QColor stored(getStringPrefValue(valueKey(i), QString()));
            if (stored.isValid())
                _choices[i]->setColor(stored);
        }
        if (hasPrefValueFor(nameKey(i)))
            _choices[i]->setName(getStringPrefValue(nameKey(i), _choices[i]->getName()));
    }
    _loading = false;
}

ColorChoice* ColorChoiceRegistry::getColorChoiceAtIndex(int index) const
{
    return (index >= 0 && index < _choices.size()) ? _choices.at(index) : nullptr;
}

int ColorChoiceRegistry::getIndexOfColorChoice(ColorChoice* choice) const
{
    return _choices.indexOf(choice);
}

QString ColorChoiceRegistry::getNameOfColorChoiceAtIndex(int index) const
{
    const ColorChoice* choice = getColorChoiceAtIndex(index);
    return choice ? choice->getName() : QString();
}

QColor ColorChoiceRegistry::getColorOfChoiceAtIndex(int index) const
{
    const ColorChoice* choice = getColorChoiceAtIndex(index);
    return choice ? choice->getColor() : QColor();
}

void ColorChoiceRegistry::registerColorChoice(ColorChoice* choice)
{
    if (!choice || _choices.contains(choice))
        return;
    choice->setParent(this);
    connect(choice, &ColorChoice::colorChangedTo, this, &ColorChoiceRegistry::_choiceColorChangedToSLOT);
    connect(choice, &ColorChoice::nameChangedTo, this, &ColorChoiceRegistry::_choiceNameChangedToSLOT);
    _choices.append(choice);
}

void ColorChoiceRegistry::saveColorChoicesToPrefs()
{
    if (_loading)
        return;
    for (int i = 0; i < _choices.size(); ++i) {
        setStringPrefValue(valueKey(i), _choices.at(i)->getColor().name());
        setStringPrefValue(nameKey(i), _choices.at(i)->getName());
    }
}

void ColorChoiceRegistry::_choiceColorChangedToSLOT(const QColor& newColor)
{
    const int index = _choices.indexOf(qobject_cast<ColorChoice*>(sender()));
    if (index < 0)
        return;
    emit colorChoiceAtIndexChangedColorTo(index, newColor);
    saveColorChoicesToPrefs();
}

void ColorChoiceRegistry::_choiceNameChangedToSLOT(const QString& newName)
{
    const int index = _choices.indexOf(qobject_cast<ColorChoice*>(sender()));
    if (index < 0)
        return;
    emit colorChoiceAtIndexChangedNameTo(index, newName);
    saveColorChoicesToPrefs();
}
