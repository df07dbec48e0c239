#pragma once

#include "harness/JackFrameSink.h"
#include "support/JackTestClient.h"

#include <QString>
#include <memory>
#include <string>

/// The two JACK clients a benchmark of the native backend plays through, on the private server
/// scripts/bench starts: a keyboard with one source port "out" and a synth with two sinks "a" and
/// "b" that note the frame of every message. Main thread only.
struct NativeJackClients
{
    std::unique_ptr<JackTestClient> keys;
    std::unique_ptr<JackFrameSink> synth;

    /// Makes the clients and checks that the program got the native JACK backend. Returns why the
    /// benchmark cannot run, or empty when it can.
    std::string open(const QString& keysName, const QString& synthName);
    void close();
};
