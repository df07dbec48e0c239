// An output's patch list. GUI thread only. Each change of the list is made under the input's
// routing lock, so a message is handled by the old list or the new one. Patches are built and
// given their ports outside the lock: the port manager may wait for a delivery in progress.
#include "model/routing/MIDIOutput.h"

#include "midi/MIDIPortInfo.h"
#include "model/EditRequestManager.h"
#include "model/routing/MIDIPatchTarget.h"

void MIDIOutput::addMIDIPatchTarget(MIDIPatchTarget* mpt)
{
    if (!mpt || _patches.contains(mpt))
        return;
    mpt->setParent(this);
    connect(mpt, &MIDIPatchTarget::modifiedChangedTo, this, &MIDIOutput::_mptModifiedChangedToSLOT);
    {
        auto lock = _lockRouting();
        _patches.append(mpt);
    }
    emit midiPatchTargetAdded(mpt);
    setModified(true);
}

void MIDIOutput::removeMIDIPatchTarget(MIDIPatchTarget* mpt, bool deleteIt)
{
    if (!_patches.contains(mpt) || _patches.size() == 1)
        return;
    disconnect(mpt, nullptr, this, nullptr);
    {
        auto lock = _lockRouting();
        _patches.removeOne(mpt);
    }
    // Nothing reaches it any more: end what it left sounding before it goes.
    mpt->endSoundingNotes();
    emit midiPatchTargetRemoved(mpt);
    mpt->setParent(nullptr);
    if (deleteIt)
        mpt->deleteLater();
    setModified(true);
}

void MIDIOutput::removeMIDIPatchTargetsFrom(MIDIPatchTarget* mpt, bool deleteIt)
{
    const int index = _patches.indexOf(mpt);
    if (index < 0)
        return;
    if (index == 0) {
        removeMIDIPatchTarget(mpt, deleteIt);
        return;
    }
    while (_patches.size() > index)
        removeMIDIPatchTarget(_patches.at(index), deleteIt);
}

void MIDIOutput::moveMIDIPatchTargetToIndex(MIDIPatchTarget* mpt, int newIndex)
{
    const int index = _patches.indexOf(mpt);
    if (index < 0 || index == newIndex || newIndex < 0 || newIndex >= _patches.size())
        return;
    {
        auto lock = _lockRouting();
        _patches.move(index, newIndex);
    }
    emit midiPatchTargetMovedTo(mpt, newIndex);
    setModified(true);
}

void MIDIOutput::replaceMIDIPatchTarget(MIDIPatchTarget* oldPatch, MIDIPatchTarget* newPatch)
{
    const int index = _patches.indexOf(oldPatch);
    if (index < 0 || !newPatch || oldPatch == newPatch)
        return;
    addMIDIPatchTarget(newPatch);
    removeMIDIPatchTarget(oldPatch, true);
    moveMIDIPatchTargetToIndex(newPatch, index);
}

MIDIPatchTarget* MIDIOutput::addNewCloneOfMIDIPatchTarget(MIDIPatchTarget* mpt)
{
    if (!mpt)
        return nullptr;
    auto* clone =
        new MIDIPatchTarget(mpt->getMIDIOutputPortName(), mpt->getMIDIChannel(), mpt->getName(), this);
    QDomDocument scratch;
    clone->initFromDomElement(mpt->toDomElement(scratch));
    addMIDIPatchTarget(clone);
    return clone;
}

MIDIPatchTarget* MIDIOutput::duplicateMIDIPatchTarget(MIDIPatchTarget* mpt)
{
    const int index = _patches.indexOf(mpt);
    if (index < 0)
        return nullptr;
    MIDIPatchTarget* duplicate = addNewCloneOfMIDIPatchTarget(mpt);
    duplicate->setName(mpt->getName() + QStringLiteral(".dup"));
    moveMIDIPatchTargetToIndex(duplicate, index + 1);
    EditRequestManager::GetInstance()->requestObjectNameEdit(duplicate);
    return duplicate;
}

void MIDIOutput::copyAllPatchesFrom(MIDIOutput* other)
{
    if (!other)
        return;
    // The list as it is now: copying an output's patches onto itself appends one clone of each.
    const QList<MIDIPatchTarget*> patches = other->_patches;
    for (MIDIPatchTarget* mpt : patches)
        addNewCloneOfMIDIPatchTarget(mpt);
}

MIDIPatchTarget* MIDIOutput::createNewMIDIPatchTarget(bool requestNameEdit, QString portName)
{
    const bool noPortGiven = portName.isEmpty();
    const QString port = noPortGiven ? MIDIPortInfo::GetInstance()->getDefaultOutputPortName() : portName;
    auto* mpt = new MIDIPatchTarget(port, 0, QStringLiteral("(no name)"), this);
    mpt->setName(QStringLiteral("Patch%1").arg(_patches.size() + 1));
    if (!_patches.isEmpty()) {
        MIDIPatchTarget* last = _patches.last();
        if (noPortGiven)
            mpt->setMIDIOutputPortName(last->getMIDIOutputPortName());
        mpt->setMIDIChannel(channelAfter(last->getMIDIChannel()));
    }
    addMIDIPatchTarget(mpt);
    if (requestNameEdit)
        EditRequestManager::GetInstance()->requestObjectNameEdit(mpt);
    return mpt;
}
