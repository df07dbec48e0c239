#include "app/PlaceholderWindow.h"

#include "app/LocalNormalCursor.h"
#include "app/StatusManager.h"
#include "app/cli/SetupReport.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "model/routing/MIDIRoutingSetupManager.h"

#include <QFileInfo>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QStatusBar>

PlaceholderWindow::PlaceholderWindow(QWidget* parent) : QMainWindow(parent)
{
    _buildUI();
    _makeConnections();
}

void PlaceholderWindow::_buildUI()
{
    setWindowTitle(QStringLiteral("Quorvell"));
    _setupText = new QPlainTextEdit(this);
    _setupText->setReadOnly(true);
    _setupText->setToolTip(QStringLiteral("What the current setup holds."));
    _setupText->setWhatsThis(
        QStringLiteral("<b>Setup contents.</b>  The inputs, outputs and patches of the current "
                       "setup, with their ports, channels and activation values."));
    setCentralWidget(_setupText);
    statusBar()->showMessage(QStringLiteral("Ready"));
    resize(720, 480);
}

void PlaceholderWindow::_makeConnections()
{
    connect(MIDIRoutingSetupManager::GetInstance(), &MIDIRoutingSetupManager::currentRoutingSetupSwitchedTo,
            this, &PlaceholderWindow::_currentSetupSwitchedToSLOT);
    StatusManager* status = StatusManager::GetInstance();
    connect(status, &StatusManager::errorMessagePosted, this, &PlaceholderWindow::_showErrorSLOT);
    connect(status, &StatusManager::warningMessagePosted, this, &PlaceholderWindow::_showWarningSLOT);
    connect(status, qOverload<QString, int>(&StatusManager::statusMessagePosted), statusBar(),
            &QStatusBar::showMessage);
}

void PlaceholderWindow::_currentSetupSwitchedToSLOT(MIDIRoutingSetup* setup)
{
    if (!setup)
        return;
    connect(setup, &MIDIRoutingSetup::midiRouteAdded, this, &PlaceholderWindow::_refreshSLOT);
    connect(setup, &MIDIRoutingSetup::activeRouteChangedTo, this, &PlaceholderWindow::_refreshSLOT);
    connect(setup, &MIDIRoutingSetup::filePathChangedTo, this, &PlaceholderWindow::_refreshSLOT);
    _refreshSLOT();
}

void PlaceholderWindow::_refreshSLOT()
{
    MIDIRoutingSetup* setup = getCurrentRoutingSetup();
    if (!setup)
        return;
    const QString file =
        setup->hasBeenSaved() ? QFileInfo(setup->getFilePath()).fileName() : QStringLiteral("untitled");
    setWindowTitle(QStringLiteral("Quorvell - %1").arg(file));
    _setupText->setPlainText(SetupReport::describe(setup));
}

void PlaceholderWindow::_showErrorSLOT(const QString& message)
{
    LocalNormalCursor cursor;
    QMessageBox::critical(this, QStringLiteral("Quorvell Error"), message, QMessageBox::Ok);
}

void PlaceholderWindow::_showWarningSLOT(const QString& message)
{
    LocalNormalCursor cursor;
    QMessageBox::warning(this, QStringLiteral("Quorvell Warning"), message, QMessageBox::Ok);
}
