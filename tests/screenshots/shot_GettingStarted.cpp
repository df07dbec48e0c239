// Pictures of docs/getting-started.md: the main window after each of the guide's steps, from an
// empty setup to two sounds switched by a key. Each step is made through the model, as the
// window's own menus and fields make it, and the window is saved as getting_started_N.png.

#include "ScreenshotSupport.h"
#include "app/MainWindow.h"
#include "editors/BuiltInTransformEditors.h"
#include "editors/InitializerEditors.h"
#include "model/initializers/InitializerRegistry.h"
#include "model/initializers/InitializerTypeNames.h"
#include "model/initializers/MIDIPatchInitializer.h"
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "model/routing/MIDIRoutingSetupManager.h"
#include "model/transforms/BuiltInTransforms.h"
#include "persistence/SetupFileReaderWriter.h"
#include "support/RoutingTestRig.h"
#include "widgets/LookAndFeel.h"

#include <QApplication>
#include <QTemporaryDir>

namespace {

const QString kKeyboard = QStringLiteral("Stage Keys");
const QString kSynth = QStringLiteral("GM Synth");

bool shoot(MainWindow& window, int step)
{
    QTest::qWait(200);
    return ScreenshotSupport::saveScreenshot(&window, QStringLiteral("getting_started_%1").arg(step));
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    styleTheApplication();
    RoutingTestRig::install({kKeyboard}, {kSynth});
    registerBuiltInTransforms();
    registerBuiltInTransformEditors();
    registerBuiltInInitializers();
    installInitializerEditors();

    MainWindow window;
    MIDIRoutingSetup* setup = MIDIRoutingSetupManager::GetInstance()->createNewRoutingSetup(true, QString());
    window.show();
    window.resize(1000, 640);
    bool saved = true;

    // 1. The keyboard's port on the first input (File > New makes one input).
    MIDIRoute* keys =
        setup->getNumMIDIRoutes() > 0 ? setup->getMIDIRouteAtIndex(0) : setup->createNewMIDIRoute(false);
    keys->setName(QStringLiteral("Keys"));
    keys->setMIDIInputPortName(kKeyboard);
    keys->setMIDIChannel(MIDIRoute::kAnyChannel);
    saved = shoot(window, 1) && saved;

    // 2. Two outputs, one per sound.
    while (keys->getNumMIDIOutputs() < 2)
        keys->createNewMIDIOutput(false);
    MIDIOutput* piano = keys->getMIDIOutputAtIndex(0);
    MIDIOutput* organ = keys->getMIDIOutputAtIndex(1);
    piano->setName(QStringLiteral("Piano"));
    organ->setName(QStringLiteral("Organ"));
    saved = shoot(window, 2) && saved;

    // 3. Each output's patch sends to the synth's port, the piano on channel 1, the organ on 2.
    for (MIDIOutput* output : {piano, organ}) {
        if (output->getNumMIDIPatchTargets() == 0)
            output->createNewMIDIPatchTarget(false, kSynth);
    }
    MIDIPatchTarget* pianoPatch = piano->getMIDIPatchTargetAtIndex(0);
    MIDIPatchTarget* organPatch = organ->getMIDIPatchTargetAtIndex(0);
    pianoPatch->setName(QStringLiteral("Piano"));
    pianoPatch->setMIDIOutputPortName(kSynth);
    pianoPatch->setMIDIChannel(0);
    organPatch->setName(QStringLiteral("Organ"));
    organPatch->setMIDIOutputPortName(kSynth);
    organPatch->setMIDIChannel(1);
    saved = shoot(window, 3) && saved;

    // 4. Keyswitches: the lowest C (C1 = 24) for the piano, D1 (26) for the organ.
    keys->setOutputActivationMethod(MIDIRoute::kKeyswitchActivation);
    piano->setMainActivationValue(24);
    piano->setActivationRangeValue(24);
    organ->setMainActivationValue(26);
    organ->setActivationRangeValue(26);
    saved = shoot(window, 4) && saved;

    // 5. A Program Change initializer on each patch: the synth is set to the sound on each switch.
    pianoPatch->createNewMIDIPatchInitializer(InitializerTypeNames::ProgramChange)->setByte1(0);
    organPatch->createNewMIDIPatchInitializer(InitializerTypeNames::ProgramChange)->setByte1(16);
    keys->setActiveMIDIOutput(piano);
    saved = shoot(window, 5) && saved;

    // 6. Saved: the title bar carries the file's name.
    QTemporaryDir dir;
    saved = SetupFileReaderWriter::GetInstance()->saveSetupToDisk(
                setup, dir.filePath(QStringLiteral("My Rig.ms"))) &&
            saved;
    saved = shoot(window, 6) && saved;

    MIDIRoutingSetupManager::GetInstance()->clearCurrentRoutingSetup(true);
    return saved ? 0 : 1;
}
