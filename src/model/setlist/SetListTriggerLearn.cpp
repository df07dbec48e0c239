#include "model/setlist/SetListTriggerLearn.h"

#include "midi/MIDIPortIOManager.h"
#include "midi/MIDIPortInfo.h"
#include "model/setlist/SetListPlayer.h"
#include "model/setlist/SetListTriggerPortKeeper.h"

namespace {

constexpr int kPollIntervalMs = 10;

} // namespace

SetListTriggerLearn::SetListTriggerLearn(QObject* parent) : QObject(parent)
{
    _pollTimer.setInterval(kPollIntervalMs);
    _timeoutTimer.setSingleShot(true);
    _timeoutTimer.setInterval(kTimeoutMs);
    connect(&_pollTimer, &QTimer::timeout, this, &SetListTriggerLearn::processPendingWork);
    connect(&_timeoutTimer, &QTimer::timeout, this, &SetListTriggerLearn::cancel);
}

SetListTriggerLearn::~SetListTriggerLearn()
{
    if (_learning)
        _finish();
}

bool SetListTriggerLearn::start(SetListPlayer* player)
{
    if (_learning)
        return false;
    _learning = true;
    _player = player;
    _portIndex.store(-1);
    _status.store(0);
    _number.store(0);
    _state.store(Listening);
    // Every input port is heard: the foot switch may be on a port no song listens to.
    const QStringList names = MIDIPortInfo::GetInstance()->getInputPortNames();
    for (const QString& name : names)
        _portKeepers.push_back(std::make_unique<SetListTriggerPortKeeper>(name));
    MIDIPortIOManager* io = MIDIPortIOManager::GetInstance();
    _previousInterceptor = io->getInputInterceptor();
    io->setInputInterceptor(this);
    _pollTimer.start();
    _timeoutTimer.start();
    emit learnStarted();
    return true;
}

void SetListTriggerLearn::cancel()
{
    if (!_learning)
        return;
    _finish();
    emit learnCancelled();
}

void SetListTriggerLearn::_finish()
{
    _learning = false;
    _pollTimer.stop();
    _timeoutTimer.stop();
    MIDIPortIOManager* io = MIDIPortIOManager::GetInstance();
    // The player's triggers come back only while it plays: a player that stopped meanwhile has
    // let go of its tables, and one that started again has put itself in front already.
    if (io->getInputInterceptor() == this) {
        const bool playerStillPlays = _player && _player->isPlaying();
        io->setInputInterceptor(playerStillPlays ? _previousInterceptor : nullptr);
    }
    _previousInterceptor = nullptr;
    _player = nullptr;
    _state.store(Idle);
    _portKeepers.clear();
}

bool SetListTriggerLearn::interceptMIDIInputMessage(int inputPortIndex, double, const midiMessage_t* message)
{
    return offerMessage(inputPortIndex, message);
}

bool SetListTriggerLearn::offerMessage(int inputPortIndex, const midiMessage_t* message)
{
    // MIDI thread: atomics only.
    const int state = _state.load(std::memory_order_acquire);
    if (state == Listening) {
        if (!isNoteOnMessage(message) && !isProgramChangeMessage(message) && !isControlChangeMessage(message))
            return false;
        // Only the first message is learnt, should two ports deliver at once: it claims the slot
        // before filling it.
        int expected = Listening;
        if (!_state.compare_exchange_strong(expected, Claimed, std::memory_order_acq_rel))
            return false;
        _portIndex.store(inputPortIndex, std::memory_order_relaxed);
        _status.store((*message)[0], std::memory_order_relaxed);
        _number.store((*message)[1], std::memory_order_relaxed);
        _state.store(Learnt, std::memory_order_release);
        return true;
    }
    if (state == Learnt) {
        // The rest of the learnt gesture stays away from the song until the learn ends.
        if (inputPortIndex != _portIndex.load(std::memory_order_relaxed) || message->size() < 2)
            return false;
        const int status = _status.load(std::memory_order_relaxed);
        const BYTE channel = BYTE(status & 0x0F);
        if (getMIDIChannelIndex(message) != channel ||
            (*message)[1] != _number.load(std::memory_order_relaxed))
            return false;
        if ((status & 0xF0) == 0x90)
            return isNoteMessage(message);
        if ((status & 0xF0) == 0xB0)
            return isControlChangeMessage(message);
    }
    return false;
}

void SetListTriggerLearn::processPendingWork()
{
    if (!_learning || _state.load(std::memory_order_acquire) != Learnt)
        return;
    const int portIndex = _portIndex.load();
    const int status = _status.load();
    const BYTE number = BYTE(_number.load());
    QString portName;
    const QStringList names = MIDIPortInfo::GetInstance()->getInputPortNames();
    for (const QString& name : names) {
        if (MIDIPortIOManager::GetInstance()->getIndexOfInputPortNamed(name) == portIndex)
            portName = name;
    }
    SetListTrigger::MessageType type = SetListTrigger::MessageType::Controller;
    if ((status & 0xF0) == 0x90)
        type = SetListTrigger::MessageType::Note;
    else if ((status & 0xF0) == 0xC0)
        type = SetListTrigger::MessageType::ProgramChange;
    SetListTrigger trigger(SetListTrigger::Action::Next, portName, BYTE(status & 0x0F), type, number);
    trigger.setValueRange(64, 127);
    _finish();
    emit learnt(trigger);
}
