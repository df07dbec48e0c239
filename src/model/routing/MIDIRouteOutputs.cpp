// A route's output list, its port operations over outputs and its text description.
// GUI thread only; list changes take the routing lock.
#include "model/routing/MIDIRoute.h"

#include "midi/MIDIPortInfo.h"
#include "model/EditRequestManager.h"
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"

OwnedChildList<MIDIOutput>::Hooks MIDIRoute::_outputListHooks()
{
    auto hooks = OwnedChildList<MIDIOutput>::Hooks::emitting(
        this, &MIDIRoute::midiOutputAdded, &MIDIRoute::midiOutputRemoved, &MIDIRoute::midiOutputMovedTo,
        [this] { return std::unique_lock<RoutingMutex>(_routingMutex); });
    hooks.adopted = [this](MIDIOutput* output) {
        connect(output, &MIDIOutput::mainActivationValueChangedTo, this,
                &MIDIRoute::_midiOutputMainValueChangedToSLOT);
        connect(output, &MIDIOutput::activationRangeValueChangedTo, this,
                &MIDIRoute::_midiOutputValeRangeChangedToSLOT);
        connect(output, &MIDIOutput::nameChanged, this, &MIDIRoute::_midiOutputNameChangedSLOT);
    };
    return hooks;
}

void MIDIRoute::addMIDIOutput(MIDIOutput* output)
{
    if (!_outputs.append(output))
        return;
    if (_outputs.size() == 1)
        output->setActive(true);
}

void MIDIRoute::removeMIDIOutput(MIDIOutput* output, bool deleteIt)
{
    if (_outputs.size() == 1)
        return;
    bool wasActive = false;
    const bool removed = _outputs.remove(
        output, deleteIt,
        [&] {
            // Whether it is the active output is decided under the lock too: a keyswitch on the
            // MIDI thread may activate it up to the moment it leaves the list, and the route must
            // never keep sending to an output that is no longer its own.
            wasActive = output == _activeOutput.load();
            if (wasActive)
                _activeOutput.store(nullptr);
        },
        [output] {
            // Nothing reaches it any more: end what its patches left sounding.
            output->endSoundingNotes();
        });
    if (!removed)
        return;
    if (_announcedActiveOutput == output)
        _announcedActiveOutput = nullptr;
    if (wasActive) {
        output->_active.store(false);
        // Unless a keyswitch chose another output meanwhile, the first one takes over.
        if (!_activeOutput.load())
            _outputs.first()->setActive(true);
    }
    _announceActiveOutput();
}

void MIDIRoute::removeMIDIOutputsFrom(MIDIOutput* output, bool deleteIt)
{
    _outputs.removeFrom(
        output, [this, deleteIt](MIDIOutput* one) { removeMIDIOutput(one, deleteIt); }, true);
}

void MIDIRoute::moveMIDIOutputToIndex(MIDIOutput* output, int newIndex)
{
    _outputs.move(output, newIndex);
}

void MIDIRoute::setActiveMIDIOutput(MIDIOutput* output)
{
    if (output)
        output->setActive(true);
}

MIDIOutput* MIDIRoute::activateNextMIDIOutput()
{
    MIDIOutput* active = _activeOutput.load();
    if (!active)
        return nullptr;
    const int index = _outputs.indexOf(active);
    if (index >= 0 && index + 1 < _outputs.size())
        _outputs.at(index + 1)->setActive(true);
    return _activeOutput.load();
}

MIDIOutput* MIDIRoute::activatePreviousMIDIOutput()
{
    MIDIOutput* active = _activeOutput.load();
    if (!active)
        return nullptr;
    const int index = _outputs.indexOf(active);
    if (index > 0)
        _outputs.at(index - 1)->setActive(true);
    return _activeOutput.load();
}

MIDIOutput* MIDIRoute::createNewMIDIOutput(bool requestNameEdit)
{
    MIDIOutput* lastOutput = _outputs.isEmpty() ? nullptr : _outputs.last();
    MIDIPatchTarget* lastPatch = nullptr;
    if (lastOutput && lastOutput->getNumMIDIPatchTargets() > 0)
        lastPatch = lastOutput->getMIDIPatchTargetAtIndex(lastOutput->getNumMIDIPatchTargets() - 1);

    auto* output = new MIDIOutput(QStringLiteral("(no name)"), this);
    MIDIPatchTarget* patch =
        output->createNewMIDIPatchTarget(false, lastPatch ? lastPatch->getMIDIOutputPortName() : QString());
    output->setName(QStringLiteral("Output%1").arg(_outputs.size() + 1));
    if (lastOutput) {
        const BYTE last = isOutputActivationValueRange() ? lastOutput->getActivationRangeValue()
                                                         : lastOutput->getMainActivationValue();
        const BYTE next = valueNumberAfter(last);
        output->setMainActivationValue(next);
        output->setActivationRangeValue(next);
    }
    if (lastPatch) {
        patch->setMIDIOutputPortName(lastPatch->getMIDIOutputPortName());
        patch->setMIDIChannel(channelAfter(lastPatch->getMIDIChannel()));
    }
    addMIDIOutput(output);
    output->setActive(true);
    if (requestNameEdit)
        EditRequestManager::GetInstance()->requestObjectNameEdit(output);
    return output;
}

MIDIOutput* MIDIRoute::duplicateMIDIOutput(MIDIOutput* output)
{
    if (!_outputs.contains(output))
        return nullptr;
    QDomDocument scratch;
    QDomElement element = output->toDomElement(scratch);
    auto* duplicate = new MIDIOutput(output->getName(), this);
    duplicate->initFromDomElement(element);
    _outputs.addDuplicate(output, duplicate);
    return duplicate;
}

void MIDIRoute::showInnardsOfAllOutputs(bool showing)
{
    for (MIDIOutput* output : _outputs)
        output->showInnards(showing);
}

void MIDIRoute::showInnardsOfActiveOutput(bool showing)
{
    if (MIDIOutput* active = _activeOutput.load())
        active->showInnards(showing);
}

void MIDIRoute::setColorLabelsForOutputs(int index, MIDIOutput* from)
{
    _outputs.forEachFrom(from, [index](MIDIOutput* output) { output->setColorLabel(index); });
}

void MIDIRoute::clearColorLabelsForOutputs(MIDIOutput* from)
{
    _outputs.forEachFrom(from, [](MIDIOutput* output) { output->clearColorLabel(); });
}

void MIDIRoute::setAllMIDIOutputPortsTo(QString portName)
{
    for (MIDIOutput* output : _outputs)
        output->setAllMIDIOutputPortsTo(portName);
}

void MIDIRoute::setOutputPortAndIncrementChannelFrom(MIDIOutput* output, MIDIPatchTarget* mpt,
                                                     QString portName, int channel)
{
    const int index = _outputs.indexOf(output);
    if (index < 0 || !output->hasMIDIPatchTarget(mpt))
        return;
    int next = output->setOutputPortAndIncrementChannelFrom(mpt, portName, channel);
    for (int i = index + 1; i < _outputs.size(); ++i) {
        MIDIOutput* later = _outputs.at(i);
        if (later->getNumMIDIPatchTargets() > 0)
            next = later->setOutputPortAndIncrementChannelFrom(later->getMIDIPatchTargetAtIndex(0), portName,
                                                               next);
    }
}

int MIDIRoute::rerouteOutputPort(QString lookForPort, int lookForChannel, QString replaceWithPort,
                                 int replaceWithChannel)
{
    int changed = 0;
    for (MIDIOutput* output : _outputs)
        changed +=
            output->rerouteOutputPort(lookForPort, lookForChannel, replaceWithPort, replaceWithChannel);
    return changed;
}

QString MIDIRoute::_activationValueText(BYTE value) const
{
    if (isActivationMethodKeyswitch())
        return QString::fromLatin1(getMIDINoteName(value));
    if (isActivationMethodProgramChange())
        return QString::number(value + 1);
    return QString::number(value);
}

QString MIDIRoute::getTextualDescriptionOfOutput(MIDIOutput* output) const
{
    if (!_outputs.contains(output))
        return QStringLiteral("ERROR - output not owned by this input.");
    QString text =
        output->getName() + QStringLiteral(": ") + _activationValueText(output->getMainActivationValue());
    if (isOutputActivationValueRange()) {
        text += isActivationMethodKeyswitch() ? QStringLiteral(" to ") : QStringLiteral("-");
        text += _activationValueText(output->getActivationRangeValue());
    }
    return text;
}

QString MIDIRoute::getTextualDescriptionOfOutputs() const
{
    QString text;
    if (isActivationMethodKeyswitch())
        text = QStringLiteral("Keyswitches:\n");
    else if (isActivationMethodProgramChange())
        text = QStringLiteral("Program Changes:\n");
    else
        text = QStringLiteral("CC%1 Output Activations:\n").arg(getActivationControllerNumber());
    for (MIDIOutput* output : _outputs)
        text += QLatin1Char('\n') + getTextualDescriptionOfOutput(output);
    return text;
}

void MIDIRoute::_midiOutputNameChangedSLOT()
{
    if (auto* output = qobject_cast<MIDIOutput*>(sender()))
        emit MIDIOutputNameChanged(output);
}

void MIDIRoute::_midiOutputMainValueChangedToSLOT(int)
{
    if (auto* output = qobject_cast<MIDIOutput*>(sender()))
        emit outputValueOrRangeChanged(output);
}

void MIDIRoute::_midiOutputValeRangeChangedToSLOT(int)
{
    if (auto* output = qobject_cast<MIDIOutput*>(sender()))
        emit outputValueOrRangeChanged(output);
}
