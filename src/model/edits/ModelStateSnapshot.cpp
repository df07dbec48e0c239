#include "model/edits/ModelStateSnapshot.h"

#include "model/initializers/MIDIPatchInitializer.h"
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "model/transforms/MIDIDataTransform.h"

#include <tuple>

namespace {

auto fields(const QString& name, const QString& port, const QString& map, int colorLabel, int channel,
            int method, int specificity, int mainValue, int rangeValue, int delay, int delayType, bool muted,
            bool bypassed, int byte1, int byte2, int byte3, int int1, int int2, bool dropsStrayPrograms,
            bool dropsClock)
{
    return std::make_tuple(name, port, map, colorLabel, channel, method, specificity, mainValue, rangeValue,
                           delay, delayType, muted, bypassed, byte1, byte2, byte3, int1, int2,
                           dropsStrayPrograms, dropsClock);
}

void setColorLabel(ColorLabeledMIDIObject* object, int index)
{
    if (object->getColorLabel() == index)
        return;
    if (index < 0)
        object->clearColorLabel();
    else
        object->setColorLabel(index);
}

} // namespace

bool ModelStateSnapshot::ObjectState::operator==(const ObjectState& o) const
{
    return object == o.object &&
           fields(name, port, map, colorLabel, channel, method, specificity, mainValue, rangeValue, delay,
                  delayType, muted, bypassed, byte1, byte2, byte3, int1, int2, dropsStrayPrograms,
                  dropsClock) == fields(o.name, o.port, o.map, o.colorLabel, o.channel, o.method,
                                        o.specificity, o.mainValue, o.rangeValue, o.delay, o.delayType,
                                        o.muted, o.bypassed, o.byte1, o.byte2, o.byte3, o.int1, o.int2,
                                        o.dropsStrayPrograms, o.dropsClock);
}

bool ModelStateSnapshot::operator==(const ModelStateSnapshot& other) const
{
    return _states == other._states;
}

ModelStateSnapshot ModelStateSnapshot::capture(BaseMIDIObject* root)
{
    ModelStateSnapshot snapshot;
    if (root)
        _collect(root, snapshot._states);
    return snapshot;
}

void ModelStateSnapshot::_collect(BaseMIDIObject* object, QList<ObjectState>& states)
{
    ObjectState state;
    state.object = object;
    state.name = object->getName();
    if (auto* labeled = qobject_cast<ColorLabeledMIDIObject*>(object))
        state.colorLabel = labeled->getColorLabel();

    if (auto* setup = qobject_cast<MIDIRoutingSetup*>(object)) {
        states.append(state);
        for (int i = 0; i < setup->getNumMIDIRoutes(); ++i)
            _collect(setup->getMIDIRouteAtIndex(i), states);
    } else if (auto* route = qobject_cast<MIDIRoute*>(object)) {
        state.port = route->getMIDIInputPortName();
        state.channel = route->getMIDIChannel();
        state.method = route->getOutputActivationMethod();
        state.specificity = route->getOutputActivationSpecificity();
        state.dropsStrayPrograms = route->dropsStrayProgramChanges();
        state.dropsClock = route->dropsClockAndActiveSensing();
        states.append(state);
        for (int i = 0; i < route->getNumMIDIOutputs(); ++i)
            _collect(route->getMIDIOutputAtIndex(i), states);
    } else if (auto* output = qobject_cast<MIDIOutput*>(object)) {
        state.mainValue = output->getMainActivationValue();
        state.rangeValue = output->getActivationRangeValue();
        states.append(state);
        for (int i = 0; i < output->getNumMIDIPatchTargets(); ++i)
            _collect(output->getMIDIPatchTargetAtIndex(i), states);
    } else if (auto* patch = qobject_cast<MIDIPatchTarget*>(object)) {
        state.port = patch->getMIDIOutputPortName();
        state.channel = patch->getMIDIChannel();
        state.delay = patch->getMessageDelayInMillisecs();
        state.delayType = patch->getMessageDelayType();
        state.muted = patch->isMuted();
        states.append(state);
        for (int i = 0; i < patch->getNumMIDIDataTransforms(); ++i)
            _collect(patch->getMIDIDataTransformAtIndex(i), states);
        for (int i = 0; i < patch->getNumMIDIPatchInitializers(); ++i)
            _collect(patch->getMIDIPatchInitializerAtIndex(i), states);
    } else if (auto* transform = qobject_cast<MIDIDataTransform*>(object)) {
        state.bypassed = transform->isBypassed();
        state.byte1 = transform->getByte1();
        state.byte2 = transform->getByte2();
        state.byte3 = transform->getByte3();
        state.int1 = transform->getInt1();
        state.int2 = transform->getInt2();
        state.map = transform->getMapValuesAsString();
        states.append(state);
    } else if (auto* initializer = qobject_cast<MIDIPatchInitializer*>(object)) {
        const InitializerParameters parameters = initializer->getParameters();
        state.byte1 = parameters.byte1;
        state.byte2 = parameters.byte2;
        state.byte3 = parameters.byte3;
        state.int1 = parameters.int1;
        states.append(state);
    } else {
        states.append(state);
    }
}

void ModelStateSnapshot::apply() const
{
    for (const ObjectState& state : _states)
        if (state.object)
            _applyOne(state);
}

void ModelStateSnapshot::_applyOne(const ObjectState& state)
{
    BaseMIDIObject* object = state.object;
    if (object->getName() != state.name)
        object->setName(state.name);
    if (auto* labeled = qobject_cast<ColorLabeledMIDIObject*>(object))
        setColorLabel(labeled, state.colorLabel);

    if (auto* route = qobject_cast<MIDIRoute*>(object)) {
        if (route->getMIDIInputPortName() != state.port)
            route->setMIDIInputPortName(state.port);
        route->setMIDIChannel(BYTE(state.channel));
        if (route->getOutputActivationMethod() != state.method)
            route->setOutputActivationMethod(state.method);
        if (route->getOutputActivationSpecificity() != state.specificity)
            route->setOutputActivationSpecificity(state.specificity);
        route->setDropsStrayProgramChanges(state.dropsStrayPrograms);
        route->setDropsClockAndActiveSensing(state.dropsClock);
    } else if (auto* output = qobject_cast<MIDIOutput*>(object)) {
        // Twice: the output keeps its range above its main value by swapping them, so the first
        // pass may meet the other value still at its old setting.
        for (int pass = 0; pass < 2; ++pass) {
            if (output->getMainActivationValue() != state.mainValue)
                output->setMainActivationValue(BYTE(state.mainValue));
            if (output->getActivationRangeValue() != state.rangeValue)
                output->setActivationRangeValue(BYTE(state.rangeValue));
        }
    } else if (auto* patch = qobject_cast<MIDIPatchTarget*>(object)) {
        if (patch->getMIDIOutputPortName() != state.port)
            patch->setMIDIOutputPortName(state.port);
        patch->setMIDIChannel(BYTE(state.channel));
        if (patch->getMessageDelayInMillisecs() != state.delay)
            patch->setMessageDelayInMillisecs(state.delay);
        if (patch->getMessageDelayType() != state.delayType)
            patch->setMessageDelayType(state.delayType);
        patch->setMuted(state.muted);
    } else if (auto* transform = qobject_cast<MIDIDataTransform*>(object)) {
        transform->setBypassed(state.bypassed);
        transform->setByte1(BYTE(state.byte1));
        transform->setByte2(BYTE(state.byte2));
        transform->setByte3(BYTE(state.byte3));
        transform->setInt1(state.int1);
        transform->setInt2(state.int2);
        if (transform->getMapValuesAsString() != state.map)
            transform->setMapValuesFromString(state.map);
    } else if (auto* initializer = qobject_cast<MIDIPatchInitializer*>(object)) {
        // Each setter sends the initializer, as the edit did: only those that differ are called.
        const InitializerParameters now = initializer->getParameters();
        if (now.byte1 != state.byte1)
            initializer->setByte1(BYTE(state.byte1));
        if (now.byte2 != state.byte2)
            initializer->setByte2(BYTE(state.byte2));
        if (now.byte3 != state.byte3)
            initializer->setByte3(BYTE(state.byte3));
        if (now.int1 != state.int1)
            initializer->setInt1(state.int1);
    }
}
