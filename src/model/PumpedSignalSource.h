#pragma once

#include <QMetaMethod>

#include <initializer_list>

/// A model object whose MIDI-thread activity reaches views through the ModelSignalPump. Code on
/// the MIDI thread only writes fixed-size state (flags, last values, rings); on each pump tick the
/// GUI thread turns that state into the object's ordinary signals, with no lock held.
/// Registers with the pump when made and leaves it when destroyed. GUI thread only.
class PumpedSignalSource
{
public:
    PumpedSignalSource();
    virtual ~PumpedSignalSource();
    PumpedSignalSource(const PumpedSignalSource&) = delete;
    PumpedSignalSource& operator=(const PumpedSignalSource&) = delete;

    /// Emits what the MIDI thread left since the last call. GUI thread, no model lock held.
    virtual void emitPendingSignals() = 0;
    /// True while any of the pumped signals has a receiver. GUI thread.
    virtual bool hasPumpedListeners() const = 0;
    /// The pump has just started: whatever was recorded before is stale. GUI thread.
    virtual void pumpStarted() {}

protected:
    /// Starts the pump when `signal` is one of `pumped`. Call from connectNotify.
    static void noteConnection(const QMetaMethod& signal, std::initializer_list<QMetaMethod> pumped);

private:
    friend class ModelSignalPump;
    int _pumpSlot = -1;
};
