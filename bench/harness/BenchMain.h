#pragma once

#include <functional>

/// Runs `cleanup` after the last benchmark, before the application object goes, newest first.
/// Benchmarks that build a setup or open JACK clients on first use register their teardown here,
/// so ports are closed while Qt and the MIDI service are still there. Main thread only.
void runAtBenchmarkExit(std::function<void()> cleanup);
