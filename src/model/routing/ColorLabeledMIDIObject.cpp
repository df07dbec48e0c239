#include "model/routing/ColorLabeledMIDIObject.h"

namespace {

const QString kColorLabelAttribute = QStringLiteral("colorLabelIndex");

} // namespace

ColorLabeledMIDIObject::ColorLabeledMIDIObject(QString name, QObject* parent)
    : BaseMIDIObject(std::move(name), parent)
{
}

void ColorLabeledMIDIObject::setColorLabel(int index)
{
    if (hasColorLabel() && index == _colorLabelIndex)
        return;
    _colorLabelIndex = index;
    emit colorLabelChangedTo(index);
    if (index < 0)
        emit colorLabelCleared();
    setModified(true);
}

void ColorLabeledMIDIObject::clearColorLabel()
{
    if (!hasColorLabel())
        return;
    _colorLabelIndex = -1;
    emit colorLabelCleared();
    setModified(true);
}

void ColorLabeledMIDIObject::_writeColorLabelTo(QDomElement& element) const
{
    element.setAttribute(kColorLabelAttribute, _colorLabelIndex);
}

void ColorLabeledMIDIObject::_readColorLabelFrom(const QDomElement& element)
{
    if (element.hasAttribute(kColorLabelAttribute))
        setColorLabel(element.attribute(kColorLabelAttribute).toInt());
}
