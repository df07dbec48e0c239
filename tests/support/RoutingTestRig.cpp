#include "support/RoutingTestRig.h"

#include "midi/MIDIPortInfo.h"
#include "support/FakeMIDIBackend.h"

#include <QtGlobal>
#include <utility>

namespace {

FakeMIDIBackend* theBackend = nullptr;
QStringList inputNames;
QStringList outputNames;
// Messages moved out of the backend and not yet taken by the test, per output index.
QList<QList<midiMessage_t>> pending;

// Moves everything the backend recorded into `pending`, so the backend's record stays short.
void drainBackend()
{
    for (const auto& [index, messages] : theBackend->takeSentMessages()) {
        for (const midiMessage_t& message : messages)
            pending[index].append(message);
    }
}

int outputIndex(const QString& port)
{
    const int index = outputNames.indexOf(port);
    Q_ASSERT_X(index >= 0, "RoutingTestRig", "unknown output port");
    return index;
}

} // namespace

void RoutingTestRig::install(const QStringList& inputs, const QStringList& outputs)
{
    inputNames = inputs;
    outputNames = outputs;
    theBackend = FakeMIDIBackend::install(inputs, outputs);
    Q_ASSERT_X(theBackend, "RoutingTestRig", "install before the ports are first used");
    pending = QList<QList<midiMessage_t>>(outputs.size());
    MIDIPortInfo::GetInstance();
}

FakeMIDIBackend* RoutingTestRig::backend()
{
    return theBackend;
}

int RoutingTestRig::inputIndex(const QString& inputPort)
{
    return int(inputNames.indexOf(inputPort));
}

void RoutingTestRig::play(const QString& inputPort, const midiMessage_t& message)
{
    theBackend->injectInputMessage(int(inputNames.indexOf(inputPort)), message);
}

QList<midiMessage_t> RoutingTestRig::takeSent(const QString& outputPort)
{
    const int index = outputIndex(outputPort);
    drainBackend();
    return std::exchange(pending[index], {});
}

void RoutingTestRig::clearSent()
{
    theBackend->takeSentMessages();
    for (QList<midiMessage_t>& list : pending)
        list.clear();
}
