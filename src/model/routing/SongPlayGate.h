#pragma once

#include <atomic>

/// How the inputs of one setup take part in routing, shared by the setup and each of its inputs
/// (held by shared pointer, so an input that outlives its setup still reads a valid gate). A
/// single setup is always Live; a set list keeps the songs it has read ahead Dormant and lets the
/// song it has left go on Releasing until everything begun there has ended.
///
/// The state is read on the MIDI thread under each input's routing lock and written from any
/// thread (the set list's song change runs on the thread of the trigger).
class SongPlayGate
{
public:
    enum State : int
    {
        /// Every message is routed as usual.
        Live,
        /// Only what ends a note or a gesture begun here is routed, and only to the outputs where
        /// it still sounds or is away from rest; nothing new starts, nothing switches.
        Releasing,
        /// Nothing is routed: the song is read and its ports are open, waiting its turn.
        Dormant
    };

    State state() const { return static_cast<State>(_state.load(std::memory_order_seq_cst)); }
    void setState(State state) { _state.store(state, std::memory_order_seq_cst); }
    /// Changes the state only when it is `expected`; true when it did. Any thread.
    bool changeState(State expected, State desired)
    {
        int from = expected;
        return _state.compare_exchange_strong(from, desired, std::memory_order_seq_cst);
    }

private:
    std::atomic<int> _state{Live};
};
