#include "support/FullSetupBuilder.h"

#include "model/initializers/InitializerRegistry.h"
#include "model/initializers/MIDIPatchInitializer.h"
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "model/transforms/BuiltInTransforms.h"
#include "model/transforms/MIDIDataTransform.h"

#include <QPoint>

QStringList allTransformTypeNames()
{
    return {QStringLiteral("Transpose"),
            QStringLiteral("Converge On Note"),
            QStringLiteral("Velocity Map"),
            QStringLiteral("Velocity To CC"),
            QStringLiteral("Velocity From CC"),
            QStringLiteral("Make Monophonic"),
            QStringLiteral("Note Filter"),
            QStringLiteral("Velocity Filter"),
            QStringLiteral("Velocity Variation"),
            QStringLiteral("Ignore All Notes"),
            QStringLiteral("Change CC#"),
            QStringLiteral("CC Map"),
            QStringLiteral("CC Copy"),
            QStringLiteral("Ignore CC"),
            QStringLiteral("Ignore All Controllers"),
            QStringLiteral("Invert Pitch Change"),
            QStringLiteral("Pitch Change To CC"),
            QStringLiteral("Ignore Pitch Change"),
            QStringLiteral("Channel Aftertouch To CC"),
            QStringLiteral("Ignore Channel Aftertouch"),
            QStringLiteral("Inspector")};
}

QStringList allInitializerTypeNames()
{
    return {QStringLiteral("Note On"), QStringLiteral("Note Off"), QStringLiteral("Program Change"),
            QStringLiteral("Volume"),  QStringLiteral("CC"),       QStringLiteral("Pitch Bend")};
}

QString everyValueMapText(int seed)
{
    // 37 and 128 share no factor, so i * 37 + seed visits every residue once.
    QString text;
    for (int i = 0; i < 128; ++i)
        text.append(QChar(char16_t((i * 37 + seed) % 128)));
    return text;
}

namespace {

void addTransforms(MIDIPatchTarget* patch, const QStringList& types, int seed)
{
    for (const QString& type : types) {
        MIDIDataTransform* transform = patch->createNewMIDIDataTransform(type);
        Q_ASSERT_X(transform, "buildSetupUsingEverything", "a built-in transform type is missing");
        ++seed;
        transform->setByte1(BYTE(seed % 128));
        transform->setByte2(BYTE((seed * 3) % 128));
        transform->setByte3(BYTE((seed * 7) % 128));
        transform->setInt1(seed % 2 ? -seed : seed * 1000);
        transform->setInt2(seed % 3 - 1);
        transform->setMapValuesFromString(everyValueMapText(seed));
        transform->setBypassed(seed % 4 == 0);
        if (seed % 3 == 0)
            transform->setEditorPosition(QPoint(seed * 10, -seed));
        transform->showInnards(seed % 2 == 0);
    }
}

void addEveryInitializer(MIDIPatchTarget* patch)
{
    int seed = 5;
    for (const QString& type : allInitializerTypeNames()) {
        MIDIPatchInitializer* initializer = patch->createNewMIDIPatchInitializer(type);
        Q_ASSERT_X(initializer, "buildSetupUsingEverything", "a built-in initializer type is missing");
        seed += 11;
        initializer->setByte1(BYTE(seed % 128));
        initializer->setByte2(BYTE((seed * 5) % 128));
        initializer->setByte3(BYTE((seed * 9) % 128));
        initializer->setInt1(seed * 97);
        initializer->showInnards(seed % 2 == 0);
    }
}

} // namespace

MIDIRoutingSetup* buildSetupUsingEverything(QObject* parent)
{
    registerBuiltInTransforms();
    registerBuiltInInitializers();
    const QStringList transforms = allTransformTypeNames();

    auto* setup = new MIDIRoutingSetup(QStringLiteral("Abendkonzert – Grüße ♫"), parent);

    // First input: keyswitches on "Keys", channel index 0.
    MIDIRoute* keys = setup->createNewMIDIRoute(false);
    keys->setName(QStringLiteral("Klavier Über"));
    keys->setMIDIInputPortName(QStringLiteral("Keys"));
    keys->setMIDIChannel(0);
    keys->setOutputActivationMethod(MIDIRoute::kKeyswitchActivation);
    keys->setOutputActivationSpecificity(MIDIRoute::kSpecificValue);
    keys->setColorLabel(3);
    MIDIOutput* grand = keys->getMIDIOutputAtIndex(0);
    grand->setName(QStringLiteral("Flügel"));
    grand->setMainActivationValue(36);
    MIDIPatchTarget* grandPatch = grand->getMIDIPatchTargetAtIndex(0);
    grandPatch->setName(QStringLiteral("Grand & \"Hall\" <1>"));
    grandPatch->setMIDIOutputPortName(QStringLiteral("SynthA"));
    grandPatch->setMIDIChannel(0);
    addEveryInitializer(grandPatch);
    addTransforms(grandPatch, transforms.mid(0, 11), 0);

    MIDIOutput* strings = keys->createNewMIDIOutput(false);
    strings->setName(QStringLiteral("Streicher ♪"));
    strings->setMainActivationValue(38);
    strings->setColorLabel(7);
    strings->showInnards(false);
    MIDIPatchTarget* stringsPatch = strings->getMIDIPatchTargetAtIndex(0);
    stringsPatch->setName(QStringLiteral("Strings"));
    stringsPatch->setMIDIOutputPortName(QStringLiteral("SynthB"));
    stringsPatch->setMIDIChannel(5);
    stringsPatch->setMessageDelayType(MIDIPatchTarget::kConstantDelay);
    stringsPatch->setMessageDelayInMillisecs(120);
    stringsPatch->setMuted(true);
    stringsPatch->setColorLabel(0);
    addTransforms(stringsPatch, transforms.mid(11), 40);
    MIDIPatchTarget* pad = strings->createNewMIDIPatchTarget(false, QStringLiteral("SynthC"));
    pad->setName(QStringLiteral("Pad – weich"));
    pad->setMIDIChannel(MIDIPatchTarget::kAnyChannel);
    pad->setMessageDelayType(MIDIPatchTarget::kRandomDelay);
    pad->setMessageDelayInMillisecs(500);
    pad->showInnards(false);
    addTransforms(pad, {QStringLiteral("Velocity Map"), QStringLiteral("CC Map")}, 90);
    strings->setActive(true);

    // Second input: controller 64 ranges on "Pads", every channel; the active input.
    MIDIRoute* pads = setup->createNewMIDIRoute(false);
    pads->setName(QStringLiteral("Pads 日本"));
    pads->setMIDIInputPortName(QStringLiteral("Pads"));
    pads->setMIDIChannel(MIDIRoute::kAnyChannel);
    pads->setOutputActivationMethod(MIDIRoute::kFirstControllerMethod + 64);
    pads->setOutputActivationSpecificity(MIDIRoute::kValueRange);
    pads->showInnards(false);
    MIDIOutput* low = pads->getMIDIOutputAtIndex(0);
    low->setName(QStringLiteral("Low"));
    low->setMainActivationValue(0);
    low->setActivationRangeValue(63);
    low->getMIDIPatchTargetAtIndex(0)->setMIDIOutputPortName(QStringLiteral("SynthC"));
    low->getMIDIPatchTargetAtIndex(0)->setMIDIChannel(15);
    MIDIOutput* high = pads->createNewMIDIOutput(false);
    high->setName(QStringLiteral("High"));
    high->setMainActivationValue(64);
    high->setActivationRangeValue(127);
    high->setColorLabel(9);
    high->getMIDIPatchTargetAtIndex(0)->createNewMIDIPatchInitializer(QStringLiteral("Program Change"));
    high->createNewMIDIPatchTarget(false, QStringLiteral("SynthA"));
    low->setActive(true);

    // Third input: program changes on "Keys", channel index 9.
    MIDIRoute* programs = setup->createNewMIDIRoute(false);
    programs->setName(QStringLiteral("Programme"));
    programs->setMIDIChannel(9);
    programs->setOutputActivationMethod(MIDIRoute::kProgramChangeActivation);
    programs->setOutputActivationSpecificity(MIDIRoute::kSpecificValue);
    programs->getMIDIOutputAtIndex(0)->setMainActivationValue(127);
    programs->getMIDIOutputAtIndex(0)->getMIDIPatchTargetAtIndex(0)->createNewMIDIPatchInitializer(
        QStringLiteral("Volume"));

    setup->setActiveRoute(pads);
    return setup;
}
