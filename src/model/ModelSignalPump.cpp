#include "model/ModelSignalPump.h"

#include "model/PumpedSignalSource.h"

#include <QThread>

ModelSignalPump* ModelSignalPump::_instance = nullptr;
std::atomic<bool> ModelSignalPump::_running{false};
std::thread::id ModelSignalPump::_guiThread;

ModelSignalPump* ModelSignalPump::GetInstance()
{
    if (!_instance)
        _instance = new ModelSignalPump();
    return _instance;
}

ModelSignalPump::ModelSignalPump() : QObject(nullptr)
{
    _guiThread = std::this_thread::get_id();
    _timer.setInterval(kIntervalMs);
    connect(&_timer, &QTimer::timeout, this, &ModelSignalPump::_tick);
}

bool ModelSignalPump::isGuiThread()
{
    return _instance && std::this_thread::get_id() == _guiThread;
}

void ModelSignalPump::_addSource(PumpedSignalSource* source)
{
    if (!_freeSlots.empty()) {
        source->_pumpSlot = _freeSlots.back();
        _freeSlots.pop_back();
        _sources[static_cast<size_t>(source->_pumpSlot)] = source;
    } else {
        source->_pumpSlot = static_cast<int>(_sources.size());
        _sources.push_back(source);
    }
    if (isRunning())
        source->pumpStarted();
}

void ModelSignalPump::_removeSource(PumpedSignalSource* source)
{
    const int slot = source->_pumpSlot;
    if (slot < 0 || static_cast<size_t>(slot) >= _sources.size() ||
        _sources[static_cast<size_t>(slot)] != source)
        return;
    _sources[static_cast<size_t>(slot)] = nullptr;
    _freeSlots.push_back(slot);
    source->_pumpSlot = -1;
}

void ModelSignalPump::listenerConnected()
{
    if (QThread::currentThread() == thread())
        _start();
    else
        QMetaObject::invokeMethod(this, &ModelSignalPump::_start, Qt::QueuedConnection);
}

void ModelSignalPump::_start()
{
    if (isRunning())
        return;
    _running.store(true);
    for (size_t i = 0; i < _sources.size(); ++i) {
        if (PumpedSignalSource* source = _sources[i])
            source->pumpStarted();
    }
    _timer.start();
}

ModelSignalPump::Hold::Hold()
{
    ModelSignalPump* pump = GetInstance();
    ++pump->_holds;
    pump->_start();
}

ModelSignalPump::Hold::~Hold()
{
    --GetInstance()->_holds;
}

bool ModelSignalPump::_anyListeners() const
{
    for (PumpedSignalSource* source : _sources) {
        if (source && source->hasPumpedListeners())
            return true;
    }
    return false;
}

void ModelSignalPump::pumpNow()
{
    ++_ticks;
    // By index: a slot may add or remove objects while the tick runs.
    for (size_t i = 0; i < _sources.size(); ++i) {
        if (PumpedSignalSource* source = _sources[i])
            source->emitPendingSignals();
    }
    emit pumped();
}

void ModelSignalPump::_tick()
{
    pumpNow();
    if (_holds == 0 && !_anyListeners()) {
        _timer.stop();
        _running.store(false);
    }
}
