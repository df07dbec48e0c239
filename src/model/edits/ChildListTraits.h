#pragma once

#include "model/initializers/MIDIPatchInitializer.h"
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "model/transforms/MIDIDataTransform.h"

#include <QString>

/// How each kind of model child sits in its owner's list, in the owner's own terms: the list
/// commands work through these, so every change still goes through the owner's rules (locks,
/// sounding notes, the active output). GUI thread only.
template <typename Child> struct ChildListTraits;

template <> struct ChildListTraits<MIDIRoute>
{
    using Owner = MIDIRoutingSetup;
    static QString kind() { return QStringLiteral("Input"); }
    static Owner* ownerOf(MIDIRoute* child) { return qobject_cast<Owner*>(child->parent()); }
    static MIDIRoute* childAt(Owner* owner, int index) { return owner->getMIDIRouteAtIndex(index); }
    static int size(Owner* owner) { return owner->getNumMIDIRoutes(); }
    static int indexOf(Owner* owner, MIDIRoute* child) { return owner->getIndexOfMIDIRoute(child); }
    static void add(Owner* owner, MIDIRoute* child) { owner->addMIDIRoute(child); }
    static void remove(Owner* owner, MIDIRoute* child) { owner->removeMIDIRoute(child, false); }
    static void move(Owner* owner, MIDIRoute* child, int index) { owner->moveMIDIRouteToIndex(child, index); }
    /// The fewest children the owner keeps (an output keeps a patch, an input an output).
    static constexpr int kMinimum = 0;
    /// Whether "and the following" from the first child removes only that one.
    static constexpr bool kOnlyItWhenFirst = true;
};

template <> struct ChildListTraits<MIDIOutput>
{
    using Owner = MIDIRoute;
    static QString kind() { return QStringLiteral("Output"); }
    static Owner* ownerOf(MIDIOutput* child) { return qobject_cast<Owner*>(child->parent()); }
    static MIDIOutput* childAt(Owner* owner, int index) { return owner->getMIDIOutputAtIndex(index); }
    static int size(Owner* owner) { return owner->getNumMIDIOutputs(); }
    static int indexOf(Owner* owner, MIDIOutput* child) { return owner->getIndexOfMIDIOutput(child); }
    static void add(Owner* owner, MIDIOutput* child) { owner->addMIDIOutput(child); }
    static void remove(Owner* owner, MIDIOutput* child) { owner->removeMIDIOutput(child, false); }
    static void move(Owner* owner, MIDIOutput* child, int index)
    {
        owner->moveMIDIOutputToIndex(child, index);
    }
    static constexpr int kMinimum = 1;
    static constexpr bool kOnlyItWhenFirst = true;
};

template <> struct ChildListTraits<MIDIPatchTarget>
{
    using Owner = MIDIOutput;
    static QString kind() { return QStringLiteral("Patch"); }
    static Owner* ownerOf(MIDIPatchTarget* child) { return qobject_cast<Owner*>(child->parent()); }
    static MIDIPatchTarget* childAt(Owner* owner, int index)
    {
        return owner->getMIDIPatchTargetAtIndex(index);
    }
    static int size(Owner* owner) { return owner->getNumMIDIPatchTargets(); }
    static int indexOf(Owner* owner, MIDIPatchTarget* child)
    {
        return owner->getIndexOfMIDIPatchTarget(child);
    }
    static void add(Owner* owner, MIDIPatchTarget* child) { owner->addMIDIPatchTarget(child); }
    static void remove(Owner* owner, MIDIPatchTarget* child) { owner->removeMIDIPatchTarget(child, false); }
    static void move(Owner* owner, MIDIPatchTarget* child, int index)
    {
        owner->moveMIDIPatchTargetToIndex(child, index);
    }
    static constexpr int kMinimum = 1;
    static constexpr bool kOnlyItWhenFirst = true;
};

template <> struct ChildListTraits<MIDIDataTransform>
{
    using Owner = MIDIPatchTarget;
    static QString kind() { return QStringLiteral("Transform"); }
    static Owner* ownerOf(MIDIDataTransform* child) { return qobject_cast<Owner*>(child->parent()); }
    static MIDIDataTransform* childAt(Owner* owner, int index)
    {
        return owner->getMIDIDataTransformAtIndex(index);
    }
    static int size(Owner* owner) { return owner->getNumMIDIDataTransforms(); }
    static int indexOf(Owner* owner, MIDIDataTransform* child)
    {
        return owner->getIndexOfMIDIDataTransform(child);
    }
    static void add(Owner* owner, MIDIDataTransform* child) { owner->addMIDIDataTransform(child); }
    static void remove(Owner* owner, MIDIDataTransform* child)
    {
        owner->removeMIDIDataTransform(child, false);
    }
    static void move(Owner* owner, MIDIDataTransform* child, int index)
    {
        owner->moveMIDIDataTransformToIndex(child, index);
    }
    static constexpr int kMinimum = 0;
    static constexpr bool kOnlyItWhenFirst = false;
};

template <> struct ChildListTraits<MIDIPatchInitializer>
{
    using Owner = MIDIPatchTarget;
    static QString kind() { return QStringLiteral("Initializer"); }
    static Owner* ownerOf(MIDIPatchInitializer* child) { return qobject_cast<Owner*>(child->parent()); }
    static MIDIPatchInitializer* childAt(Owner* owner, int index)
    {
        return owner->getMIDIPatchInitializerAtIndex(index);
    }
    static int size(Owner* owner) { return owner->getNumMIDIPatchInitializers(); }
    static int indexOf(Owner* owner, MIDIPatchInitializer* child)
    {
        return owner->getIndexOfMIDIPatchInitializer(child);
    }
    static void add(Owner* owner, MIDIPatchInitializer* child) { owner->addMIDIPatchInitializer(child); }
    static void remove(Owner* owner, MIDIPatchInitializer* child)
    {
        owner->removeMIDIPatchInitializer(child, false);
    }
    static void move(Owner* owner, MIDIPatchInitializer* child, int index)
    {
        owner->moveMIDIPatchInitializerToIndex(child, index);
    }
    static constexpr int kMinimum = 0;
    static constexpr bool kOnlyItWhenFirst = false;
};
