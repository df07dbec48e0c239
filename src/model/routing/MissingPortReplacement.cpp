#include "model/routing/MissingPortReplacement.h"

#include "app/StatusManager.h"
#include "midi/MIDIPortInfo.h"

QString findReplacementForMissingPort(MIDIPortInfo* ports, const QString& missingName, bool input)
{
    const QString kind = input ? QStringLiteral("input") : QStringLiteral("output");
    const QString alias = input ? ports->getAliasOfUnavailableInputPortNamed(missingName)
                                : ports->getAliasOfUnavailableOutputPortNamed(missingName);
    if (!alias.isEmpty()) {
        const QString found =
            input ? ports->getInputPortAliasedTo(alias) : ports->getOutputPortAliasedTo(alias);
        if (!found.isEmpty() && found != missingName) {
            postWarningMessage(QStringLiteral("MIDI %1 port \"%2\" not found.\n\nUsing \"%3\" (which is also "
                                              "aliased to \"%4\") instead.")
                                   .arg(kind, missingName, found, alias));
            return found;
        }
    }
    const QString first = input ? ports->getNameOfFirstInputPort() : ports->getNameOfFirstOutputPort();
    if (!first.isEmpty()) {
        postErrorMessage(QStringLiteral("MIDI %1 port \"%2\" not found.\n\nUsing \"%3\" instead.")
                             .arg(kind, missingName, first));
    }
    return first;
}
