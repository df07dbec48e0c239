#pragma once

#include <QString>

/// End-to-end tests that run on both JACK backends: the native one (the routing inside the JACK
/// cycle) and RtMidi's JACK path. ctest runs each such test twice; the run whose environment sets
/// QUORVELL_TEST_JACK_BACKEND=native uses the native backend.
namespace JackBackendUnderTest {

/// True in the run of the native backend.
bool isNative();
/// "native JACK" or "RtMidi JACK", for messages.
QString name();
/// Chooses the backend for the program inside the test process. Call before the port catalogue is
/// first used.
void select();
/// The --midi-api value that starts the program on the same backend: "jack" or "jack-rtmidi".
QString midiApiOption();

} // namespace JackBackendUnderTest
