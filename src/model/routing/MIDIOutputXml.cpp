// An output's XML element, including the activation attributes of older documents.
// GUI thread only.
#include "model/routing/MIDIOutput.h"

#include "model/DomLookup.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/routing/MIDIRoute.h"

#include <QDomNodeList>
#include <QScopeGuard>

namespace {

int intAttribute(const QDomElement& element, const char* name)
{
    return element.attribute(QLatin1String(name)).toInt();
}

// An activation value read from a document; values outside 0 to 127 read as 0.
BYTE valueAttribute(const QDomElement& element, const char* name)
{
    const int value = intAttribute(element, name);
    return (value >= 0 && value <= 127) ? BYTE(value) : BYTE(0);
}

} // namespace

QDomElement MIDIOutput::toDomElement(QDomDocument& doc)
{
    QDomElement element = BaseMIDIObject::toDomElement(doc);
    element.setAttribute(QStringLiteral("isActive"), isActive() ? 1 : 0);
    element.setAttribute(QStringLiteral("showingInnards"), isShowingInnards() ? 1 : 0);
    element.setAttribute(QStringLiteral("mainActivationValue"), int(getMainActivationValue()));
    element.setAttribute(QStringLiteral("activationRangeValue"), int(getActivationRangeValue()));
    _writeColorLabelTo(element);
    QDomElement patches = doc.createElement(QStringLiteral("MIDIPatchTargets"));
    for (MIDIPatchTarget* mpt : std::as_const(_patches))
        patches.appendChild(mpt->toDomElement(doc));
    element.appendChild(patches);
    return element;
}

void MIDIOutput::initFromDomElement(const QDomElement& element)
{
    BaseMIDIObject::initFromDomElement(element);
    // Made active quietly: reading sends no initializers (its patches are not even read yet).
    _readingDocument = true;
    auto endReading = qScopeGuard([this] { _readingDocument = false; });
    setActive(intAttribute(element, "isActive") != 0);
    _readColorLabelFrom(element);

    if (element.hasAttribute(QStringLiteral("mainActivationValue")) &&
        element.hasAttribute(QStringLiteral("activationRangeValue"))) {
        setMainActivationValue(valueAttribute(element, "mainActivationValue"));
        setActivationRangeValue(valueAttribute(element, "activationRangeValue"));
    } else {
        const int switchType = intAttribute(element, "activeSwitchType");
        MIDIRoute* route = getParentMIDIRoute();
        if (_loadIndex == 0 && route)
            route->setOutputActivationMethod(switchType);
        const BYTE value = switchType != 0 ? valueAttribute(element, "activeProgramChange")
                                           : valueAttribute(element, "activeKeyswitch");
        setMainActivationValue(value);
        setActivationRangeValue(value);
    }

    const QDomElement container = getFirstElementWithTagName(element, QStringLiteral("MIDIPatchTargets"));
    if (container.isNull())
        return;
    const QDomNodeList nodes = container.elementsByTagName(QStringLiteral("MIDIPatchTarget"));
    for (int i = 0; i < nodes.count(); ++i) {
        QDomElement patchElement = nodes.at(i).toElement();
        if (patchElement.isNull())
            continue;
        addMIDIPatchTarget(new MIDIPatchTarget(patchElement, this));
    }
}
