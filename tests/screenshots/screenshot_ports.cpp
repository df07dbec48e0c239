// Stand-in MIDI devices on a private JACK server, for the pictures of scripts/screenshots: each
// "--source NAME" is a controller (listed as "NAME:MIDI Out" among input ports), each
// "--sink NAME" a sound module (listed as "NAME:MIDI In" among output ports). Runs until SIGINT
// or SIGTERM; prints "ready" once every port exists.
#include <RtMidi.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void requestStop(int)
{
    stopRequested = 1;
}

} // namespace

int main(int argc, char* argv[])
{
    std::vector<std::unique_ptr<RtMidiOut>> sources;
    std::vector<std::unique_ptr<RtMidiIn>> sinks;
    try {
        for (int i = 1; i + 1 < argc; i += 2) {
            const std::string name = argv[i + 1];
            if (std::strcmp(argv[i], "--source") == 0) {
                auto source = std::make_unique<RtMidiOut>(RtMidi::UNIX_JACK, name);
                source->openVirtualPort("MIDI Out");
                sources.push_back(std::move(source));
            } else if (std::strcmp(argv[i], "--sink") == 0) {
                auto sink = std::make_unique<RtMidiIn>(RtMidi::UNIX_JACK, name);
                sink->openVirtualPort("MIDI In");
                sinks.push_back(std::move(sink));
            }
        }
    } catch (const RtMidiError& error) {
        std::fprintf(stderr, "screenshot_ports: %s\n", error.getMessage().c_str());
        return 1;
    }
    std::signal(SIGINT, requestStop);
    std::signal(SIGTERM, requestStop);
    std::printf("ready\n");
    std::fflush(stdout);
    while (!stopRequested)
        ::usleep(100000);
    return 0;
}
