#include "midi/MIDIBackendChoice.h"

#include "app/StatusManager.h"
#include "midi/JackMIDIBackend.h"
#include "midi/RtMidiBackend.h"

#include <QtGlobal>

QString MIDIBackendChoice::_preferredApi;

namespace {

const char* const kNoService = "No MIDI service is available: ";
const char* const kRunsWithoutPorts = " The program runs without MIDI ports.";

void warnNoService(const QString& reason)
{
    const QString warning = QLatin1String(kNoService) + reason + QLatin1String(kRunsWithoutPorts);
    qWarning("%s", qPrintable(warning));
    postWarningMessage(warning);
}

std::unique_ptr<MIDIBackend> makeRtMidi(const QString& api)
{
    RtMidiBackend::setPreferredApi(api);
    return std::make_unique<RtMidiBackend>();
}

} // namespace

bool MIDIBackendChoice::isKnownApi(const QString& apiName)
{
    return apiName == QLatin1String("alsa") || apiName == QLatin1String("jack") ||
           apiName == QLatin1String("jack-rtmidi");
}

bool MIDIBackendChoice::setPreferredApi(const QString& apiName)
{
    const QString name = apiName.trimmed().toLower();
    if (!name.isEmpty() && !isKnownApi(name))
        return false;
    _preferredApi = name;
    return true;
}

QString MIDIBackendChoice::getPreferredApi()
{
    return _preferredApi;
}

std::unique_ptr<MIDIBackend> MIDIBackendChoice::makeBackend()
{
    QString wanted = _preferredApi;
    // Code that asked RtMidi for an API of its own keeps RtMidi.
    if (wanted.isEmpty() && !RtMidiBackend::getPreferredApi().isEmpty())
        return std::make_unique<RtMidiBackend>();
    if (wanted.isEmpty()) {
        const QString fromEnvironment = qEnvironmentVariable("QUORVELL_MIDI_API").trimmed().toLower();
        if (isKnownApi(fromEnvironment)) {
            wanted = fromEnvironment;
        } else if (!fromEnvironment.isEmpty()) {
            postWarningMessage(
                QStringLiteral("QUORVELL_MIDI_API is set to '%1', which is none of alsa, jack and "
                               "jack-rtmidi; the MIDI service is chosen automatically.")
                    .arg(qEnvironmentVariable("QUORVELL_MIDI_API")));
        }
    }

    if (wanted == QLatin1String("alsa"))
        return makeRtMidi(QStringLiteral("alsa"));
    if (wanted == QLatin1String("jack-rtmidi"))
        return makeRtMidi(QStringLiteral("jack"));
    QString alsaReason;
    if (wanted.isEmpty() && RtMidiBackend::alsaOpens(&alsaReason))
        return makeRtMidi(QStringLiteral("alsa"));

    auto native = std::make_unique<JackMIDIBackend>();
    if (wanted.isEmpty() && native->getUnavailableReason().isEmpty())
        postStatusMessage(
            QStringLiteral("The ALSA sequencer cannot be opened (%1): using JACK.").arg(alsaReason), 0);
    if (!native->getUnavailableReason().isEmpty()) {
        if (wanted.isEmpty()) {
            warnNoService(QStringLiteral("the ALSA sequencer cannot be opened (%1) and no JACK server can be "
                                         "reached (%2).")
                              .arg(alsaReason, native->getUnavailableReason()));
        } else {
            warnNoService(QStringLiteral("JACK was asked for, but no JACK server can be reached (%1).")
                              .arg(native->getUnavailableReason()));
        }
    }
    return native;
}
