// The transform chain and initializer list of a patch. GUI thread only. Each change of a list is
// made under the message lock, so a message on the MIDI thread sees the chain before or after the
// change, never in between. Signals are emitted after the lock is released.
#include "model/routing/MIDIPatchTarget.h"

#include "app/StatusManager.h"
#include "model/initializers/InitializerRegistry.h"
#include "model/initializers/MIDIPatchInitializer.h"
#include "model/transforms/MIDIDataTransform.h"
#include "model/transforms/TransformRegistry.h"

void MIDIPatchTarget::addMIDIDataTransform(MIDIDataTransform* mdt)
{
    if (!mdt || _transforms.contains(mdt))
        return;
    mdt->setParent(this);
    connect(mdt, &MIDIDataTransform::modifiedChangedTo, this, &MIDIPatchTarget::_mdtModifiedChangedToSLOT);
    {
        std::lock_guard<std::mutex> lock(_messageLock);
        _transforms.append(mdt);
    }
    emit midiDataTransformAdded(mdt);
    setModified(true);
}

void MIDIPatchTarget::removeMIDIDataTransform(MIDIDataTransform* mdt, bool deleteIt)
{
    if (!_transforms.contains(mdt))
        return;
    disconnect(mdt, nullptr, this, nullptr);
    {
        std::lock_guard<std::mutex> lock(_messageLock);
        _transforms.removeOne(mdt);
    }
    emit midiDataTransformRemoved(mdt);
    mdt->setParent(nullptr);
    if (deleteIt)
        mdt->deleteLater();
    setModified(true);
}

void MIDIPatchTarget::removeAllMIDIDataTransforms(bool deleteIt)
{
    while (!_transforms.isEmpty())
        removeMIDIDataTransform(_transforms.first(), deleteIt);
}

void MIDIPatchTarget::removeMIDIDataTransformsFrom(MIDIDataTransform* mdt, bool deleteIt)
{
    const int index = _transforms.indexOf(mdt);
    if (index < 0)
        return;
    while (_transforms.size() > index)
        removeMIDIDataTransform(_transforms.at(index), deleteIt);
}

void MIDIPatchTarget::moveMIDIDataTransformToIndex(MIDIDataTransform* mdt, int newIndex)
{
    const int index = _transforms.indexOf(mdt);
    if (index < 0 || index == newIndex || newIndex < 0 || newIndex >= _transforms.size())
        return;
    {
        std::lock_guard<std::mutex> lock(_messageLock);
        _transforms.move(index, newIndex);
    }
    emit midiDataTransformMovedTo(mdt, newIndex);
    setModified(true);
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
    const int start = std::max<qsizetype>(0, _transforms.indexOf(from));
    for (int i = start; i < _transforms.size(); ++i)
        _transforms.at(i)->setBypassed(bypass);
}

void MIDIPatchTarget::addMIDIPatchInitializer(MIDIPatchInitializer* mpi)
{
    if (!mpi || _initializers.contains(mpi))
        return;
    mpi->setParent(this);
    connect(mpi, &MIDIPatchInitializer::modifiedChangedTo, this, &MIDIPatchTarget::_mpiModifiedChangedToSLOT);
    connect(mpi, &MIDIPatchInitializer::messageDeliveryRequested, this,
            &MIDIPatchTarget::_mpiMessageDeliveryReqSLOT);
    {
        std::lock_guard<std::mutex> lock(_messageLock);
        _initializers.append(mpi);
    }
    emit midiPatchInitializerAdded(mpi);
    setModified(true);
}

void MIDIPatchTarget::removeMIDIPatchInitializer(MIDIPatchInitializer* mpi, bool deleteIt)
{
    if (!_initializers.contains(mpi))
        return;
    disconnect(mpi, nullptr, this, nullptr);
    {
        std::lock_guard<std::mutex> lock(_messageLock);
        _initializers.removeOne(mpi);
    }
    emit midiPatchInitializerRemoved(mpi);
    mpi->setParent(nullptr);
    if (deleteIt)
        mpi->deleteLater();
    setModified(true);
}

void MIDIPatchTarget::removeAllMIDIPatchInitializers(bool deleteIt)
{
    while (!_initializers.isEmpty())
        removeMIDIPatchInitializer(_initializers.first(), deleteIt);
}

void MIDIPatchTarget::removeMIDIPatchInitializersFrom(MIDIPatchInitializer* mpi, bool deleteIt)
{
    const int index = _initializers.indexOf(mpi);
    if (index < 0)
        return;
    while (_initializers.size() > index)
        removeMIDIPatchInitializer(_initializers.at(index), deleteIt);
}

void MIDIPatchTarget::moveMIDIPatchInitializerToIndex(MIDIPatchInitializer* mpi, int newIndex)
{
    const int index = _initializers.indexOf(mpi);
    if (index < 0 || index == newIndex || newIndex < 0 || newIndex >= _initializers.size())
        return;
    {
        std::lock_guard<std::mutex> lock(_messageLock);
        _initializers.move(index, newIndex);
    }
    emit midiPatchInitializerMovedTo(mpi, newIndex);
    setModified(true);
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
