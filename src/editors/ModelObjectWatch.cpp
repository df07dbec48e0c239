#include "editors/ModelObjectWatch.h"

#include "model/initializers/MIDIPatchInitializer.h"
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "model/routing/MIDIRoutingSetupManager.h"
#include "model/transforms/MIDIDataTransform.h"

ModelObjectWatch::ModelObjectWatch(BaseMIDIObject* object, QObject* parent) : QObject(parent), _object(object)
{
    if (object == nullptr) {
        _gone = true;
        return;
    }
    connect(object, &QObject::destroyed, this, [this] { _goneIf(true); });
    _watchAncestors();
}

void ModelObjectWatch::_goneIf(bool condition)
{
    if (!condition || _gone)
        return;
    _gone = true;
    emit objectGoing();
}

void ModelObjectWatch::_watchAncestors()
{
    BaseMIDIObject* object = _object;
    auto* patch = qobject_cast<MIDIPatchTarget*>(object->parent());
    if (patch == nullptr)
        return;
    if (auto* transform = qobject_cast<MIDIDataTransform*>(object)) {
        connect(patch, &MIDIPatchTarget::midiDataTransformRemoved, this,
                [this, transform](MIDIDataTransform* removed) { _goneIf(removed == transform); });
    } else if (auto* initializer = qobject_cast<MIDIPatchInitializer*>(object)) {
        connect(patch, &MIDIPatchTarget::midiPatchInitializerRemoved, this,
                [this, initializer](MIDIPatchInitializer* removed) { _goneIf(removed == initializer); });
    }
    connect(patch, &QObject::destroyed, this, [this] { _goneIf(true); });

    auto* output = qobject_cast<MIDIOutput*>(patch->parent());
    if (output == nullptr)
        return;
    connect(output, &MIDIOutput::midiPatchTargetRemoved, this,
            [this, patch](MIDIPatchTarget* removed) { _goneIf(removed == patch); });
    connect(output, &QObject::destroyed, this, [this] { _goneIf(true); });

    auto* route = qobject_cast<MIDIRoute*>(output->parent());
    if (route == nullptr)
        return;
    connect(route, &MIDIRoute::midiOutputRemoved, this,
            [this, output](MIDIOutput* removed) { _goneIf(removed == output); });
    connect(route, &QObject::destroyed, this, [this] { _goneIf(true); });

    auto* setup = qobject_cast<MIDIRoutingSetup*>(route->parent());
    if (setup == nullptr)
        return;
    connect(setup, &MIDIRoutingSetup::midiRouteRemoved, this,
            [this, route](MIDIRoute* removed) { _goneIf(removed == route); });
    connect(setup, &QObject::destroyed, this, [this] { _goneIf(true); });
    MIDIRoutingSetupManager* manager = MIDIRoutingSetupManager::GetInstance();
    if (manager->getCurrentRoutingSetup() != setup)
        return;
    connect(manager, &MIDIRoutingSetupManager::currentRoutingSetupSwitchedTo, this,
            [this, setup](MIDIRoutingSetup* current) { _goneIf(current != setup); });
    connect(manager, &MIDIRoutingSetupManager::currentRoutingSetupCleared, this, [this] { _goneIf(true); });
}
