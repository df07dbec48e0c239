#include "model/routing/MIDIOutput.h"

#include "midi/MIDIPortInfo.h"
#include "model/EditRequestManager.h"
#include "model/ModelSignalPump.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/routing/MIDIRoute.h"

#include <algorithm>

MIDIOutput::MIDIOutput(QString name, QObject* parent) : ColorLabeledMIDIObject(std::move(name), parent) {}

MIDIOutput::MIDIOutput(QDomElement& element, QObject* parent, int loadIndex)
    : ColorLabeledMIDIObject(QString(), parent), _loadIndex(loadIndex)
{
    initFromDomElement(element);
}

MIDIOutput::~MIDIOutput()
{
    // Patches go first, while this output still exists for them to look at.
    _patches.deleteAll();
}

MIDIRoute* MIDIOutput::getParentMIDIRoute() const
{
    return qobject_cast<MIDIRoute*>(parent());
}

std::unique_lock<RoutingMutex> MIDIOutput::_lockRouting() const
{
    if (MIDIRoute* route = getParentMIDIRoute())
        return std::unique_lock<RoutingMutex>(route->_routingMutex);
    return std::unique_lock<RoutingMutex>();
}

void MIDIOutput::setModified(bool modified)
{
    if (!modified)
        _patches.clearModified();
    BaseMIDIObject::setModified(modified);
}

bool MIDIOutput::isNoteSounding(BYTE note) const
{
    auto lock = _lockRouting();
    for (int i = 0; i < _numNotesSounding; ++i) {
        if ((_notesSounding[i] & 0x7F) == note)
            return true;
    }
    return false;
}

bool MIDIOutput::hasNotesSounding() const
{
    auto lock = _lockRouting();
    return _numNotesSounding > 0;
}

QVector<BYTE> MIDIOutput::getNotesSounding() const
{
    // Copied under the lock, the list made after it: no allocation while the MIDI thread may wait.
    std::array<std::uint16_t, kMaxNotesSounding> sounding;
    int count = 0;
    {
        auto lock = _lockRouting();
        count = _numNotesSounding;
        std::copy_n(_notesSounding.begin(), count, sounding.begin());
    }
    QVector<BYTE> notes;
    notes.reserve(count);
    for (int i = 0; i < count; ++i)
        notes.append(BYTE(sounding[i] & 0x7F));
    return notes;
}

BYTE MIDIOutput::getVelocityOfNoteSounding(BYTE note) const
{
    if (note > 127)
        return 0;
    auto lock = _lockRouting();
    return _soundingVelocities[note];
}

bool MIDIOutput::hasSustainPedalDown() const
{
    auto lock = _lockRouting();
    return _gestures.isAnyAwayFromRest(GestureState::Sustain);
}

bool MIDIOutput::isGestureAwayFromRest(int gesture, BYTE channel) const
{
    if (gesture < 0 || gesture >= GestureState::kNumGestures)
        return false;
    auto lock = _lockRouting();
    return _gestures.isAwayFromRest(gesture, channel);
}

void MIDIOutput::handleMIDIMessage(double timeStamp, const midiMessage_t* message)
{
    for (MIDIPatchTarget* mpt : _patches)
        mpt->handleMIDIMessage(timeStamp, message);

    if (isNoteOnMessage(message)) {
        const BYTE note = getNote(message) & 0x7F;
        if (_numNotesSounding < kMaxNotesSounding)
            _notesSounding[_numNotesSounding++] = std::uint16_t(getMIDIChannelIndex(message) * 128 + note);
        _soundingVelocities[note] = getVelocity(message);
    } else if (isNoteOffMessage(message)) {
        const BYTE note = getNote(message) & 0x7F;
        const std::uint16_t key = std::uint16_t(getMIDIChannelIndex(message) * 128 + note);
        for (int i = 0; i < _numNotesSounding; ++i) {
            if (_notesSounding[i] != key)
                continue;
            for (int j = i + 1; j < _numNotesSounding; ++j)
                _notesSounding[j - 1] = _notesSounding[j];
            --_numNotesSounding;
            bool stillSounding = false;
            for (int j = 0; j < _numNotesSounding && !stillSounding; ++j)
                stillSounding = (_notesSounding[j] & 0x7F) == note;
            if (!stillSounding)
                _soundingVelocities[note] = 0;
            break;
        }
    } else {
        _gestures.record(message);
    }
    if (ModelSignalPump::isRunning() && !_messageActivity.load(std::memory_order_relaxed))
        _messageActivity.store(true, std::memory_order_relaxed);
}

void MIDIOutput::connectNotify(const QMetaMethod& signal)
{
    noteConnection(signal, {QMetaMethod::fromSignal(&MIDIOutput::receivedMIDIMessage),
                            QMetaMethod::fromSignal(&MIDIOutput::activeChangedTo)});
}

bool MIDIOutput::hasPumpedListeners() const
{
    return isSignalConnected(QMetaMethod::fromSignal(&MIDIOutput::receivedMIDIMessage)) ||
           isSignalConnected(QMetaMethod::fromSignal(&MIDIOutput::activeChangedTo));
}

void MIDIOutput::emitPendingSignals()
{
    // The input announces its outputs' activation; a lone output announces its own.
    if (!getParentMIDIRoute())
        _announceActiveState();
    if (_messageActivity.exchange(false))
        emit receivedMIDIMessage();
}

void MIDIOutput::_forgetSoundingNotesLocked()
{
    _numNotesSounding = 0;
    _soundingVelocities.fill(0);
    _gestures.clear();
}

void MIDIOutput::endSoundingNotes()
{
    auto lock = _lockRouting();
    _endSoundingNotesLocked();
}

void MIDIOutput::_endSoundingNotesLocked()
{
    for (MIDIPatchTarget* mpt : _patches)
        mpt->endSoundingNotes();
    _forgetSoundingNotesLocked();
}

void MIDIOutput::panic()
{
    auto lock = _lockRouting();
    _panicLocked();
}

void MIDIOutput::_panicLocked()
{
    for (MIDIPatchTarget* mpt : _patches)
        mpt->panic();
    _forgetSoundingNotesLocked();
}

void MIDIOutput::setMainActivationValue(BYTE value)
{
    if (value == _mainActivationValue.load())
        return;
    _mainActivationValue.store(value);
    if (_activationRangeValue.load() < value)
        setActivationRangeValue(value);
    emit mainActivationValueChangedTo(value);
    setModified(true);
}

void MIDIOutput::setActivationRangeValue(BYTE value)
{
    if (value == _activationRangeValue.load())
        return;
    _activationRangeValue.store(value);
    _swapActivationValuesIfNeeded();
    emit activationRangeValueChangedTo(_activationRangeValue.load());
    setModified(true);
}

void MIDIOutput::_swapActivationValuesIfNeeded()
{
    const BYTE main = _mainActivationValue.load();
    const BYTE range = _activationRangeValue.load();
    if (range >= main)
        return;
    setMainActivationValue(range);
    setActivationRangeValue(main);
}

void MIDIOutput::setActive(bool active)
{
    // GUI thread. The change is made under the routing lock, the signals follow after it.
    if (active == _active.load())
        return;
    MIDIRoute* route = getParentMIDIRoute();
    // While a document is read nothing is sent; the setup's opener sends the initializers later.
    const bool sendInitializers = !_readingDocument && !(route && route->_readingDocument);
    {
        auto lock = _lockRouting();
        if (active && route) {
            route->_activateOutputLocked(this, sendInitializers);
        } else {
            _active.store(active);
            if (active && sendInitializers)
                _performActivationStepsOnPatchTargets();
        }
    }
    if (route)
        route->_announceActiveOutput();
    _announceActiveState();
}

void MIDIOutput::_announceActiveState()
{
    const bool active = _active.load();
    if (active == _announcedActive)
        return;
    _announcedActive = active;
    emit activeChangedTo(active);
}

void MIDIOutput::_performActivationStepsOnPatchTargets()
{
    for (MIDIPatchTarget* mpt : _patches)
        mpt->performNeededActivationSteps();
}

void MIDIOutput::setMuteStateOfAllPatchesTo(bool muted)
{
    for (MIDIPatchTarget* mpt : _patches)
        mpt->setMuted(muted);
}

void MIDIOutput::setMuteStateFromPatch(MIDIPatchTarget* mpt, bool muted)
{
    const int index = _patches.indexOf(mpt);
    if (index < 0)
        return;
    for (int i = index; i < _patches.size(); ++i)
        _patches.at(i)->setMuted(muted);
}

void MIDIOutput::muteAllPatchesExcept(MIDIPatchTarget* mpt)
{
    if (!_patches.contains(mpt))
        return;
    for (MIDIPatchTarget* other : _patches)
        other->setMuted(other != mpt);
}

bool MIDIOutput::areAllPatchesMutedExcept(MIDIPatchTarget* mpt) const
{
    if (!_patches.contains(mpt) || mpt->isMuted())
        return false;
    for (MIDIPatchTarget* other : _patches) {
        if (other != mpt && !other->isMuted())
            return false;
    }
    return true;
}

void MIDIOutput::setColorLabelsForPatches(int index, MIDIPatchTarget* from)
{
    _patches.forEachFrom(from, [index](MIDIPatchTarget* mpt) { mpt->setColorLabel(index); });
}

void MIDIOutput::clearColorLabelsForPatches(MIDIPatchTarget* from)
{
    _patches.forEachFrom(from, [](MIDIPatchTarget* mpt) { mpt->clearColorLabel(); });
}

void MIDIOutput::setAllMIDIOutputPortsTo(QString portName)
{
    for (MIDIPatchTarget* mpt : _patches)
        mpt->setMIDIOutputPortName(portName);
}

int MIDIOutput::setOutputPortAndIncrementChannelFrom(MIDIPatchTarget* mpt, QString portName, int channel)
{
    const int index = _patches.indexOf(mpt);
    if (index < 0)
        return channel;
    BYTE next = BYTE(channel);
    for (int i = index; i < _patches.size(); ++i) {
        _patches.at(i)->setMIDIOutputPortName(portName);
        _patches.at(i)->setMIDIChannel(next);
        // Every channel stays every channel: there is no channel after "Any".
        next = next == MIDIPatchTarget::kAnyChannel ? next : channelAfter(next);
    }
    return next;
}

int MIDIOutput::rerouteOutputPort(QString lookForPort, int lookForChannel, QString replaceWithPort,
                                  int replaceWithChannel)
{
    int changed = 0;
    for (MIDIPatchTarget* mpt : _patches) {
        if (mpt->getMIDIOutputPortName() != lookForPort)
            continue;
        if (lookForChannel != -1 && mpt->getMIDIChannel() != lookForChannel)
            continue;
        mpt->setMIDIOutputPortName(replaceWithPort);
        if (replaceWithChannel != -1)
            mpt->setMIDIChannel(BYTE(replaceWithChannel));
        ++changed;
    }
    return changed;
}
