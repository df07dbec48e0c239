#pragma once

// The locks of the routing model and the order in which they are taken. Every class that takes
// one of them points here.
//
//  1. An input's routing lock (MIDIRoute). Held while one message is routed (MIDI thread, or the
//     GUI thread for injected messages), while an output is switched, while an input's output list
//     or an output's patch list changes, and while an output's record of sounding notes is read.
//  2. A patch's queue lock (MIDIPatchTarget). Guards its delayed-message queue.
//  3. A patch's message lock (MIDIPatchTarget). Held across channel forcing, the transform chain
//     and sending; while its transform chain or initializer list changes; while its record of
//     sent notes is read or ended.
//
// A thread holding one of them may take only a later one: routing lock, then queue lock, then
// message lock. None is ever taken twice by one thread, so none is recursive. The routing and
// message locks, which a JACK process cycle may wait for, are RoutingMutex: priority-inheriting, so
// a GUI thread holding one is never kept off the processor while the MIDI thread waits. How long
// the GUI thread holds them is measured by bench_RouteLockHold.
//
// Rules that go with them:
//  - No Qt signal is emitted while any of them is held, but one: a delayed message handed over
//    from another thread posts its call to the patch's thread under the queue lock (posting runs
//    no slot and takes only Qt's event-queue lock). The MIDI thread emits nothing else: it leaves
//    what views need for the ModelSignalPump. GUI-thread edits change the model under the
//    lock and emit their signals after releasing it (OwnedChildList does so for every list).
//  - Port requirements (MIDIPortIOManager::add/removeRequired...) are never changed while any of
//    them is held: a table change waits for the deliveries in progress, and a delivery may be
//    waiting for the lock.
//  - The port manager's own table gate is not a lock the model takes: deliveries wait for a table
//    change only for microseconds and never while the GUI thread waits for them.
