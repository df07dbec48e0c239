#include "model/routing/MIDIRoute.h"

#include "app/StatusManager.h"
#include "midi/MIDIPortIOManager.h"
#include "midi/MIDIPortInfo.h"
#include "model/MIDIMessageValidity.h"
#include "model/ModelSignalPump.h"
#include "model/routing/ActivationLearn.h"
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIRouteInputMessageHandler.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "model/routing/MissingPortReplacement.h"

namespace {

bool isClockOrActiveSensing(const midiMessage_t* message)
{
    return !message->empty() && ((*message)[0] == 0xF8 || (*message)[0] == 0xFE);
}

} // namespace

MIDIRoute::MIDIRoute(QString portName, BYTE channel, QString name, QObject* parent)
    : ColorLabeledMIDIObject(std::move(name), parent), _midiChannel(channel)
{
    _init();
    setMIDIInputPortName(std::move(portName));
}

MIDIRoute::MIDIRoute(QDomElement& element, QObject* parent) : ColorLabeledMIDIObject(QString(), parent)
{
    _init();
    initFromDomElement(element);
}

void MIDIRoute::_init()
{
    _portIOManager = MIDIPortIOManager::GetInstance();
    _portInfo = MIDIPortInfo::GetInstance();
    // An input read into a setup takes its gate before it registers with its port, so an input of
    // a song read ahead never routes a message before its turn.
    if (auto* setup = qobject_cast<MIDIRoutingSetup*>(parent()))
        _playGate = setup->getPlayGate();
    _inputHandler = new MIDIRouteInputMessageHandler(this);
    _learn = std::make_unique<ActivationLearn>(this, _routingMutex);
    _injectionMessage.reserve(3);
    _updateActivationMessageType();
}

MIDIRoute::~MIDIRoute()
{
    _learn->cutShort(QStringLiteral("the input was removed"));
    // Once the port manager lets go of the handler no delivery is running or will run here.
    _portIOManager->removeRequiredInputPortNamed(_inputPortName, _inputHandler);
    delete _inputHandler;
    _learn.reset();
    _activeOutput.store(nullptr);
    _outputs.deleteAll();
}

MIDIRoutingSetup* MIDIRoute::getParentRoutingSetup() const
{
    return qobject_cast<MIDIRoutingSetup*>(parent());
}

bool MIDIRoute::isActivationMethodController() const
{
    const int method = getOutputActivationMethod();
    return method >= kFirstControllerMethod && method <= kLastControllerMethod;
}

void MIDIRoute::_updateActivationMessageType()
{
    BYTE type = 0;
    if (isActivationMethodKeyswitch())
        type = kNoteOn;
    else if (isActivationMethodProgramChange())
        type = kProgramChange;
    else if (isActivationMethodController())
        type = kControlChange;
    _activationMessageType.store(type);
}

void MIDIRoute::setModified(bool modified)
{
    if (!modified)
        _outputs.clearModified();
    BaseMIDIObject::setModified(modified);
}

void MIDIRoute::setMIDIChannel(BYTE channel)
{
    if (channel == _midiChannel.load())
        return;
    _midiChannel.store(channel);
    emit midiChannelChangedTo(channel);
    setModified(true);
}

void MIDIRoute::setOutputActivationMethod(OutputActivationMethod method)
{
    if (method == _activationMethod.load())
        return;
    _activationMethod.store(method);
    _updateActivationMessageType();
    emit outputActivationMethodChangedTo(method);
    setModified(true);
}

void MIDIRoute::setOutputActivationSpecificity(OutputActivationSpecificity specificity)
{
    if (specificity == _activationSpecificity.load())
        return;
    _activationSpecificity.store(specificity);
    emit outputActivationSpecificityChangedTo(specificity);
    setModified(true);
}

void MIDIRoute::setDropsStrayProgramChanges(bool drops)
{
    if (drops == _dropsStrayProgramChanges.load())
        return;
    _dropsStrayProgramChanges.store(drops);
    emit dropsStrayProgramChangesChangedTo(drops);
    setModified(true);
}

void MIDIRoute::setDropsClockAndActiveSensing(bool drops)
{
    if (drops == _dropsClockAndActiveSensing.load())
        return;
    _dropsClockAndActiveSensing.store(drops);
    emit dropsClockAndActiveSensingChangedTo(drops);
    setModified(true);
}

void MIDIRoute::sendActiveOutputInitializers()
{
    std::lock_guard<RoutingMutex> lock(_routingMutex);
    if (MIDIOutput* active = _activeOutput.load())
        active->_performActivationStepsOnPatchTargets();
}

void MIDIRoute::setActive(bool active)
{
    if (active == _active.load())
        return;
    _active.store(active);
    emit activeChangedTo(active);
}

bool MIDIRoute::setMIDIInputPortName(QString portName)
{
    if (portName == _inputPortName && _portInfo->hasInputPortNamed(portName))
        return true;
    const QString oldName = _inputPortName;
    bool used = true;
    QString takenName = portName;
    if (!_portInfo->hasInputPortNamed(portName)) {
        takenName = _findSuitableReplacementInputPortNameFor(portName);
        used = false;
    }
    if (takenName != oldName) {
        _portIOManager->removeRequiredInputPortNamed(oldName, _inputHandler);
        _portIOManager->addRequiredInputPortNamed(takenName, _inputHandler);
    }
    _inputPortName = takenName;
    emit midiPortNameChangedTo(takenName);
    setModified(true);
    return used;
}

QString MIDIRoute::_findSuitableReplacementInputPortNameFor(const QString& missingName) const
{
    return findReplacementForMissingPort(_portInfo, missingName, true);
}

MIDIOutput* MIDIRoute::_findOutputToActivate(BYTE value) const
{
    const bool range = isOutputActivationValueRange();
    for (MIDIOutput* output : _outputs) {
        if (output->isActive())
            continue;
        const BYTE main = output->getMainActivationValue();
        if (range ? (main <= value && value <= output->getActivationRangeValue()) : main == value)
            return output;
    }
    return nullptr;
}

void MIDIRoute::_handleMIDIInputMessage(double timeStamp, const midiMessage_t* message)
{
    // A port's messages come on the MIDI thread; tests and tools may also play on the GUI thread.
    _routeMessage(timeStamp, message, ModelSignalPump::isGuiThread());
}

void MIDIRoute::_routeMessage(double timeStamp, const midiMessage_t* message, bool onGuiThread)
{
    bool activationRequested = false;
    {
        std::lock_guard<RoutingMutex> lock(_routingMutex);

        // The channel filter applies to channel messages only: system messages (transport, song
        // position, reset) have no channel and reach the active output whatever the input listens to.
        const BYTE channel = _midiChannel.load();
        if (channel != kAnyChannel && isChannelMessage(message) && getMIDIChannelIndex(message) != channel)
            return;

        const SongPlayGate::State playState = _playGate ? _playGate->state() : SongPlayGate::Live;
        if (playState == SongPlayGate::Dormant)
            return;
        if (playState == SongPlayGate::Releasing) {
            _routeReleasingLocked(timeStamp, message);
            return;
        }

        activationRequested = isNoteOnMessage(message) && getNote(message) == kInputActivationNote;

        bool consumed = false;
        const BYTE activationType = _activationMessageType.load();
        if (activationType != 0 && getMIDIMessageType(message) == activationType &&
            (activationType != kControlChange ||
             isControlChangeNumber(message, BYTE(getActivationControllerNumber())))) {
            // A learn takes the switching message itself; a note on with velocity 0 ends a note.
            const bool switching = activationType != kNoteOn || isNoteOnMessage(message);
            if (switching && _learn->consume(getMIDIMessageValue(message))) {
                consumed = true;
            } else if (MIDIOutput* output = _findOutputToActivate(getMIDIMessageValue(message))) {
                _activateOutputLocked(output);
                consumed = true;
            }
        }

        // Stray messages the input is told to keep out: program changes that switched nothing,
        // and the clock and active sensing some keyboards send all the time.
        if (!consumed && ((isProgramChangeMessage(message) && _dropsStrayProgramChanges.load()) ||
                          (isClockOrActiveSensing(message) && _dropsClockAndActiveSensing.load())))
            consumed = true;

        if (!consumed) {
            MIDIOutput* active = _activeOutput.load();
            // Whatever ends what an output began also reaches it after a switch: note offs every
            // output still holding notes, and each value of a gesture (pedal, bend, wheel) every
            // output where that gesture is still away from rest on this channel, until it is back.
            int gesture = -1;
            if (isNoteOffMessage(message)) {
                for (MIDIOutput* output : _outputs) {
                    if (output == active || output->_numNotesSounding > 0)
                        output->handleMIDIMessage(timeStamp, message);
                }
            } else if ((gesture = GestureState::gestureOf(message)) >= 0) {
                const BYTE messageChannel = getMIDIChannelIndex(message);
                for (MIDIOutput* output : _outputs) {
                    if (output == active || output->_gestures.isAwayFromRest(gesture, messageChannel))
                        output->handleMIDIMessage(timeStamp, message);
                }
            } else if (active) {
                active->handleMIDIMessage(timeStamp, message);
            }
        }

        if (isControlChangeMessage(message))
            _lastCCValues[getControlChangeNumber(message) & 0x7F].store(getControlValue(message));
        else if (isPitchBendMessage(message))
            _lastPitchBendValue.store(getPitchBendValue(message));
        if (ModelSignalPump::isRunning())
            _recordForViews(message);
    }
    // Signals and the setup's switch happen with no lock held.
    if (activationRequested)
        _requestActivation(onGuiThread);
    if (onGuiThread)
        _announceActiveOutput();
}

void MIDIRoute::_routeReleasingLocked(double timeStamp, const midiMessage_t* message)
{
    // The rule between outputs, carried across songs: the active output is no exception here,
    // since the song that now plays has taken over the port.
    if (isNoteOffMessage(message)) {
        for (MIDIOutput* output : _outputs) {
            if (output->_numNotesSounding > 0)
                output->handleMIDIMessage(timeStamp, message);
        }
        return;
    }
    const int gesture = GestureState::gestureOf(message);
    if (gesture < 0)
        return;
    const BYTE messageChannel = getMIDIChannelIndex(message);
    for (MIDIOutput* output : _outputs) {
        if (output->_gestures.isAwayFromRest(gesture, messageChannel))
            output->handleMIDIMessage(timeStamp, message);
    }
}

bool MIDIRoute::isAtRest() const
{
    std::lock_guard<RoutingMutex> lock(_routingMutex);
    for (MIDIOutput* output : _outputs) {
        if (output->_numNotesSounding > 0 || output->_gestures.isAnyAwayFromRest())
            return false;
    }
    return true;
}

void MIDIRoute::adoptPlayGate(std::shared_ptr<SongPlayGate> gate)
{
    std::lock_guard<RoutingMutex> lock(_routingMutex);
    _playGate = std::move(gate);
}

void MIDIRoute::_activateOutputLocked(MIDIOutput* output, bool sendInitializers)
{
    output->_active.store(true);
    if (sendInitializers)
        output->_performActivationStepsOnPatchTargets();
    _activeOutput.store(output);
    for (MIDIOutput* other : _outputs) {
        if (other != output)
            other->_active.store(false);
    }
}

void MIDIRoute::_requestActivation(bool onGuiThread)
{
    MIDIRoutingSetup* setup = getParentRoutingSetup();
    if (!setup)
        return;
    if (onGuiThread) {
        setup->setActiveRoute(this);
    } else if (ModelSignalPump::isRunning()) {
        _activationRequested.store(true);
    } else {
        // No views and so no pump (headless): let the GUI thread's event loop switch. This is
        // the only allocation of the routing path, and only for this one key.
        QMetaObject::invokeMethod(
            setup,
            [setup, route = this] {
                if (setup->hasMIDIRoute(route))
                    setup->setActiveRoute(route);
            },
            Qt::QueuedConnection);
    }
}

void MIDIRoute::_handleInjectionMessage()
{
    // Injected messages pass the same check as a port's: only complete ones, channel set only on
    // channel messages.
    if (!isCompleteMIDIMessage(&_injectionMessage) || isSystemExclusiveMessage(&_injectionMessage))
        return;
    if (isChannelMessage(&_injectionMessage))
        setMIDIChannelIndex(&_injectionMessage, isSpecificMIDIChannel() ? getMIDIChannel() : BYTE(0));
    _routeMessage(0, &_injectionMessage, true);
}

void MIDIRoute::injectNoteOnMessage(BYTE note, BYTE velocity)
{
    setNoteOnMessage(&_injectionMessage, note, velocity);
    _handleInjectionMessage();
}

void MIDIRoute::injectNoteOffMessage(BYTE note)
{
    setNoteOffMessage(&_injectionMessage, note, 127);
    _handleInjectionMessage();
}

void MIDIRoute::injectControllerMessage(BYTE cc, BYTE value)
{
    setControlChangeMessage(&_injectionMessage);
    setControlNumberAndValue(&_injectionMessage, cc, value);
    _handleInjectionMessage();
}

void MIDIRoute::injectPitchBendMessage(unsigned short value)
{
    setPitchBendMessage(&_injectionMessage);
    setPitchBendValue(&_injectionMessage, pitchBendValue_t(value));
    _handleInjectionMessage();
}

void MIDIRoute::injectMessage(const midiMessage_t* message)
{
    if (!message || message->empty())
        return;
    copyMIDIMessage(message, &_injectionMessage);
    _handleInjectionMessage();
}

void MIDIRoute::endSoundingNotes()
{
    std::lock_guard<RoutingMutex> lock(_routingMutex);
    for (MIDIOutput* output : _outputs)
        output->_endSoundingNotesLocked();
}

void MIDIRoute::panic()
{
    std::lock_guard<RoutingMutex> lock(_routingMutex);
    for (MIDIOutput* output : _outputs)
        output->_panicLocked();
}
