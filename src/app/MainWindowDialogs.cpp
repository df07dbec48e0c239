// The entry points of the dialogs: one small slot each, handing over to the dialog's own command.
#include "app/MainWindow.h"

#include "app/AboutBox.h"
#include "app/DialogCommands.h"
#include "app/UpdateCheckRunner.h"

void MainWindow::_reroutePortTriggeredSLOT()
{
    DialogCommands::reroutePort(this);
}

void MainWindow::_mergeOutputsTriggeredSLOT()
{
    DialogCommands::mergeOutputs(this);
}

void MainWindow::_preferencesTriggeredSLOT()
{
    DialogCommands::editPreferences(this);
}

void MainWindow::_checkForUpdatesTriggeredSLOT()
{
    // One runner per window, made on first use; it ignores a request while a check runs and ends
    // a running check when the window closes.
    auto* runner = findChild<UpdateCheckRunner*>(QString(), Qt::FindDirectChildrenOnly);
    if (!runner)
        runner = new UpdateCheckRunner(this);
    runner->checkForUpdates();
}

void MainWindow::_aboutAppTriggeredSLOT()
{
    AboutBox::showApplicationAboutBox(this);
}
