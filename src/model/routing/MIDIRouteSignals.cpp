// What views hear of an input: the routing path leaves activity, notes, controller and pitch-bend
// values and the active output in fixed-size state; the pump turns them into signals here, on the
// GUI thread, with no lock held.
#include "model/ModelSignalPump.h"
#include "model/routing/ActivationLearn.h"
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"

#include <bit>

void MIDIRoute::_recordForViews(const midiMessage_t* message)
{
    // MIDI thread (or GUI thread for injection), routing lock held: no allocation, no blocking.
    if (!_inputActivity.load(std::memory_order_relaxed))
        _inputActivity.store(true, std::memory_order_relaxed);
    if (isNoteOnMessage(message)) {
        _noteEvents.push(true, getNote(message) & 0x7F, getVelocity(message));
    } else if (isNoteOffMessage(message)) {
        _noteEvents.push(false, getNote(message) & 0x7F, getVelocity(message));
    } else if (isControlChangeMessage(message)) {
        const BYTE controller = getControlChangeNumber(message) & 0x7F;
        _controllersChanged[controller / 64].fetch_or(std::uint64_t(1) << (controller % 64),
                                                      std::memory_order_release);
    } else if (isPitchBendMessage(message)) {
        _pitchBendChanged.store(true, std::memory_order_release);
    }
}

void MIDIRoute::connectNotify(const QMetaMethod& signal)
{
    noteConnection(signal, {QMetaMethod::fromSignal(&MIDIRoute::receivedMIDIInput),
                            QMetaMethod::fromSignal(&MIDIRoute::receivedNoteOn),
                            QMetaMethod::fromSignal(&MIDIRoute::receivedNoteOff),
                            QMetaMethod::fromSignal(&MIDIRoute::receivedControlMessage),
                            QMetaMethod::fromSignal(&MIDIRoute::receivedPitchBendMessage),
                            QMetaMethod::fromSignal(&MIDIRoute::activeMIDIOutputChangedTo)});
}

bool MIDIRoute::hasPumpedListeners() const
{
    return isSignalConnected(QMetaMethod::fromSignal(&MIDIRoute::receivedMIDIInput)) ||
           isSignalConnected(QMetaMethod::fromSignal(&MIDIRoute::receivedNoteOn)) ||
           isSignalConnected(QMetaMethod::fromSignal(&MIDIRoute::receivedNoteOff)) ||
           isSignalConnected(QMetaMethod::fromSignal(&MIDIRoute::receivedControlMessage)) ||
           isSignalConnected(QMetaMethod::fromSignal(&MIDIRoute::receivedPitchBendMessage)) ||
           isSignalConnected(QMetaMethod::fromSignal(&MIDIRoute::activeMIDIOutputChangedTo));
}

void MIDIRoute::pumpStarted()
{
    // Nothing was recorded while the pump stood still: start from the outputs' records.
    _noteEvents.drain();
    _noteEvents.takeOverflow();
    _notesNeedResync = true;
    _inputActivity.store(false);
    _pitchBendChanged.store(false);
    for (auto& changed : _controllersChanged)
        changed.store(0);
}

void MIDIRoute::emitPendingSignals()
{
    _learn->poll();
    if (_activationRequested.exchange(false)) {
        MIDIRoutingSetup* setup = getParentRoutingSetup();
        if (setup && setup->hasMIDIRoute(this))
            setup->setActiveRoute(this);
    }
    _announceActiveOutput();
    if (_inputActivity.exchange(false))
        emit receivedMIDIInput();
    _emitNoteEvents();
    for (int word = 0; word < 2; ++word) {
        std::uint64_t changed = _controllersChanged[word].exchange(0, std::memory_order_acquire);
        while (changed != 0) {
            const int bit = std::countr_zero(changed);
            changed &= changed - 1;
            const int controller = word * 64 + bit;
            emit receivedControlMessage(controller, _lastCCValues[controller].load());
        }
    }
    if (_pitchBendChanged.exchange(false, std::memory_order_acquire))
        emit receivedPitchBendMessage(_lastPitchBendValue.load());
}

void MIDIRoute::_announceActiveOutput()
{
    MIDIOutput* active = _activeOutput.load();
    if (active != _announcedActiveOutput) {
        _announcedActiveOutput = active;
        emit activeMIDIOutputChangedTo(active);
    }
    // A copy: a slot may change the list.
    const QList<MIDIOutput*> outputs = _outputs.items();
    for (MIDIOutput* output : outputs)
        output->_announceActiveState();
}

void MIDIRoute::_emitNoteEvents()
{
    if (_noteEvents.takeOverflow() || _notesNeedResync) {
        // Events were lost: what the outputs hold sounding is the truth, so no key stays lit.
        _noteEvents.drain();
        _notesNeedResync = false;
        _resynchroniseNotes();
        return;
    }
    NoteEventRing::Event event;
    while (_noteEvents.pop(event)) {
        _announcedNotes.set(event.note, event.on);
        if (event.on)
            emit receivedNoteOn(event.note, event.velocity);
        else
            emit receivedNoteOff(event.note);
    }
}

void MIDIRoute::_resynchroniseNotes()
{
    std::bitset<128> sounding;
    std::array<BYTE, 128> velocities{};
    {
        std::lock_guard<RoutingMutex> lock(_routingMutex);
        for (MIDIOutput* output : _outputs) {
            for (int i = 0; i < output->_numNotesSounding; ++i) {
                const int note = output->_notesSounding[i] & 0x7F;
                sounding.set(note);
                velocities[note] = std::max(velocities[note], output->_soundingVelocities[note]);
            }
        }
    }
    for (int note = 0; note < 128; ++note) {
        if (_announcedNotes.test(note) && !sounding.test(note)) {
            _announcedNotes.reset(note);
            emit receivedNoteOff(note);
        }
    }
    for (int note = 0; note < 128; ++note) {
        if (sounding.test(note) && !_announcedNotes.test(note)) {
            _announcedNotes.set(note);
            emit receivedNoteOn(note, velocities[note] > 0 ? velocities[note] : 1);
        }
    }
}
