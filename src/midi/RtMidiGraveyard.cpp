#include "midi/RtMidiGraveyard.h"

#include "midi/RtMidiJackWatch.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Long after any process cycle that began before the close has ended, even on a loaded machine
// where the process thread does not run in real time.
constexpr auto kFullRest = std::chrono::seconds(2);
// What a clean stop waits for the youngest object, so the stop stays quick.
constexpr auto kShortRest = std::chrono::milliseconds(100);

struct Grave
{
    std::shared_ptr<void> object; // deletes the object as the type it was made
    Clock::time_point buriedAt;
};

struct Graveyard
{
    std::mutex mutex;
    std::vector<Grave> graves;
    bool exitHookInstalled = false;
};

// Made once and never destroyed: objects may be buried while static objects are being destroyed.
Graveyard& graveyard()
{
    static auto* instance = new Graveyard;
    return *instance;
}

// A buried object no longer belongs to the wrapper whose error collector it reported to.
void printReport(RtMidiError::Type, const std::string& errorText, void*)
{
    std::fprintf(stderr, "%s\n", errorText.c_str());
}

void releaseAtExit()
{
    RtMidiGraveyard::releaseAll();
}

} // namespace

template <typename T> void RtMidiGraveyard::_bury(std::unique_ptr<T> object, int madeAt)
{
    if (!object)
        return;
    if (madeAt < 0)
        madeAt = RtMidiJackWatch::losses();
    const RtMidi::Api api = object->getCurrentApi();
    if (RtMidiJackWatch::isStale(api, madeAt)) {
        (void)object.release(); // its server let go of it: nothing left to delete safely
        return;
    }
    object->setErrorCallback(&printReport, nullptr);
    _keep(std::shared_ptr<void>(object.release(), [api, madeAt](void* kept) {
        if (RtMidiJackWatch::isStale(api, madeAt))
            return;
        delete static_cast<T*>(kept);
    }));
}

void RtMidiGraveyard::bury(std::unique_ptr<RtMidiIn> object, int madeAt)
{
    _bury(std::move(object), madeAt);
}

void RtMidiGraveyard::bury(std::unique_ptr<RtMidiOut> object, int madeAt)
{
    _bury(std::move(object), madeAt);
}

void RtMidiGraveyard::_keep(std::shared_ptr<void> object)
{
    std::vector<Grave> expired;
    {
        Graveyard& yard = graveyard();
        std::lock_guard<std::mutex> lock(yard.mutex);
        if (!yard.exitHookInstalled) {
            yard.exitHookInstalled = true;
            std::atexit(&releaseAtExit);
        }
        const Clock::time_point now = Clock::now();
        for (auto it = yard.graves.begin(); it != yard.graves.end();) {
            if (now - it->buriedAt >= kFullRest) {
                expired.push_back(std::move(*it));
                it = yard.graves.erase(it);
            } else {
                ++it;
            }
        }
        yard.graves.push_back(Grave{std::move(object), now});
    }
    // Deleted outside the lock: closing a client waits for the service.
    expired.clear();
}

void RtMidiGraveyard::releaseAll()
{
    std::vector<Grave> all;
    {
        Graveyard& yard = graveyard();
        std::lock_guard<std::mutex> lock(yard.mutex);
        all.swap(yard.graves);
    }
    if (all.empty())
        return;
    Clock::time_point youngest = all.front().buriedAt;
    for (const Grave& grave : all)
        youngest = std::max(youngest, grave.buriedAt);
    std::this_thread::sleep_until(youngest + kShortRest);
    all.clear();
}

int RtMidiGraveyard::count()
{
    Graveyard& yard = graveyard();
    std::lock_guard<std::mutex> lock(yard.mutex);
    return static_cast<int>(yard.graves.size());
}
