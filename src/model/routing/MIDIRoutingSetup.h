#pragma once

#include "model/BaseMIDIObject.h"
#include "model/MIDIMessage.h"
#include "model/OwnedChildList.h"
#include "model/routing/SongPlayGate.h"

#include <QList>
#include <memory>

class MIDIRoute;
class ProgressReporter;

/// The document the user edits and saves: an ordered list of inputs, one of them active (the one
/// shown and played from the on-screen keyboard), and the path of its file. GUI thread only.
class MIDIRoutingSetup : public BaseMIDIObject
{
    Q_OBJECT

public:
    MIDIRoutingSetup(QString name, QObject* parent);
    ~MIDIRoutingSetup() override;

    QString getObjTypeName() const override { return QStringLiteral("MIDIRoutingSetup"); }
    QDomElement toDomElement(QDomDocument& doc) override { return toDomElement(doc, nullptr); }
    QDomElement toDomElement(QDomDocument& doc, ProgressReporter* progress);
    void initFromDomElement(const QDomElement& element) override { initFromDomElement(element, nullptr); }
    virtual void initFromDomElement(const QDomElement& element, ProgressReporter* progress);

    QString getFilePath() const { return _filePath; }
    void setFilePath(QString path);
    bool hasBeenSaved() const { return !_filePath.isEmpty(); }
    bool isEmpty() const { return _routes.isEmpty(); }

    int getNumMIDIRoutes() const { return _routes.size(); }
    MIDIRoute* getMIDIRouteAtIndex(int index) const { return _routes.at(index); }
    int getIndexOfMIDIRoute(MIDIRoute* route) const { return _routes.indexOf(route); }
    bool hasMIDIRoute(MIDIRoute* route) const { return _routes.contains(route); }
    bool hasMIDIRouteNamed(QString name) const { return getMIDIRouteNamed(name) != nullptr; }
    MIDIRoute* getMIDIRouteNamed(QString name) const;
    void addMIDIRoute(MIDIRoute* route);
    void removeMIDIRoute(MIDIRoute* route, bool deleteIt);
    void removeMIDIRoutesFrom(MIDIRoute* route, bool deleteIt);
    void moveMIDIRouteToIndex(MIDIRoute* route, int newIndex);
    MIDIRoute* getActiveRoute() const { return _activeRoute; }
    bool hasActiveRoute() const { return _activeRoute != nullptr; }
    void setActiveRoute(MIDIRoute* route);
    void showInnardsOfAllRoutes(bool showing);
    void showInnardsOfActiveRoute(bool showing);
    void setColorLabelsForRoutes(int index, MIDIRoute* from);
    void clearColorLabelsForRoutes(MIDIRoute* from);
    MIDIRoute* createNewMIDIRoute(bool requestNameEdit);
    MIDIRoute* duplicateMIDIRoute(MIDIRoute* route);

    void setAllInputPortsTo(QString portName);
    void setInputPortAndIncrementChannelFrom(MIDIRoute* route, QString portName, int channel);
    int rerouteInputPort(QString lookForPort, int lookForChannel, QString replaceWithPort,
                         int replaceWithChannel);
    int rerouteOutputPort(QString lookForPort, int lookForChannel, QString replaceWithPort,
                          int replaceWithChannel);

    /// Ends every note that any patch of the setup sent and has not ended, and brings every pedal,
    /// bend and wheel it left away from rest back to rest.
    void endSoundingNotes();
    /// All notes off: ends every sounding note and brings every gesture to rest, then pedal up and
    /// All Notes Off on every port and channel the setup sends on.
    void panic();
    /// Each input's active output sends its patches' initializers, inputs in setup order, as an
    /// activation does (muted patches send nothing). GUI thread.
    void sendActiveOutputsInitializers();

    /// The gate every input of the setup routes by; Live unless a set list says otherwise.
    std::shared_ptr<SongPlayGate> getPlayGate() const { return _playGate; }
    SongPlayGate::State getPlayState() const { return _playGate->state(); }
    /// Any thread.
    void setPlayState(SongPlayGate::State state) { _playGate->setState(state); }
    /// True when nothing begun in the setup still sounds or is held away from rest. GUI thread.
    bool isAtRest() const;

public slots:
    void setModified(bool modified) override;
    void activateRouteBeforeCurrent();
    void activateRouteAfterCurrent();

signals:
    void midiRouteAdded(MIDIRoute* route);
    void midiRouteRemoved(MIDIRoute* route);
    void midiRouteMovedTo(MIDIRoute* route, int newIndex);
    void activeRouteChangedTo(MIDIRoute* activeRoute);
    void filePathChangedTo(QString newFilePath);

private:
    OwnedChildList<MIDIRoute>::Hooks _routeListHooks();

    MIDIRoute* _activeRoute = nullptr;
    // No lock: the MIDI thread never walks the inputs (each is reached through its own port).
    OwnedChildList<MIDIRoute> _routes{this, _routeListHooks()};
    QString _filePath;
    std::shared_ptr<SongPlayGate> _playGate = std::make_shared<SongPlayGate>();
};
