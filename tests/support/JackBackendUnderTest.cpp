#include "support/JackBackendUnderTest.h"

#include "midi/MIDIBackendChoice.h"

#include <QtGlobal>

namespace JackBackendUnderTest {

bool isNative()
{
    return qEnvironmentVariable("QUORVELL_TEST_JACK_BACKEND") == QLatin1String("native");
}

QString name()
{
    return isNative() ? QStringLiteral("native JACK") : QStringLiteral("RtMidi JACK");
}

void select()
{
    MIDIBackendChoice::setPreferredApi(midiApiOption());
}

QString midiApiOption()
{
    return isNative() ? QStringLiteral("jack") : QStringLiteral("jack-rtmidi");
}

} // namespace JackBackendUnderTest
