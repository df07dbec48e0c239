// A patch's XML element: its attributes, its initializers and its transforms, and the conversion
// of the initialization attributes of older documents. GUI thread only.
#include "model/routing/MIDIPatchTarget.h"

#include "app/StatusManager.h"
#include "model/DomLookup.h"
#include "model/initializers/InitializerRegistry.h"
#include "model/initializers/MIDIPatchInitializer.h"
#include "model/initializers/OldInitializerAttributes.h"
#include "model/transforms/MIDIDataTransform.h"
#include "model/transforms/TransformRegistry.h"

#include <QDomNodeList>

namespace {

int intAttribute(const QDomElement& element, const char* name)
{
    return element.attribute(QLatin1String(name)).toInt();
}

// A channel read from a document: 0 to 15, or "Any"; anything else falls back to the first channel.
BYTE channelAttribute(const QDomElement& element)
{
    const int channel = intAttribute(element, "midiChannelIndex");
    if ((channel >= 0 && channel <= 15) || channel == MIDIPatchTarget::kAnyChannel)
        return BYTE(channel);
    return 0;
}

QList<QDomElement> itemsOf(const QDomElement& parent, const QString& containerTag, const QString& itemTag)
{
    QList<QDomElement> items;
    const QDomElement container = getFirstElementWithTagName(parent, containerTag);
    if (container.isNull())
        return items;
    const QDomNodeList nodes = container.elementsByTagName(itemTag);
    for (int i = 0; i < nodes.count(); ++i) {
        if (nodes.at(i).isElement())
            items.append(nodes.at(i).toElement());
    }
    return items;
}

} // namespace

QDomElement MIDIPatchTarget::toDomElement(QDomDocument& doc)
{
    QDomElement element = BaseMIDIObject::toDomElement(doc);
    element.setAttribute(QStringLiteral("muted"), isMuted() ? 1 : 0);
    element.setAttribute(QStringLiteral("midiOutputPortName"), _outputPortName);
    element.setAttribute(QStringLiteral("midiChannelIndex"), int(getMIDIChannel()));
    element.setAttribute(QStringLiteral("messageDelayType"), getMessageDelayType());
    element.setAttribute(QStringLiteral("messageDelay"), getMessageDelayInMillisecs());
    _writeColorLabelTo(element);

    QDomElement initializers = doc.createElement(QStringLiteral("MIDIPatchInitializers"));
    for (MIDIPatchInitializer* mpi : std::as_const(_initializers))
        initializers.appendChild(mpi->toDomElement(doc));
    element.appendChild(initializers);

    QDomElement transforms = doc.createElement(QStringLiteral("MIDIDataTransforms"));
    for (MIDIDataTransform* mdt : std::as_const(_transforms))
        transforms.appendChild(mdt->toDomElement(doc));
    element.appendChild(transforms);
    return element;
}

void MIDIPatchTarget::initFromDomElement(const QDomElement& element)
{
    BaseMIDIObject::initFromDomElement(element);
    setMIDIOutputPortName(element.attribute(QStringLiteral("midiOutputPortName")));
    setMIDIChannel(channelAttribute(element));
    _readColorLabelFrom(element);
    setMuted(intAttribute(element, "muted") != 0);
    const int delayType = intAttribute(element, "messageDelayType");
    setMessageDelayType(delayType == kRandomDelay ? kRandomDelay : kConstantDelay);
    setMessageDelayInMillisecs(std::clamp(intAttribute(element, "messageDelay"), 0, kMaxMessageDelay));

    for (MIDIPatchInitializer* mpi : createInitializersFromOldPatchAttributes(element, this))
        addMIDIPatchInitializer(mpi);

    for (const QDomElement& item :
         itemsOf(element, QStringLiteral("MIDIPatchInitializers"), QStringLiteral("MIDIPatchInitializer"))) {
        const QString type = item.attribute(QStringLiteral("name"));
        MIDIPatchInitializer* mpi = createMIDIPatchInitializerOfType(type, this);
        if (!mpi) {
            postErrorMessage(QStringLiteral("Invalid initializer: ") + type);
            continue;
        }
        mpi->initFromDomElement(item);
        addMIDIPatchInitializer(mpi);
    }
    for (const QDomElement& item :
         itemsOf(element, QStringLiteral("MIDIDataTransforms"), QStringLiteral("MIDIDataTransform"))) {
        const QString type = item.attribute(QStringLiteral("name"));
        MIDIDataTransform* mdt = createMIDIDataTransformOfType(type, this);
        if (!mdt) {
            postErrorMessage(QStringLiteral("Invalid transform: ") + type);
            continue;
        }
        mdt->initFromDomElement(item);
        addMIDIDataTransform(mdt);
    }
}
