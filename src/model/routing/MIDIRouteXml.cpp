// A route's XML element. GUI thread only.
#include "model/routing/MIDIRoute.h"

#include "model/DomLookup.h"
#include "model/routing/MIDIOutput.h"

#include <QDomNodeList>
#include <QScopeGuard>

namespace {

int intAttribute(const QDomElement& element, const char* name)
{
    return element.attribute(QLatin1String(name)).toInt();
}

} // namespace

QDomElement MIDIRoute::toDomElement(QDomDocument& doc)
{
    QDomElement element = BaseMIDIObject::toDomElement(doc);
    element.setAttribute(QStringLiteral("midiPortName"), _inputPortName);
    element.setAttribute(QStringLiteral("midiChannelIndex"), int(getMIDIChannel()));
    element.setAttribute(QStringLiteral("outputActivationMethod"), getOutputActivationMethod());
    element.setAttribute(QStringLiteral("outputActivationSpecificity"), getOutputActivationSpecificity());
    _writeColorLabelTo(element);
    // Written only when set, so a setup without them reads and writes as before they existed.
    if (dropsStrayProgramChanges())
        element.setAttribute(QStringLiteral("dropsStrayProgramChanges"), 1);
    if (dropsClockAndActiveSensing())
        element.setAttribute(QStringLiteral("dropsClockAndActiveSensing"), 1);
    QDomElement outputs = doc.createElement(QStringLiteral("MIDIOutputs"));
    for (MIDIOutput* output : std::as_const(_outputs))
        outputs.appendChild(output->toDomElement(doc));
    element.appendChild(outputs);
    return element;
}

void MIDIRoute::initFromDomElement(const QDomElement& element)
{
    BaseMIDIObject::initFromDomElement(element);
    setMIDIInputPortName(element.attribute(QStringLiteral("midiPortName")));
    // A channel outside 0 to 15 that is not "Any" falls back to the first channel.
    const int channel = intAttribute(element, "midiChannelIndex");
    setMIDIChannel((channel >= 0 && channel <= 15) || channel == kAnyChannel ? BYTE(channel) : BYTE(0));
    _readColorLabelFrom(element);
    if (element.hasAttribute(QStringLiteral("outputActivationMethod")))
        setOutputActivationMethod(intAttribute(element, "outputActivationMethod"));
    if (element.hasAttribute(QStringLiteral("outputActivationSpecificity")))
        setOutputActivationSpecificity(intAttribute(element, "outputActivationSpecificity") == kValueRange
                                           ? kValueRange
                                           : kSpecificValue);
    setDropsStrayProgramChanges(intAttribute(element, "dropsStrayProgramChanges") != 0);
    setDropsClockAndActiveSensing(intAttribute(element, "dropsClockAndActiveSensing") != 0);

    const QDomElement container = getFirstElementWithTagName(element, QStringLiteral("MIDIOutputs"));
    if (container.isNull())
        return;
    const QDomNodeList nodes = container.elementsByTagName(QStringLiteral("MIDIOutput"));
    // Reading sends nothing: the outputs become active quietly, and whoever opens the setup sends
    // the active outputs' initializers once it is read and its ports are connected.
    _readingDocument = true;
    auto endReading = qScopeGuard([this] { _readingDocument = false; });
    int loadIndex = 0;
    for (int i = 0; i < nodes.count(); ++i) {
        QDomElement outputElement = nodes.at(i).toElement();
        if (outputElement.isNull())
            continue;
        addMIDIOutput(new MIDIOutput(outputElement, this, loadIndex++));
    }
}
