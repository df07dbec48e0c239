#include "app/cli/PortListing.h"

#include "midi/MIDIBackend.h"
#include "midi/MIDIPortInfo.h"

namespace {

QString portLine(int index, const QString& name, bool hasAlias, const QString& alias, bool used)
{
    QString line = QStringLiteral("  %1  %2").arg(index).arg(name);
    if (hasAlias)
        line += QStringLiteral("  (shown as \"%1\")").arg(alias);
    if (!used)
        line += QStringLiteral("  [not used]");
    return line + QLatin1Char('\n');
}

} // namespace

QString PortListing::text()
{
    MIDIPortInfo* info = MIDIPortInfo::GetInstance();
    QString text = QStringLiteral("MIDI service: %1\n").arg(MIDIBackend::GetInstance()->getApiName());
    text += QStringLiteral("Input ports:\n");
    const QStringList inputs = info->getInputPortNames();
    if (inputs.isEmpty())
        text += QStringLiteral("  (none)\n");
    for (int i = 0; i < inputs.size(); ++i) {
        const QString& name = inputs.at(i);
        text += portLine(i, name, info->doesInputPortHaveAnAlias(name), info->getInputPortAlias(name),
                         info->shouldInputPortBeUsed(name));
    }
    text += QStringLiteral("Output ports:\n");
    const QStringList outputs = info->getOutputPortNames();
    if (outputs.isEmpty())
        text += QStringLiteral("  (none)\n");
    for (int i = 0; i < outputs.size(); ++i) {
        const QString& name = outputs.at(i);
        text += portLine(i, name, info->doesOutputPortHaveAnAlias(name), info->getOutputPortAlias(name),
                         info->shouldOutputPortBeUsed(name));
    }
    return text;
}
