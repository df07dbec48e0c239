#include "widgets/ColorChoice.h"

ColorChoice::ColorChoice(QObject* parent) : QObject(parent) {}

ColorChoice::ColorChoice(const QColor& color, const QString& name, QObject* parent)
    : QObject(parent), _color(color), _name(name)
{
}

ColorChoice::ColorChoice(const ColorChoice& other)
    : QObject(nullptr), _color(other._color), _name(other._name)
{
}

ColorChoice& ColorChoice::operator=(const ColorChoice& other)
{
    if (this != &other) {
        setColor(other._color);
        setName(other._name);
    }
    return *this;
}

void ColorChoice::setColor(const QColor& color)
{
    if (!color.isValid() || color == _color)
        return;
    _color = color;
    emit colorChangedTo(_color);
}

void ColorChoice::setName(const QString& name)
{
    if (name == _name)
        return;
    _name = name;
    emit nameChangedTo(_name);
}
