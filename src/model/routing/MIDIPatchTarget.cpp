#include "model/routing/MIDIPatchTarget.h"

#include "app/StatusManager.h"
#include "midi/MIDIPortIOManager.h"
#include "midi/MIDIPortInfo.h"
#include "model/MIDIMessageValidity.h"
#include "model/ModelSignalPump.h"
#include "model/initializers/MIDIPatchInitializer.h"
#include "model/routing/MIDIOutput.h"
#include "model/routing/MissingPortReplacement.h"
#include "model/transforms/MIDIDataTransform.h"

#include <QThread>
#include <QTimer>
#include <atomic>
#include <cstdlib>

namespace {

std::uint64_t nextOwnerTag()
{
    static std::atomic<std::uint64_t> last{0};
    return ++last;
}

} // namespace

MIDIPatchTarget::MIDIPatchTarget(QString portName, BYTE channel, QString name, QObject* parent)
    : ColorLabeledMIDIObject(std::move(name), parent), _midiChannel(channel), _ownerTag(nextOwnerTag())
{
    _init();
    setMIDIOutputPortName(std::move(portName));
}

MIDIPatchTarget::MIDIPatchTarget(QDomElement& element, QObject* parent)
    : ColorLabeledMIDIObject(QString(), parent), _ownerTag(nextOwnerTag())
{
    _init();
    initFromDomElement(element);
}

void MIDIPatchTarget::_init()
{
    _portIOManager = MIDIPortIOManager::GetInstance();
    _portInfo = MIDIPortInfo::GetInstance();
    _workingMessage.reserve(3);
    _generatedMessage.reserve(3);
    _evictionMessage.reserve(3);
    _messageList.reserve(16);
    connect(this, &MIDIPatchTarget::_doDelayedMessageHandling, this,
            &MIDIPatchTarget::_doDelayedMessageTimerSLOT);
}

MIDIPatchTarget::~MIDIPatchTarget()
{
    // Nothing routes to a patch that is being destroyed (its output let go of it, or the whole
    // input stopped listening first), so whatever it left sounding is ended here, then the port
    // is released. Pending delays die with the patch's timers; their note ons were never sent.
    endSoundingNotes();
    _portIOManager->removeRequiredOutputPortNamed(_outputPortName, this);
}

MIDIOutput* MIDIPatchTarget::getParentMIDIOutput() const
{
    return qobject_cast<MIDIOutput*>(parent());
}

void MIDIPatchTarget::setModified(bool modified)
{
    if (!modified) {
        _transforms.clearModified();
        _initializers.clearModified();
    }
    BaseMIDIObject::setModified(modified);
}

void MIDIPatchTarget::setMuted(bool muted)
{
    if (muted == _muted.load())
        return;
    if (muted) {
        // Muted first, under the lock, so a note on already on its way is dropped rather than
        // slipping in after the note offs.
        std::lock_guard<RoutingMutex> lock(_messageLock);
        _muted.store(true);
        _endRecordedNotesLocked(127);
    } else {
        _muted.store(false);
    }
    emit mutedChangedTo(muted);
    setModified(true);
}

void MIDIPatchTarget::setMIDIChannel(BYTE channel)
{
    if (channel == _midiChannel.load())
        return;
    _midiChannel.store(channel);
    emit midiChannelChangedTo(channel);
    setModified(true);
}

void MIDIPatchTarget::setMessageDelayInMillisecs(int delay)
{
    if (delay == _messageDelay.load())
        return;
    _messageDelay.store(delay);
    emit messageDelayChangedTo(delay);
    setModified(true);
}

void MIDIPatchTarget::setMessageDelayType(MessageDelayType type)
{
    if (type == _messageDelayType.load())
        return;
    _messageDelayType.store(type);
    emit messageDelayTypeChangedTo(type);
    setModified(true);
}

void MIDIPatchTarget::chooseNextMessageDelayType()
{
    setMessageDelayType(isMessageDelayConstant() ? kRandomDelay : kConstantDelay);
}

bool MIDIPatchTarget::setMIDIOutputPortName(QString portName)
{
    if (portName == _outputPortName && _portInfo->hasOutputPortNamed(portName))
        return true;

    const QString oldName = _outputPortName;
    bool used = true;
    QString takenName = portName;
    if (!_portInfo->hasOutputPortNamed(portName)) {
        takenName = _findSuitableReplacementOutputPortNameFor(portName);
        used = false;
    }

    if (takenName != oldName) {
        // End what sounds on the old port before leaving it, and stop sending until the new
        // port is registered. The port manager is called without the message lock held.
        {
            std::lock_guard<RoutingMutex> lock(_messageLock);
            _endRecordedNotesLocked(127);
            _outputPortIndex.store(-1);
        }
        _portIOManager->removeRequiredOutputPortNamed(oldName, this);
        _portIOManager->addRequiredOutputPortNamed(takenName, this);
    }
    _outputPortName = takenName;
    _outputPortIndex.store(_portInfo->getIndexOfOutputPortNamed(takenName));
    emit midiPortNameChangedTo(takenName);
    setModified(true);
    return used;
}

QString MIDIPatchTarget::_findSuitableReplacementOutputPortNameFor(const QString& missingName) const
{
    return findReplacementForMissingPort(_portInfo, missingName, false);
}

void MIDIPatchTarget::handleMIDIMessage(double timeStamp, const midiMessage_t* message)
{
    if (_muted.load())
        return;
    const int delay = _messageDelay.load();
    if (delay > 0 && _portIOManager->hasTimedSends())
        _handleMIDIMessageNow(timeStamp, message, false, delay);
    else if (delay > 0)
        _handleMIDIMessageLater(timeStamp, message);
    else
        _handleMIDIMessageNow(timeStamp, message, false);
}

void MIDIPatchTarget::_handleMIDIMessageNow(double /*timeStamp*/, const midiMessage_t* message, bool released,
                                            int delay)
{
    {
        std::lock_guard<RoutingMutex> lock(_messageLock);
        // A note on that reaches a muted patch (queued before the mute, or racing it) would never
        // be ended: drop it. Everything else released from the delay queue still goes out.
        if (_muted.load() && (!released || isNoteOnMessage(message)))
            return;
        if (delay > 0)
            _currentDueTimeUs = _dueTimeForDelayLocked(delay);

        ++_currentMessageTag;
        const bool noteOff = isNoteOffMessage(message);
        if (isNoteMessage(message)) {
            _currentSourceChannel = getMIDIChannelIndex(message);
            _currentSourceNote = getNote(message);
        } else {
            _currentSourceChannel = SoundingNoteRecord::kNoSource;
            _currentSourceNote = SoundingNoteRecord::kNoSource;
        }

        copyMIDIMessage(message, &_workingMessage);
        const BYTE channel = _midiChannel.load();
        // System messages (transport, song position, reset) have no channel: they pass unchanged,
        // untouched by the channel and the transforms, in order with the notes around them.
        const bool channelMessage = isChannelMessage(&_workingMessage);
        if (channel != kAnyChannel && channelMessage)
            setMIDIChannelIndex(&_workingMessage, channel);

        if (_transforms.isEmpty() || !channelMessage) {
            _deliver(&_workingMessage);
        } else {
            _messageList.clear();
            _messageList.push_back(&_workingMessage);
            for (MIDIDataTransform* mdt : _transforms) {
                if (!mdt->isBypassed())
                    mdt->transformWhatYouCan(&_messageList);
            }
            // Messages a transform appended go out before the message they came from.
            for (auto it = _messageList.rbegin(); it != _messageList.rend(); ++it)
                _deliver(*it);
            _messageList.clear();
        }

        // The note off of an incoming note also ends whatever that note started here and the
        // chain did not end now (a transform whose settings changed while the note was held).
        if (noteOff)
            _endNotesOfSourceLocked(_currentSourceChannel, _currentSourceNote, getVelocity(message));
        _currentSourceChannel = SoundingNoteRecord::kNoSource;
        _currentSourceNote = SoundingNoteRecord::kNoSource;
        _currentDueTimeUs = -1;
    }
    if (ModelSignalPump::isRunning() && !_messageActivity.load(std::memory_order_relaxed))
        _messageActivity.store(true, std::memory_order_relaxed);
}

void MIDIPatchTarget::connectNotify(const QMetaMethod& signal)
{
    noteConnection(signal, {QMetaMethod::fromSignal(&MIDIPatchTarget::receivedMIDIMessage)});
}

bool MIDIPatchTarget::hasPumpedListeners() const
{
    return isSignalConnected(QMetaMethod::fromSignal(&MIDIPatchTarget::receivedMIDIMessage));
}

void MIDIPatchTarget::emitPendingSignals()
{
    if (_messageActivity.exchange(false))
        emit receivedMIDIMessage();
}

void MIDIPatchTarget::_deliver(midiMessage_t* message)
{
    const int portIndex = _outputPortIndex.load();
    if (portIndex < 0)
        return;
    if (_sounding.isFull() && isNoteOnMessage(message) &&
        !(_currentSourceNote == SoundingNoteRecord::kNoSource &&
          _sounding.contains(getMIDIChannelIndex(message), getNote(message)))) {
        // No room to remember another note: end the oldest one rather than risk a note that
        // could never be ended.
        const SoundingNoteRecord::Entry oldest = _sounding.at(0);
        _sounding.removeAt(0);
        setNoteOffMessage(&_evictionMessage, oldest.note, 0);
        setMIDIChannelIndex(&_evictionMessage, oldest.channel);
        _sendToPort(portIndex, &_evictionMessage);
    }
    // Only what the port took is recorded: a note that never left needs no note off.
    if (_sendToPort(portIndex, message))
        _sounding.noteDelivered(message, _currentSourceChannel, _currentSourceNote, _currentMessageTag);
}

void MIDIPatchTarget::_endNotesOfSourceLocked(BYTE sourceChannel, BYTE sourceNote, BYTE velocity)
{
    const int portIndex = _outputPortIndex.load();
    int index;
    while ((index = _sounding.indexOfSource(sourceChannel, sourceNote, _currentMessageTag)) >= 0) {
        const SoundingNoteRecord::Entry entry = _sounding.at(index);
        _sounding.removeAt(index);
        setNoteOffMessage(&_generatedMessage, entry.note, velocity);
        setMIDIChannelIndex(&_generatedMessage, entry.channel);
        if (portIndex >= 0)
            _sendToPort(portIndex, &_generatedMessage);
    }
}

bool MIDIPatchTarget::_sendToPort(int portIndex, midiMessage_t* message)
{
    if (_currentDueTimeUs >= 0)
        return _portIOManager->deliverMessageToOutputPortAt(portIndex, message, _currentDueTimeUs, _ownerTag);
    return _portIOManager->deliverMessageToOutputPort(portIndex, message);
}

void MIDIPatchTarget::_endRecordedNotesLocked(BYTE velocity)
{
    const int portIndex = _outputPortIndex.load();
    // Delayed note ons the backend still holds never go out: their note offs go now.
    if (portIndex >= 0)
        _portIOManager->cancelScheduledNoteOns(portIndex, _ownerTag);
    for (int i = 0; i < _sounding.count(); ++i) {
        const SoundingNoteRecord::Entry& entry = _sounding.at(i);
        setNoteOffMessage(&_generatedMessage, entry.note, velocity);
        setMIDIChannelIndex(&_generatedMessage, entry.channel);
        if (portIndex >= 0)
            _portIOManager->deliverMessageToOutputPort(portIndex, &_generatedMessage);
    }
    _sounding.clear();
    // Then every gesture left away from rest goes back to it where it was sent: the pedals up,
    // the bend centred, the wheels to 0.
    for (int gesture = 0; gesture < GestureState::kNumGestures; ++gesture) {
        for (BYTE channel = 0; channel < 16; ++channel) {
            if (!_sounding.isAwayFromRest(gesture, channel))
                continue;
            GestureState::writeRestMessage(&_generatedMessage, gesture, channel);
            if (portIndex >= 0)
                _portIOManager->deliverMessageToOutputPort(portIndex, &_generatedMessage);
        }
    }
    _sounding.clearGestures();
}

void MIDIPatchTarget::endSoundingNotes()
{
    std::lock_guard<RoutingMutex> lock(_messageLock);
    _endRecordedNotesLocked(127);
}

void MIDIPatchTarget::panic()
{
    std::lock_guard<RoutingMutex> lock(_messageLock);
    _endRecordedNotesLocked(127);
    const int portIndex = _outputPortIndex.load();
    if (portIndex < 0)
        return;
    const BYTE channel = _midiChannel.load();
    const BYTE first = channel == kAnyChannel ? 0 : channel;
    const BYTE last = channel == kAnyChannel ? 15 : channel;
    for (int ch = first; ch <= last; ++ch) {
        for (BYTE controller : {kSustainPedal, kAllNotesOff}) {
            setControlChangeMessage(&_generatedMessage);
            setControlNumberAndValue(&_generatedMessage, controller, 0);
            setMIDIChannelIndex(&_generatedMessage, BYTE(ch));
            _portIOManager->deliverMessageToOutputPort(portIndex, &_generatedMessage);
        }
    }
}

void MIDIPatchTarget::outputPortVanished()
{
    std::lock_guard<RoutingMutex> lock(_messageLock);
    _sounding.clear();
    _sounding.clearGestures();
}

void MIDIPatchTarget::outputPortReturned()
{
    MIDIOutput* output = getParentMIDIOutput();
    if (output && output->isActive())
        performNeededActivationSteps();
}

int MIDIPatchTarget::getNumNotesSounding() const
{
    std::lock_guard<RoutingMutex> lock(_messageLock);
    return _sounding.count();
}

BYTE MIDIPatchTarget::_channelForGeneratedMessages() const
{
    const BYTE channel = _midiChannel.load();
    return channel == kAnyChannel ? 0 : channel;
}

void MIDIPatchTarget::performNeededActivationSteps()
{
    if (_muted.load())
        return;
    std::lock_guard<RoutingMutex> lock(_messageLock);
    if (_initializers.isEmpty())
        return;
    ++_currentMessageTag;
    for (MIDIPatchInitializer* mpi : _initializers) {
        // A copy taken now: the GUI thread may be rewriting the initializer's own buffer.
        mpi->writeInitializationMessageTo(&_generatedMessage);
        setMIDIChannelIndex(&_generatedMessage, _channelForGeneratedMessages());
        _deliver(&_generatedMessage);
    }
}

void MIDIPatchTarget::_mpiMessageDeliveryReqSLOT(midiMessage_t* message)
{
    MIDIOutput* output = getParentMIDIOutput();
    if (!output || !output->isActive() || _muted.load() || !message)
        return;
    std::lock_guard<RoutingMutex> lock(_messageLock);
    ++_currentMessageTag;
    copyMIDIMessage(message, &_generatedMessage);
    setMIDIChannelIndex(&_generatedMessage, _channelForGeneratedMessages());
    _deliver(&_generatedMessage);
}

void MIDIPatchTarget::_handleMIDIMessageLater(double /*timeStamp*/, const midiMessage_t* message)
{
    std::unique_lock<std::mutex> lock(_queueLock);
    _delayedQueue.append(DelayedMessage{*message, std::chrono::steady_clock::now()});
    // On the patch's own thread the connection calls the slot at once, and the slot takes the
    // queue lock. From any other thread the call is posted; posting it under the queue lock, which
    // its slot takes first, orders the posted call before the slot for every observer, including
    // ThreadSanitizer, which cannot see the locking inside Qt's event queue.
    if (QThread::currentThread() == thread())
        lock.unlock();
    emit _doDelayedMessageHandling();
}

std::int64_t MIDIPatchTarget::_dueTimeForDelayLocked(int delay)
{
    // The delay counts from the moment the message came in, on the backend's clock; the chain runs
    // now and the backend places what it yields at the frame where the delay ends.
    const std::int64_t arrival = _portIOManager->getCurrentMIDITimeUs();
    int wait = delay;
    if (isMessageDelayRandom()) {
        // xorshift: no state shared with other threads, unlike rand().
        _randomState ^= _randomState << 13;
        _randomState ^= _randomState >> 17;
        _randomState ^= _randomState << 5;
        wait = int(_randomState % std::uint32_t(delay)) + 1;
    }
    // A message never overtakes one that came before it; only the spacing varies.
    _lastDueTimeUs = std::max(_lastDueTimeUs, arrival + std::int64_t(wait) * 1000);
    return _lastDueTimeUs;
}

void MIDIPatchTarget::_doDelayedMessageTimerSLOT()
{
    // GUI thread. One call per queued message, in arrival order.
    const int delay = _messageDelay.load();
    int wait = delay;
    if (isMessageDelayRandom() && delay > 0)
        wait = std::rand() % delay + 1;
    std::chrono::steady_clock::time_point arrival = std::chrono::steady_clock::now();
    {
        std::lock_guard<std::mutex> lock(_queueLock);
        if (_numScheduled < _delayedQueue.size())
            arrival = _delayedQueue.at(_numScheduled).arrival;
        ++_numScheduled;
    }
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - arrival)
            .count();
    // Precise timers: a coarse timer may be off by 5 % of the wait.
    QTimer::singleShot(std::max<int>(0, wait - int(elapsed)), Qt::PreciseTimer, this,
                       &MIDIPatchTarget::_processMessageFromDelayedQueueSLOT);
}

void MIDIPatchTarget::_processMessageFromDelayedQueueSLOT()
{
    std::lock_guard<std::mutex> queueLock(_queueLock);
    if (_delayedQueue.isEmpty())
        return;
    const midiMessage_t message = _delayedQueue.takeFirst().message;
    _numScheduled = std::max(0, _numScheduled - 1);
    _handleMIDIMessageNow(0, &message, true);
}
