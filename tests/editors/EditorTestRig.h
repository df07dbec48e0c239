#pragma once

// A route on the rig's "Keys" port, every channel, with one output holding one patch on
// "SynthA", channel 1: what a player needs to hear what an editor changed.

#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/routing/MIDIRoute.h"
#include "support/RoutingTestRig.h"

#include <QList>
#include <memory>

using Sent = QList<midiMessage_t>;

struct OnePatchRig
{
    std::unique_ptr<MIDIRoute> route;
    MIDIOutput* output = nullptr;
    MIDIPatchTarget* patch = nullptr;

    OnePatchRig()
    {
        route = std::make_unique<MIDIRoute>(QStringLiteral("Keys"), MIDIRoute::kAnyChannel,
                                            QStringLiteral("In"), nullptr);
        output = route->createNewMIDIOutput(false);
        patch = output->getMIDIPatchTargetAtIndex(0);
        patch->setMIDIOutputPortName(QStringLiteral("SynthA"));
        RoutingTestRig::clearSent();
    }

    /// Plays the message into "Keys" and returns what "SynthA" heard.
    static Sent play(const midiMessage_t& message)
    {
        RoutingTestRig::clearSent();
        RoutingTestRig::play(QStringLiteral("Keys"), message);
        return RoutingTestRig::takeSent(QStringLiteral("SynthA"));
    }

    static Sent heard() { return RoutingTestRig::takeSent(QStringLiteral("SynthA")); }
};
