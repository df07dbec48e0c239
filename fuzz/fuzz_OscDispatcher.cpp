// libFuzzer entry for the OSC remote's parser and address space. Each input is one datagram,
// parsed and dispatched onto a small setup on the fake MIDI ports. Every input must either be
// refused with a reason or be answered; an error reply must leave the setup as it was. Anything
// else aborts, so that libFuzzer keeps the input.
#include "model/initializers/InitializerRegistry.h"
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "remote/OscAddressSpace.h"
#include "support/RoutingTestRig.h"
#include "support/TestPrefs.h"

#include <QCoreApplication>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

MIDIRoutingSetup* setup = nullptr;

void fail(const char* what)
{
    std::fprintf(stderr, "fuzz_OscDispatcher: %s\n", what);
    std::abort();
}

// Which output of each input is active and which patches are muted.
QList<int> stateOf(MIDIRoutingSetup* s)
{
    QList<int> state;
    for (int r = 0; r < s->getNumMIDIRoutes(); ++r) {
        MIDIRoute* route = s->getMIDIRouteAtIndex(r);
        state << route->getIndexOfMIDIOutput(route->getActiveMIDIOutput());
        for (int o = 0; o < route->getNumMIDIOutputs(); ++o)
            state << (route->getMIDIOutputAtIndex(o)->getMIDIPatchTargetAtIndex(0)->isMuted() ? 1 : 0);
    }
    return state;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static QCoreApplication application(*argc, *argv);
    useTemporaryPrefs();
    RoutingTestRig::install();
    registerBuiltInInitializers();
    setup = new MIDIRoutingSetup(QStringLiteral("fuzz"), nullptr);
    for (const char* name : {"Keys", "Pads"}) {
        MIDIRoute* route = setup->createNewMIDIRoute(false);
        route->setName(QString::fromLatin1(name));
        route->createNewMIDIOutput(false)->setName(QStringLiteral("Organ"));
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QString error;
    const std::optional<OscMessage> request =
        OscMessage::parse(reinterpret_cast<const char*>(data), qsizetype(size), &error);
    if (!request) {
        if (error.isEmpty())
            fail("a refused datagram gave no reason");
        return 0;
    }
    if (request->arguments.size() != request->typeTags.size())
        fail("arguments and type tags differ in number");
    OscAddressSpace space([] { return setup; });
    const QList<int> before = stateOf(setup);
    const OscAddressSpace::Result result = space.dispatch(*request);
    const bool refused = !result.replies.isEmpty() && result.replies.first().path == "/quorvell/error";
    if (refused && stateOf(setup) != before)
        fail("a request answered with an error changed the setup");
    for (const OscMessage& reply : result.replies) {
        const QByteArray datagram = reply.serialise();
        if (!OscMessage::parse(datagram.constData(), datagram.size(), &error))
            fail("a reply does not read back");
    }
    RoutingTestRig::clearSent();
    return 0;
}
