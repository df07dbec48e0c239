#include "app/DialogCommands.h"

#include "app/MIDIRoutingSetupOutputMergerDialog.h"
#include "app/PrefsDialog.h"
#include "app/RerouteDialog.h"
#include "app/StatusManager.h"
#include "model/edits/ModelEdits.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "model/routing/MIDIRoutingSetupManager.h"
#include "model/routing/MIDIRoutingSetupOutputMerger.h"
#include "persistence/AppPrefs.h"
#include "persistence/PrefKeys.h"

#include <QMessageBox>
#include <QPointer>

namespace {

// Dialogs are deleted later, detached from the window, once their nested event loop has ended.
void disposeOf(QDialog* dialog)
{
    if (!dialog)
        return;
    dialog->setParent(nullptr);
    dialog->deleteLater();
}

} // namespace

namespace DialogCommands {

void reroutePort(QWidget* window)
{
    if (!getCurrentRoutingSetup())
        return;
    QPointer<RerouteDialog> dialog = new RerouteDialog(
        getBoolPrefValue(PrefKeys::ReroutingInputIsSelected, PrefKeys::ReroutingInputIsSelectedDefault),
        window);
    const int result = dialog->exec();
    if (!dialog)
        return;
    if (result != QDialog::Accepted) {
        disposeOf(dialog);
        return;
    }
    const QString lookForPort = dialog->getLookForPortName();
    const QString replaceWithPort = dialog->getReplaceWithPortName();
    const bool inputSelected = dialog->isInputSelected();
    const int lookForChannel = dialog->getLookForChannelIndex();
    const int replaceWithChannel = dialog->getReplaceWithChannelIndex();
    setBoolPrefValue(PrefKeys::ReroutingInputIsSelected, inputSelected);
    disposeOf(dialog);

    // The setup may have gone while the dialog ran (a file opened by another path).
    MIDIRoutingSetup* setup = getCurrentRoutingSetup();
    if (!setup)
        return;
    // One undo step for the whole reroute; the edit runs at once, inside the push.
    int changed = 0;
    ModelEdits::changeSettings(
        QStringLiteral("Reroute %1 to %2").arg(lookForPort, replaceWithPort), setup, [&] {
            changed = inputSelected ? setup->rerouteInputPort(lookForPort, lookForChannel, replaceWithPort,
                                                              replaceWithChannel)
                                    : setup->rerouteOutputPort(lookForPort, lookForChannel, replaceWithPort,
                                                               replaceWithChannel);
        });
    if (changed == 0)
        postWarningMessage(QStringLiteral("No port rerouting changes made."));
}

void mergeOutputs(QWidget* window)
{
    MIDIRoutingSetup* setup = getCurrentRoutingSetup();
    if (!setup)
        return;
    MIDIRoutingSetupOutputMerger merger(setup);
    QString errorText;
    if (!merger.canPerformMerging(&errorText)) {
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Merge Error"), errorText, QMessageBox::Ok,
                        window);
        box.setTextFormat(Qt::PlainText);
        box.exec();
        return;
    }
    QPointer<MIDIRoutingSetupOutputMergerDialog> dialog =
        new MIDIRoutingSetupOutputMergerDialog(&merger, window);
    dialog->exec();
    disposeOf(dialog);
}

void editPreferences(QWidget* window)
{
    QPointer<PrefsDialog> dialog = new PrefsDialog(window);
    if (hasPrefValueFor(PrefKeys::PreferencesDialogSize))
        dialog->resize(getSizePrefValue(PrefKeys::PreferencesDialogSize, dialog->size()));
    dialog->exec();
    if (!dialog)
        return;
    setSizePrefValue(PrefKeys::PreferencesDialogSize, dialog->size());
    disposeOf(dialog);
}

} // namespace DialogCommands
