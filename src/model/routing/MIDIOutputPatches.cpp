// An output's patch list. GUI thread only. Each change of the list is made under the input's
// routing lock (OwnedChildList), so a message is handled by the old list or the new one. Patches are built
// and given their ports outside the lock: the port manager may wait for a delivery in progress.
#include "model/routing/MIDIOutput.h"

#include "midi/MIDIPortInfo.h"
#include "model/EditRequestManager.h"
#include "model/routing/MIDIPatchTarget.h"

OwnedChildList<MIDIPatchTarget>::Hooks MIDIOutput::_patchListHooks()
{
    return OwnedChildList<MIDIPatchTarget>::Hooks::emitting(
        this, &MIDIOutput::midiPatchTargetAdded, &MIDIOutput::midiPatchTargetRemoved,
        &MIDIOutput::midiPatchTargetMovedTo, [this] { return _lockRouting(); });
}

void MIDIOutput::addMIDIPatchTarget(MIDIPatchTarget* mpt)
{
    _patches.append(mpt);
}

void MIDIOutput::removeMIDIPatchTarget(MIDIPatchTarget* mpt, bool deleteIt)
{
    if (_patches.size() == 1)
        return;
    // Nothing reaches it any more once it is out: end what it left sounding before it goes.
    _patches.remove(mpt, deleteIt, {}, [mpt] { mpt->endSoundingNotes(); });
}

void MIDIOutput::removeMIDIPatchTargetsFrom(MIDIPatchTarget* mpt, bool deleteIt)
{
    _patches.removeFrom(
        mpt, [this, deleteIt](MIDIPatchTarget* one) { removeMIDIPatchTarget(one, deleteIt); }, true);
}

void MIDIOutput::moveMIDIPatchTargetToIndex(MIDIPatchTarget* mpt, int newIndex)
{
    _patches.move(mpt, newIndex);
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
    if (!_patches.contains(mpt))
        return nullptr;
    auto* duplicate =
        new MIDIPatchTarget(mpt->getMIDIOutputPortName(), mpt->getMIDIChannel(), mpt->getName(), this);
    QDomDocument scratch;
    duplicate->initFromDomElement(mpt->toDomElement(scratch));
    _patches.addDuplicate(mpt, duplicate);
    return duplicate;
}

void MIDIOutput::copyAllPatchesFrom(MIDIOutput* other)
{
    if (!other)
        return;
    // The list as it is now: copying an output's patches onto itself appends one clone of each.
    const QList<MIDIPatchTarget*> patches = other->_patches.items();
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
