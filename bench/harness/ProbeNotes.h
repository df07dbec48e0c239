#pragma once

#include "midi/MIDITypes.h"
#include "support/JackTestClient.h"

#include <chrono>
#include <functional>
#include <vector>

/// Notes a benchmark plays through JACK to time them. Message i of a run is a note on for even i
/// and the matching note off for odd i; note number and velocity together make each message's
/// bytes unique within a run of up to kMaxMessages, so every arrival is matched to its send even
/// when some message is lost on the way. Channel 1, notes 36 to 83: no keyswitch, no note 21.
namespace ProbeNotes {

using Clock = std::chrono::steady_clock;

constexpr int kMaxMessages = 2 * 48 * 127;

/// The bytes of message i.
midiMessage_t messageAt(int index);

/// The number of the probe message with these bytes; -1 for anything else.
int indexOf(const midiMessage_t& bytes);

/// Sends messages 0 to count - 1 from `source`, with pauses drawn evenly from minGapMs to
/// maxGapMs (seeded, so runs repeat) that keep sends out of step with the JACK period. Returns the
/// moment each send began. Runs on the calling thread.
std::vector<Clock::time_point> sendSpaced(JackTestClient& source, int count, unsigned seed, double minGapMs,
                                          double maxGapMs);

/// For each probe message, milliseconds from its send to its arrival at the sink; negative when it
/// never arrived.
std::vector<double> latenciesMs(const std::vector<Clock::time_point>& sent,
                                const std::vector<JackTestClient::ReceivedMessage>& received);

/// Runs the Qt event loop of the calling thread until `done` answers true or `timeoutMs` passes;
/// returns the last answer. Timers (delayed messages) fire meanwhile.
bool runEventLoopUntil(const std::function<bool()>& done, int timeoutMs);

} // namespace ProbeNotes
