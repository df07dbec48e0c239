// The transform chain and initializer list of a patch. GUI thread only. Each change of a list is
// made under the message lock (OwnedChildList), so a message on the MIDI thread sees the chain
// before or after the change, never in between. Signals are emitted after the lock is released.
#include "model/routing/MIDIPatchTarget.h"

#include "app/StatusManager.h"
#include "model/initializers/InitializerRegistry.h"
#include "model/initializers/MIDIPatchInitializer.h"
#include "model/transforms/MIDIDataTransform.h"
#include "model/transforms/TransformRegistry.h"

OwnedChildList<MIDIDataTransform>::Hooks MIDIPatchTarget::_transformListHooks()
{
    return OwnedChildList<MIDIDataTransform>::Hooks::emitting(
        this, &MIDIPatchTarget::midiDataTransformAdded, &MIDIPatchTarget::midiDataTransformRemoved,
        &MIDIPatchTarget::midiDataTransformMovedTo,
        [this] { return std::unique_lock<RoutingMutex>(_messageLock); });
}

void MIDIPatchTarget::addMIDIDataTransform(MIDIDataTransform* mdt)
{
    _transforms.append(mdt);
}

void MIDIPatchTarget::removeMIDIDataTransform(MIDIDataTransform* mdt, bool deleteIt)
{
    _transforms.remove(mdt, deleteIt);
}

void MIDIPatchTarget::removeAllMIDIDataTransforms(bool deleteIt)
{
    while (!_transforms.isEmpty())
        removeMIDIDataTransform(_transforms.first(), deleteIt);
}

void MIDIPatchTarget::removeMIDIDataTransformsFrom(MIDIDataTransform* mdt, bool deleteIt)
{
    _transforms.removeFrom(
        mdt, [this, deleteIt](MIDIDataTransform* one) { removeMIDIDataTransform(one, deleteIt); }, false);
}

void MIDIPatchTarget::moveMIDIDataTransformToIndex(MIDIDataTransform* mdt, int newIndex)
{
    _transforms.move(mdt, newIndex);
}

MIDIDataTransform* MIDIPatchTarget::createNewMIDIDataTransform(QString typeName)
{
    MIDIDataTransform* mdt = createMIDIDataTransformOfType(typeName, this);
    if (!mdt) {
        postErrorMessage(QStringLiteral("Invalid transform: ") + typeName);
        return nullptr;
    }
    addMIDIDataTransform(mdt);
    return mdt;
}

void MIDIPatchTarget::setBypassStateForTransforms(bool bypass, MIDIDataTransform* from)
{
    _transforms.forEachFrom(from, [bypass](MIDIDataTransform* mdt) { mdt->setBypassed(bypass); });
}

OwnedChildList<MIDIPatchInitializer>::Hooks MIDIPatchTarget::_initializerListHooks()
{
    auto hooks = OwnedChildList<MIDIPatchInitializer>::Hooks::emitting(
        this, &MIDIPatchTarget::midiPatchInitializerAdded, &MIDIPatchTarget::midiPatchInitializerRemoved,
        &MIDIPatchTarget::midiPatchInitializerMovedTo,
        [this] { return std::unique_lock<RoutingMutex>(_messageLock); });
    hooks.adopted = [this](MIDIPatchInitializer* mpi) {
        connect(mpi, &MIDIPatchInitializer::messageDeliveryRequested, this,
                &MIDIPatchTarget::_mpiMessageDeliveryReqSLOT);
    };
    return hooks;
}

void MIDIPatchTarget::addMIDIPatchInitializer(MIDIPatchInitializer* mpi)
{
    _initializers.append(mpi);
}

void MIDIPatchTarget::removeMIDIPatchInitializer(MIDIPatchInitializer* mpi, bool deleteIt)
{
    _initializers.remove(mpi, deleteIt);
}

void MIDIPatchTarget::removeAllMIDIPatchInitializers(bool deleteIt)
{
    while (!_initializers.isEmpty())
        removeMIDIPatchInitializer(_initializers.first(), deleteIt);
}

void MIDIPatchTarget::removeMIDIPatchInitializersFrom(MIDIPatchInitializer* mpi, bool deleteIt)
{
    _initializers.removeFrom(
        mpi, [this, deleteIt](MIDIPatchInitializer* one) { removeMIDIPatchInitializer(one, deleteIt); },
        false);
}

void MIDIPatchTarget::moveMIDIPatchInitializerToIndex(MIDIPatchInitializer* mpi, int newIndex)
{
    _initializers.move(mpi, newIndex);
}

MIDIPatchInitializer* MIDIPatchTarget::createNewMIDIPatchInitializer(QString typeName)
{
    MIDIPatchInitializer* mpi = createMIDIPatchInitializerOfType(typeName, this);
    if (!mpi) {
        postErrorMessage(QStringLiteral("Invalid initializer: ") + typeName);
        return nullptr;
    }
    addMIDIPatchInitializer(mpi);
    return mpi;
}

MIDIPatchInitializer* MIDIPatchTarget::getFirstMIDIPatchInitializerOfType(const QString& typeName) const
{
    for (MIDIPatchInitializer* mpi : _initializers) {
        if (mpi->getName() == typeName)
            return mpi;
    }
    return nullptr;
}
