#include "harness/ProbeNotes.h"

#include <QEventLoop>
#include <QTimer>

#include <random>
#include <thread>

namespace {

constexpr int kFirstNote = 36;
constexpr int kNotes = 48;

} // namespace

midiMessage_t ProbeNotes::messageAt(int index)
{
    const int pair = (index / 2) % (kMaxMessages / 2);
    const BYTE note = BYTE(kFirstNote + pair % kNotes);
    const BYTE velocity = BYTE(1 + pair / kNotes);
    return {BYTE(index % 2 == 0 ? 0x90 : 0x80), note, velocity};
}

int ProbeNotes::indexOf(const midiMessage_t& bytes)
{
    if (bytes.size() != 3 || (bytes[0] != 0x90 && bytes[0] != 0x80))
        return -1;
    const int note = bytes[1];
    const int velocity = bytes[2];
    if (note < kFirstNote || note >= kFirstNote + kNotes || velocity < 1 || velocity > 127)
        return -1;
    const int pair = (velocity - 1) * kNotes + (note - kFirstNote);
    return 2 * pair + (bytes[0] == 0x80 ? 1 : 0);
}

std::vector<ProbeNotes::Clock::time_point>
ProbeNotes::sendSpaced(JackTestClient& source, int count, unsigned seed, double minGapMs, double maxGapMs)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> gap(minGapMs, maxGapMs);
    std::vector<Clock::time_point> sent(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const midiMessage_t message = messageAt(i);
        sent[static_cast<size_t>(i)] = Clock::now();
        source.send(message);
        std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(gap(random)));
    }
    return sent;
}

std::vector<double> ProbeNotes::latenciesMs(const std::vector<Clock::time_point>& sent,
                                            const std::vector<JackTestClient::ReceivedMessage>& received)
{
    std::vector<double> latencies(sent.size(), -1.0);
    for (const JackTestClient::ReceivedMessage& arrival : received) {
        const int index = indexOf(arrival.bytes);
        if (index < 0 || static_cast<size_t>(index) >= sent.size())
            continue;
        const std::chrono::duration<double, std::milli> latency =
            arrival.arrival - sent[static_cast<size_t>(index)];
        latencies[static_cast<size_t>(index)] = latency.count();
    }
    return latencies;
}

bool ProbeNotes::runEventLoopUntil(const std::function<bool()>& done, int timeoutMs)
{
    if (done())
        return true;
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(2);
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    bool finished = false;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        finished = done();
        if (finished || Clock::now() >= deadline)
            loop.quit();
    });
    poll.start();
    loop.exec();
    return finished;
}
