#include "model/routing/MIDIRoutingSetup.h"

#include "midi/MIDIPortInfo.h"
#include "model/DomLookup.h"
#include "model/EditRequestManager.h"
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIRoute.h"
#include "persistence/AppPrefs.h"
#include "persistence/PrefKeys.h"
#include "persistence/ProgressReporter.h"

#include <QDomNodeList>

MIDIRoutingSetup::MIDIRoutingSetup(QString name, QObject* parent) : BaseMIDIObject(std::move(name), parent) {}

MIDIRoutingSetup::~MIDIRoutingSetup()
{
    _activeRoute = nullptr;
    _routes.deleteAll();
}

void MIDIRoutingSetup::setFilePath(QString path)
{
    if (path == _filePath)
        return;
    _filePath = std::move(path);
    emit filePathChangedTo(_filePath);
}

void MIDIRoutingSetup::setModified(bool modified)
{
    if (!modified)
        _routes.clearModified();
    BaseMIDIObject::setModified(modified);
}

OwnedChildList<MIDIRoute>::Hooks MIDIRoutingSetup::_routeListHooks()
{
    return OwnedChildList<MIDIRoute>::Hooks::emitting(this, &MIDIRoutingSetup::midiRouteAdded,
                                                      &MIDIRoutingSetup::midiRouteRemoved,
                                                      &MIDIRoutingSetup::midiRouteMovedTo);
}

MIDIRoute* MIDIRoutingSetup::getMIDIRouteNamed(QString name) const
{
    for (MIDIRoute* route : _routes) {
        if (route->getName() == name)
            return route;
    }
    return nullptr;
}

void MIDIRoutingSetup::addMIDIRoute(MIDIRoute* route)
{
    if (!_routes.append(route))
        return;
    route->adoptPlayGate(_playGate);
    if (_routes.size() == 1)
        setActiveRoute(route);
}

void MIDIRoutingSetup::removeMIDIRoute(MIDIRoute* route, bool deleteIt)
{
    _routes.remove(route, deleteIt, {}, [this, route] {
        route->setActive(false);
        if (_activeRoute == route)
            _activeRoute = nullptr;
        setActiveRoute(_routes.isEmpty() ? nullptr : _routes.first());
        // End what it left sounding; whatever it still receives until it is deleted ends then.
        route->endSoundingNotes();
    });
}

void MIDIRoutingSetup::removeMIDIRoutesFrom(MIDIRoute* route, bool deleteIt)
{
    _routes.removeFrom(
        route, [this, deleteIt](MIDIRoute* one) { removeMIDIRoute(one, deleteIt); }, true);
}

void MIDIRoutingSetup::moveMIDIRouteToIndex(MIDIRoute* route, int newIndex)
{
    _routes.move(route, newIndex);
}

void MIDIRoutingSetup::setActiveRoute(MIDIRoute* route)
{
    if (route && !_routes.contains(route))
        return;
    if (_activeRoute)
        _activeRoute->setActive(false);
    _activeRoute = route;
    if (route)
        route->setActive(true);
    emit activeRouteChangedTo(route);
}

void MIDIRoutingSetup::activateRouteAfterCurrent()
{
    if (!_activeRoute || _routes.size() < 2)
        return;
    const int index = _routes.indexOf(_activeRoute);
    if (index + 1 < _routes.size())
        setActiveRoute(_routes.at(index + 1));
}

void MIDIRoutingSetup::activateRouteBeforeCurrent()
{
    if (!_activeRoute || _routes.size() < 2)
        return;
    const int index = _routes.indexOf(_activeRoute);
    if (index > 0)
        setActiveRoute(_routes.at(index - 1));
}

void MIDIRoutingSetup::showInnardsOfAllRoutes(bool showing)
{
    for (MIDIRoute* route : _routes)
        route->showInnards(showing);
}

void MIDIRoutingSetup::showInnardsOfActiveRoute(bool showing)
{
    if (_activeRoute)
        _activeRoute->showInnards(showing);
}

void MIDIRoutingSetup::setColorLabelsForRoutes(int index, MIDIRoute* from)
{
    _routes.forEachFrom(from, [index](MIDIRoute* route) { route->setColorLabel(index); });
}

void MIDIRoutingSetup::clearColorLabelsForRoutes(MIDIRoute* from)
{
    _routes.forEachFrom(from, [](MIDIRoute* route) { route->clearColorLabel(); });
}

MIDIRoute* MIDIRoutingSetup::createNewMIDIRoute(bool requestNameEdit)
{
    QString port;
    BYTE channel = 0;
    int method = 0;
    int specificity = 0;
    if (!_routes.isEmpty()) {
        MIDIRoute* last = _routes.last();
        port = last->getMIDIInputPortName();
        channel = channelAfter(last->getMIDIChannel());
        method = last->getOutputActivationMethod();
        specificity = last->getOutputActivationSpecificity();
    } else {
        port = MIDIPortInfo::GetInstance()->getDefaultInputPortName();
        method = getIntPrefValue(PrefKeys::DefaultMIDIOutputActivationMethod,
                                 PrefKeys::DefaultMIDIOutputActivationMethodDefault);
        specificity = getIntPrefValue(PrefKeys::DefaultMIDIOutputActivationSpecificity,
                                      PrefKeys::DefaultMIDIOutputActivationSpecificityDefault);
    }
    auto* route = new MIDIRoute(port, channel, QStringLiteral("(no name)"), this);
    route->setOutputActivationMethod(method);
    route->setOutputActivationSpecificity(specificity);
    route->setName(QStringLiteral("Input%1").arg(_routes.size() + 1));
    route->createNewMIDIOutput(false);
    addMIDIRoute(route);
    if (requestNameEdit)
        EditRequestManager::GetInstance()->requestObjectNameEdit(route);
    return route;
}

MIDIRoute* MIDIRoutingSetup::duplicateMIDIRoute(MIDIRoute* route)
{
    if (!_routes.contains(route))
        return nullptr;
    QDomDocument scratch;
    const QDomElement element = route->toDomElement(scratch);
    auto* duplicate =
        new MIDIRoute(route->getMIDIInputPortName(), route->getMIDIChannel(), route->getName(), this);
    duplicate->initFromDomElement(element);
    _routes.addDuplicate(route, duplicate, [this, duplicate] { setActiveRoute(duplicate); });
    return duplicate;
}

void MIDIRoutingSetup::setAllInputPortsTo(QString portName)
{
    for (MIDIRoute* route : _routes)
        route->setMIDIInputPortName(portName);
}

void MIDIRoutingSetup::setInputPortAndIncrementChannelFrom(MIDIRoute* route, QString portName, int channel)
{
    const int index = _routes.indexOf(route);
    if (index < 0)
        return;
    BYTE next = BYTE(channel);
    for (int i = index; i < _routes.size(); ++i) {
        _routes.at(i)->setMIDIInputPortName(portName);
        _routes.at(i)->setMIDIChannel(next);
        // Every channel stays every channel: there is no channel after "Any".
        next = next == MIDIRoute::kAnyChannel ? next : channelAfter(next);
    }
}

int MIDIRoutingSetup::rerouteInputPort(QString lookForPort, int lookForChannel, QString replaceWithPort,
                                       int replaceWithChannel)
{
    int changed = 0;
    for (MIDIRoute* route : _routes) {
        if (route->getMIDIInputPortName() != lookForPort)
            continue;
        if (lookForChannel != -1 && route->getMIDIChannel() != lookForChannel)
            continue;
        route->setMIDIInputPortName(replaceWithPort);
        if (replaceWithChannel != -1)
            route->setMIDIChannel(BYTE(replaceWithChannel));
        ++changed;
    }
    return changed;
}

int MIDIRoutingSetup::rerouteOutputPort(QString lookForPort, int lookForChannel, QString replaceWithPort,
                                        int replaceWithChannel)
{
    int changed = 0;
    for (MIDIRoute* route : _routes)
        changed += route->rerouteOutputPort(lookForPort, lookForChannel, replaceWithPort, replaceWithChannel);
    return changed;
}

void MIDIRoutingSetup::endSoundingNotes()
{
    for (MIDIRoute* route : _routes)
        route->endSoundingNotes();
}

void MIDIRoutingSetup::sendActiveOutputsInitializers()
{
    for (MIDIRoute* route : _routes)
        route->sendActiveOutputInitializers();
}

bool MIDIRoutingSetup::isAtRest() const
{
    for (MIDIRoute* route : _routes) {
        if (!route->isAtRest())
            return false;
    }
    return true;
}

void MIDIRoutingSetup::panic()
{
    for (MIDIRoute* route : _routes)
        route->panic();
}

QDomElement MIDIRoutingSetup::toDomElement(QDomDocument& doc, ProgressReporter* progress)
{
    QDomElement element = BaseMIDIObject::toDomElement(doc);
    if (_activeRoute)
        element.setAttribute(QStringLiteral("activeRouteName"), _activeRoute->getName());
    QDomElement routes = doc.createElement(QStringLiteral("MIDIRoutes"));
    if (progress)
        progress->setNumProgressSteps(_routes.size());
    int step = 0;
    for (MIDIRoute* route : _routes) {
        routes.appendChild(route->toDomElement(doc));
        if (progress)
            progress->setCurrentProgressStep(++step);
    }
    element.appendChild(routes);
    return element;
}

void MIDIRoutingSetup::initFromDomElement(const QDomElement& element, ProgressReporter* progress)
{
    BaseMIDIObject::initFromDomElement(element);
    QList<QDomElement> routeElements;
    const QDomElement container = getFirstElementWithTagName(element, QStringLiteral("MIDIRoutes"));
    if (!container.isNull()) {
        const QDomNodeList nodes = container.elementsByTagName(QStringLiteral("MIDIRoute"));
        for (int i = 0; i < nodes.count(); ++i) {
            if (nodes.at(i).isElement())
                routeElements.append(nodes.at(i).toElement());
        }
    }
    if (progress)
        progress->setNumProgressSteps(routeElements.size());
    int step = 0;
    for (QDomElement& routeElement : routeElements) {
        addMIDIRoute(new MIDIRoute(routeElement, this));
        if (progress)
            progress->setCurrentProgressStep(++step);
    }
    if (element.hasAttribute(QStringLiteral("activeRouteName"))) {
        if (MIDIRoute* route = getMIDIRouteNamed(element.attribute(QStringLiteral("activeRouteName"))))
            setActiveRoute(route);
    }
}
