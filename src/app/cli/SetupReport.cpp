#include "app/cli/SetupReport.h"

#include "app/StatusManager.h"
#include "midi/MIDIPortInfo.h"
#include "model/initializers/MIDIPatchInitializer.h"
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "model/transforms/MIDIDataTransform.h"
#include "persistence/SetupDocumentParser.h"
#include "persistence/SetupFileReaderWriter.h"

#include <QDomDocument>
#include <QDomNodeList>
#include <QFile>
#include <memory>

namespace {

QString channelText(BYTE channel)
{
    return channel == kAnyMIDIChannel ? QStringLiteral("any channel")
                                      : QStringLiteral("channel %1").arg(channel + 1);
}

QString methodText(MIDIRoute* route)
{
    const QString specificity = route->isOutputActivationValueRange() ? QStringLiteral("value ranges")
                                                                      : QStringLiteral("specific values");
    if (route->isActivationMethodKeyswitch())
        return QStringLiteral("outputs switched by keyswitch notes (%1)").arg(specificity);
    if (route->isActivationMethodProgramChange())
        return QStringLiteral("outputs switched by program changes (%1)").arg(specificity);
    if (route->isActivationMethodController())
        return QStringLiteral("outputs switched by CC%1 (%2)")
            .arg(route->getActivationControllerNumber())
            .arg(specificity);
    return QStringLiteral("outputs not switched by MIDI");
}

QString patchText(MIDIPatchTarget* patch)
{
    QString text =
        QStringLiteral("\"%1\" to \"%2\", %3")
            .arg(patch->getName(), patch->getMIDIOutputPortName(), channelText(patch->getMIDIChannel()));
    if (patch->isMuted())
        text += QStringLiteral(", muted");
    if (patch->hasMessageDelay()) {
        text += QStringLiteral(", delayed %1 ms%2")
                    .arg(patch->getMessageDelayInMillisecs())
                    .arg(patch->isMessageDelayRandom() ? QStringLiteral(" at random") : QString());
    }
    return text;
}

} // namespace

SetupReport::SetupReport(const QString& setupFile)
{
    StatusManager* status = StatusManager::GetInstance();
    QObject context;
    QObject::connect(status, &StatusManager::errorMessagePosted, &context,
                     [this](const QString& message) { _problems << message.simplified(); });
    QObject::connect(status, &StatusManager::warningMessagePosted, &context,
                     [this](const QString& message) { _problems << message.simplified(); });

    _findMissingPorts(setupFile);
    auto setup = std::make_unique<MIDIRoutingSetup>(QStringLiteral("no name"), nullptr);
    _read = SetupFileReaderWriter::GetInstance()->readSetupFromDisk(setup.get(), setupFile);
    if (_read)
        _contents = describe(setup.get());
}

void SetupReport::_findMissingPorts(const QString& setupFile)
{
    // The reader replaces a missing port silently when the machine has no port of that kind at
    // all, so then the file itself is asked which ports it names.
    QFile file(setupFile);
    if (!file.open(QIODevice::ReadOnly))
        return;
    QDomDocument document;
    QString error;
    if (!SetupDocumentParser::parse(file.readAll(), &document, &error))
        return;
    MIDIPortInfo* info = MIDIPortInfo::GetInstance();
    auto check = [&](const QString& tag, const QString& attribute, bool input) {
        // Where ports of the kind exist, the reader itself reports each replacement.
        if (input ? info->hasAnyInputPorts() : info->hasAnyOutputPorts())
            return;
        const QDomNodeList nodes = document.elementsByTagName(tag);
        QStringList reported;
        for (int i = 0; i < nodes.count(); ++i) {
            const QString name = nodes.at(i).toElement().attribute(attribute);
            const bool present = input ? info->hasInputPortNamed(name) : info->hasOutputPortNamed(name);
            if (name.isEmpty() || present || reported.contains(name))
                continue;
            reported << name;
            _problems << QStringLiteral("%1 port \"%2\" is not present on this machine.")
                             .arg(input ? QStringLiteral("MIDI input") : QStringLiteral("MIDI output"), name);
        }
    };
    check(QStringLiteral("MIDIRoute"), QStringLiteral("midiPortName"), true);
    check(QStringLiteral("MIDIPatchTarget"), QStringLiteral("midiOutputPortName"), false);
}

QString SetupReport::describe(MIDIRoutingSetup* setup)
{
    QString text =
        QStringLiteral("Setup \"%1\": %2 input(s)\n").arg(setup->getName()).arg(setup->getNumMIDIRoutes());
    for (int r = 0; r < setup->getNumMIDIRoutes(); ++r) {
        MIDIRoute* route = setup->getMIDIRouteAtIndex(r);
        text += QStringLiteral("Input %1: \"%2\" from \"%3\", %4, %5%6\n")
                    .arg(r + 1)
                    .arg(route->getName(), route->getMIDIInputPortName(),
                         channelText(route->getMIDIChannel()), methodText(route),
                         route == setup->getActiveRoute() ? QStringLiteral(" [active]") : QString());
        for (int o = 0; o < route->getNumMIDIOutputs(); ++o) {
            MIDIOutput* output = route->getMIDIOutputAtIndex(o);
            text += QStringLiteral("  %1%2\n")
                        .arg(route->getTextualDescriptionOfOutput(output),
                             output->isActive() ? QStringLiteral(" [active]") : QString());
            for (int p = 0; p < output->getNumMIDIPatchTargets(); ++p) {
                MIDIPatchTarget* patch = output->getMIDIPatchTargetAtIndex(p);
                text += QStringLiteral("    Patch %1: %2\n").arg(p + 1).arg(patchText(patch));
                for (int i = 0; i < patch->getNumMIDIPatchInitializers(); ++i)
                    text += QStringLiteral("      Initializer: %1\n")
                                .arg(patch->getMIDIPatchInitializerAtIndex(i)->getDescriptionString());
                for (int t = 0; t < patch->getNumMIDIDataTransforms(); ++t)
                    text += QStringLiteral("      Transform: %1\n")
                                .arg(patch->getMIDIDataTransformAtIndex(t)->getDescriptionString());
            }
        }
    }
    return text;
}
