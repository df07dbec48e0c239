#pragma once

#include <functional>

/// Runs `cleanup` after the last benchmark, before the application object goes, newest first.
/// Benchmarks that build a setup or open JACK clients on first use register their teardown here,
/// so ports are closed while Qt and the MIDI service are still there. Main thread only.
void runAtBenchmarkExit(std::function<void()> cleanup);

/// The benchmark's rig, made and built on first use and torn down (its tearDown() when it has one,
/// then its destructor) after the last benchmark. Main thread only.
template <typename Rig> Rig& sharedRig()
{
    static Rig* theRig = [] {
        auto* made = new Rig;
        made->build();
        runAtBenchmarkExit([made] {
            if constexpr (requires { made->tearDown(); })
                made->tearDown();
            delete made;
        });
        return made;
    }();
    return *theRig;
}
