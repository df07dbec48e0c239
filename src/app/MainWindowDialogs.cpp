// The entry points of the dialogs: one small slot each. Until the dialogs themselves are part of
// the program, each says plainly what it would open; the merge check and the about text work.
#include "app/MainWindow.h"

#include "model/routing/MIDIRoutingSetup.h"
#include "model/routing/MIDIRoutingSetupManager.h"
#include "model/routing/MIDIRoutingSetupOutputMerger.h"

#include <QApplication>
#include <QMessageBox>

namespace {

void sayDialogIsMissing(QWidget* parent, const QString& what)
{
    QMessageBox box(QMessageBox::Information, QStringLiteral("Quorvell"),
                    QStringLiteral("The %1 is not part of this build of Quorvell yet.").arg(what),
                    QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace

void MainWindow::_reroutePortTriggeredSLOT()
{
    if (!getCurrentRoutingSetup())
        return;
    sayDialogIsMissing(this, QStringLiteral("reroute dialog"));
}

void MainWindow::_mergeOutputsTriggeredSLOT()
{
    MIDIRoutingSetup* setup = getCurrentRoutingSetup();
    if (!setup)
        return;
    MIDIRoutingSetupOutputMerger merger(setup);
    QString errorText;
    if (!merger.canPerformMerging(&errorText)) {
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Merge Error"), errorText, QMessageBox::Ok,
                        this);
        box.setTextFormat(Qt::PlainText);
        box.exec();
        return;
    }
    sayDialogIsMissing(this, QStringLiteral("merge outputs dialog"));
}

void MainWindow::_preferencesTriggeredSLOT()
{
    sayDialogIsMissing(this, QStringLiteral("preferences dialog"));
}

void MainWindow::_checkForUpdatesTriggeredSLOT()
{
    sayDialogIsMissing(this, QStringLiteral("update check"));
}

void MainWindow::_aboutAppTriggeredSLOT()
{
    QMessageBox box(
        QMessageBox::Information, QStringLiteral("About Quorvell"),
        QStringLiteral("Quorvell %1\n\nA MIDI router and patch switcher for musicians who play live.")
            .arg(QStringLiteral(QUORVELL_VERSION)),
        QMessageBox::Ok, this);
    if (!QApplication::windowIcon().isNull())
        box.setIconPixmap(QApplication::windowIcon().pixmap(64, 64));
    box.setTextFormat(Qt::PlainText);
    box.exec();
}
