// The Create menu: new inputs, outputs and patches in the current setup.
#include "app/MainWindow.h"
#include "model/edits/ModelEdits.h"

#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "model/routing/MIDIRoutingSetupManager.h"

void MainWindow::_newInputTriggeredSLOT()
{
    MIDIRoutingSetup* setup = getCurrentRoutingSetup();
    if (!setup)
        return;
    if (MIDIRoute* route = ModelEdits::insert<MIDIRoute>(QStringLiteral("Add"), setup,
                                                         [setup] { return setup->createNewMIDIRoute(true); }))
        setup->setActiveRoute(route);
}

void MainWindow::_newOutputTriggeredSLOT()
{
    MIDIRoutingSetup* setup = getCurrentRoutingSetup();
    if (!setup || !setup->hasActiveRoute())
        return;
    MIDIRoute* route = setup->getActiveRoute();
    ModelEdits::insert<MIDIOutput>(QStringLiteral("Add"), route,
                                   [route] { return route->createNewMIDIOutput(true); });
}

void MainWindow::_newPatchTriggeredSLOT()
{
    MIDIRoutingSetup* setup = getCurrentRoutingSetup();
    if (!setup || !setup->hasActiveRoute())
        return;
    if (MIDIOutput* output = setup->getActiveRoute()->getActiveMIDIOutput())
        ModelEdits::insert<MIDIPatchTarget>(QStringLiteral("Add"), output, [output] {
            return output->createNewMIDIPatchTarget(true, QString());
        });
}
