#include "harness/NativeJackClients.h"

#include "midi/MIDIBackend.h"
#include "midi/MIDIBackendChoice.h"

#include <QStringList>
#include <QtGlobal>

std::string NativeJackClients::open(const QString& keysName, const QString& synthName)
{
    if (qEnvironmentVariableIsEmpty("JACK_DEFAULT_SERVER"))
        return "JACK_DEFAULT_SERVER is not set: run scripts/bench, which starts a private JACK server";
    MIDIBackendChoice::setPreferredApi(QStringLiteral("jack"));
    keys = std::make_unique<JackTestClient>(keysName, QStringLiteral("out"), QString());
    synth = std::make_unique<JackFrameSink>(synthName, QStringList{QStringLiteral("a"), QStringLiteral("b")});
    if (!keys->isValid() || !synth->isValid())
        return (keys->isValid() ? synth->errorText() : keys->errorText()).toStdString();
    if (MIDIBackend::GetInstance()->getApiName() != QStringLiteral("JACK") ||
        !MIDIBackend::GetInstance()->hasTimedSends())
        return "the program did not get the native JACK backend";
    return {};
}

void NativeJackClients::close()
{
    keys.reset();
    synth.reset();
}
