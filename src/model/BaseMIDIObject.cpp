#include "model/BaseMIDIObject.h"

BaseMIDIObject::BaseMIDIObject(QString name, QObject* parent) : QObject(parent), _name(std::move(name)) {}

QString BaseMIDIObject::getObjTypeName() const
{
    return QStringLiteral("BaseMIDIObject");
}

QDomElement BaseMIDIObject::toDomElement(QDomDocument& doc)
{
    QDomElement element = doc.createElement(getObjTypeName());
    element.setAttribute(QStringLiteral("name"), _name);
    element.setAttribute(QStringLiteral("showingInnards"), _showingInnards ? 1 : 0);
    return element;
}

void BaseMIDIObject::initFromDomElement(const QDomElement& element)
{
    setName(element.attribute(QStringLiteral("name")));
    bool showing = true;
    if (element.hasAttribute(QStringLiteral("showingInnards")))
        showing = element.attribute(QStringLiteral("showingInnards")).toInt() != 0;
    showInnards(showing);
}

void BaseMIDIObject::setName(QString name)
{
    if (name == _name)
        return;
    _name = std::move(name);
    emit nameChanged();
    emit nameChangedTo(_name);
    setModified(true);
}

void BaseMIDIObject::setModified(bool modified)
{
    if (modified == _modified)
        return;
    _modified = modified;
    emit modifiedChanged();
    emit modifiedChangedTo(modified);
}

void BaseMIDIObject::showInnards(bool showing)
{
    if (showing == _showingInnards)
        return;
    _showingInnards = showing;
    emit showingInnardsChanged();
    emit showingInnardsChangedTo(showing);
}
