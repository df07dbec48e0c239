// Pictures of the setup view on a realistic evening's setup: docs/screenshots/setup_view.png (the
// main window with three inputs, several outputs and patches, transforms, initializers and colour
// labels, notes held on the keyboard), the context menus of an input, an output and a patch, and an
// output panel listening for the key that should switch to it (setup_view_output_learning.png).

#include "ScreenshotSupport.h"
#include "app/MainWindow.h"
#include "editors/BuiltInTransformEditors.h"
#include "editors/InitializerEditors.h"
#include "model/ModelSignalPump.h"
#include "model/initializers/InitializerRegistry.h"
#include "model/initializers/InitializerTypeNames.h"
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "model/routing/MIDIRoutingSetupManager.h"
#include "model/transforms/BuiltInTransforms.h"
#include "persistence/MIDIObjectClipboard.h"
#include "support/RoutingTestRig.h"
#include "widgets/ActivationLearnButton.h"
#include "widgets/CurrentRoutingSetupWidget.h"
#include "widgets/LookAndFeel.h"
#include "widgets/MIDIOutputStackWidget.h"
#include "widgets/MIDIOutputWidget.h"
#include "widgets/MIDIPatchTargetStackWidget.h"
#include "widgets/MIDIPatchTargetWidget.h"
#include "widgets/MIDIRouteInputStackWidget.h"
#include "widgets/MIDIRouteInputWidget.h"

#include <QApplication>
#include <QMenu>
#include <QTimer>

namespace {

const QString kStageKeys = QStringLiteral("Stage Keys 88");
const QString kPadController = QStringLiteral("Pad Controller");
const QString kPianoModule = QStringLiteral("Piano Module");
const QString kSynthRack = QStringLiteral("Synth Rack");
const QString kOrganModule = QStringLiteral("Organ Module");

MIDIPatchTarget* patch(MIDIOutput* output, int index, const QString& name, const QString& port, BYTE channel)
{
    while (output->getNumMIDIPatchTargets() <= index)
        output->createNewMIDIPatchTarget(false, port);
    MIDIPatchTarget* target = output->getMIDIPatchTargetAtIndex(index);
    target->setName(name);
    target->setMIDIOutputPortName(port);
    target->setMIDIChannel(channel);
    return target;
}

MIDIOutput* output(MIDIRoute* route, int index, const QString& name, BYTE keyswitch)
{
    while (route->getNumMIDIOutputs() <= index)
        route->createNewMIDIOutput(false);
    MIDIOutput* out = route->getMIDIOutputAtIndex(index);
    out->setName(name);
    out->setMainActivationValue(keyswitch);
    out->setActivationRangeValue(keyswitch);
    return out;
}

MIDIRoutingSetup* buildEveningSetup()
{
    MIDIRoutingSetup* setup = MIDIRoutingSetupManager::GetInstance()->createNewRoutingSetup(true, QString());
    MIDIRoute* keys = setup->createNewMIDIRoute(false);
    keys->setName(QStringLiteral("Stage Keys"));
    keys->setMIDIInputPortName(kStageKeys);
    keys->setMIDIChannel(MIDIRoute::kAnyChannel);
    keys->setColorLabel(4);

    MIDIOutput* grand = output(keys, 0, QStringLiteral("Grand & Pad"), 24);
    MIDIPatchTarget* piano = patch(grand, 0, QStringLiteral("Concert Grand"), kPianoModule, 0);
    piano->createNewMIDIPatchInitializer(InitializerTypeNames::ProgramChange);
    piano->createNewMIDIPatchInitializer(InitializerTypeNames::Volume);
    piano->createNewMIDIDataTransform(QStringLiteral("Transpose"));
    piano->createNewMIDIDataTransform(QStringLiteral("Velocity Map"));
    piano->setColorLabel(3);
    MIDIPatchTarget* pad = patch(grand, 1, QStringLiteral("Warm Pad"), kSynthRack, 1);
    pad->setMessageDelayInMillisecs(40);
    pad->createNewMIDIDataTransform(QStringLiteral("Note Filter"));
    pad->setColorLabel(1);

    MIDIOutput* strings = output(keys, 1, QStringLiteral("Strings Split"), 26);
    MIDIPatchTarget* low = patch(strings, 0, QStringLiteral("Cello Section"), kSynthRack, 2);
    low->createNewMIDIDataTransform(QStringLiteral("Note Filter"));
    MIDIPatchTarget* high = patch(strings, 1, QStringLiteral("Violins"), kSynthRack, 3);
    high->setMuted(true);
    high->setMessageDelayType(MIDIPatchTarget::kRandomDelay);
    high->setMessageDelayInMillisecs(12);

    MIDIOutput* organ = output(keys, 2, QStringLiteral("Drawbar Organ"), 28);
    patch(organ, 0, QStringLiteral("Organ Upper"), kOrganModule, 0)
        ->createNewMIDIDataTransform(QStringLiteral("Velocity Map"));
    organ->showInnards(false);
    output(keys, 3, QStringLiteral("Encore: Solo Piano"), 29);
    keys->getMIDIOutputAtIndex(3)->showInnards(false);

    MIDIRoute* pads = setup->createNewMIDIRoute(false);
    pads->setName(QStringLiteral("Drum Pads"));
    pads->setMIDIInputPortName(kPadController);
    pads->setMIDIChannel(9);
    pads->setOutputActivationMethod(MIDIRoute::kProgramChangeActivation);
    pads->setColorLabel(0);
    MIDIRoute* pedals = setup->createNewMIDIRoute(false);
    pedals->setName(QStringLiteral("Bass Pedals"));
    pedals->setMIDIInputPortName(kPadController);
    pedals->setMIDIChannel(1);
    pedals->showInnards(false);

    setup->setActiveRoute(keys);
    keys->setActiveMIDIOutput(grand);
    setup->setModified(false);
    return setup;
}

// Opens a panel's context menu and saves the menu as it shows.
bool saveContextMenu(MIDIObjectPanel* panel, const QString& name)
{
    bool saved = false;
    QTimer::singleShot(400, panel, [&saved, name] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            saved = ScreenshotSupport::saveScreenshot(menu, name);
            menu->close();
        }
    });
    panel->openContextMenuAt(QPoint(120, 12));
    return saved;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    styleTheApplication();
    RoutingTestRig::install({kStageKeys, kPadController}, {kPianoModule, kSynthRack, kOrganModule});
    registerBuiltInTransforms();
    registerBuiltInTransformEditors();
    registerBuiltInInitializers();
    installInitializerEditors();

    MainWindow window;
    buildEveningSetup();
    window.show();
    QTest::qWait(200);
    // Tall enough for the second output's patches, the muted one among them.
    window.resize(window.width(), 900);
    QTest::qWait(200);

    // A chord held on the stage keyboard and the pedal down, as in the middle of a song.
    MIDIRoute* keys =
        MIDIRoutingSetupManager::GetInstance()->getCurrentRoutingSetup()->getMIDIRouteAtIndex(0);
    for (BYTE note : {BYTE(48), BYTE(55), BYTE(60), BYTE(64), BYTE(67)})
        RoutingTestRig::play(kStageKeys, {0x90, note, 96});
    RoutingTestRig::play(kStageKeys, {0xB0, 64, 127});
    ModelSignalPump::GetInstance()->pumpNow();
    bool saved = ScreenshotSupport::saveScreenshot(&window, QStringLiteral("setup_view"));

    auto* view = qobject_cast<CurrentRoutingSetupWidget*>(window.centralWidget());
    putMIDIPatchTargetInClipboard(keys->getMIDIOutputAtIndex(1)->getMIDIPatchTargetAtIndex(0));
    saved = saveContextMenu(view->getInputStack()->getWidgetForRoute(keys),
                            QStringLiteral("setup_view_input_menu")) &&
            saved;
    MIDIOutputWidget* grand = view->getOutputStack()->getWidgetForOutput(keys->getMIDIOutputAtIndex(0));
    saved = saveContextMenu(grand, QStringLiteral("setup_view_output_menu")) && saved;
    MIDIPatchTargetWidget* piano = grand->getPatchStack()->getWidgetForPatch(
        keys->getMIDIOutputAtIndex(0)->getMIDIPatchTargetAtIndex(0));
    saved = saveContextMenu(piano, QStringLiteral("setup_view_patch_menu")) && saved;

    // The second output learning its keyswitch: the panel asks for the key.
    MIDIOutputWidget* strings = view->getOutputStack()->getWidgetForOutput(keys->getMIDIOutputAtIndex(1));
    QTest::mouseClick(strings->getLearnButton(), Qt::LeftButton);
    saved = strings->getLearnButton()->isListening() &&
            ScreenshotSupport::saveScreenshot(strings, QStringLiteral("setup_view_output_learning")) && saved;
    QTest::keyClick(strings, Qt::Key_Escape);

    for (BYTE note : {BYTE(48), BYTE(55), BYTE(60), BYTE(64), BYTE(67)})
        RoutingTestRig::play(kStageKeys, {0x80, note, 0});
    RoutingTestRig::play(kStageKeys, {0xB0, 64, 0});
    MIDIRoutingSetupManager::GetInstance()->clearCurrentRoutingSetup(true);
    return saved ? 0 : 1;
}
