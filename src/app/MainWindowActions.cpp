// The window's actions and menus.
#include "app/MainWindow.h"

#include "app/RecentFilesMenu.h"

#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QIcon>
#include <QKeySequence>
#include <QMenuBar>
#include <QWhatsThis>

namespace {

QAction* makeAction(QMainWindow* window, const QString& text, const QString& statusTip,
                    const QString& shortcut, const QString& icon)
{
    auto* action = new QAction(text, window);
    action->setStatusTip(statusTip);
    if (!shortcut.isEmpty())
        action->setShortcut(QKeySequence(shortcut));
    if (!icon.isEmpty())
        action->setIcon(QIcon(icon));
    return action;
}

} // namespace

void MainWindow::_createActions()
{
    _createSetListActions();
    _newAction = makeAction(this, QStringLiteral("New"), QStringLiteral("Create a new Quorvell setup."),
                            QStringLiteral("Ctrl+N"), QStringLiteral(":/icons/new_16x16.png"));
    _saveAction = makeAction(this, QStringLiteral("Save"), QStringLiteral("Save the current setup to disk."),
                             QStringLiteral("Ctrl+S"), QStringLiteral(":/icons/save_16x16.png"));
    _saveAsAction = makeAction(this, QStringLiteral("Save As..."),
                               QStringLiteral("Save the current setup to a new file on disk."),
                               QStringLiteral("Ctrl+Alt+S"), QStringLiteral(":/icons/save_16x16.png"));
    _openAction = makeAction(this, QStringLiteral("Open..."), QStringLiteral("Open a Quorvell setup file."),
                             QStringLiteral("Ctrl+O"), QStringLiteral(":/icons/open_16x16.png"));
    _closeAction = makeAction(this, QStringLiteral("Close"), QStringLiteral("Close the current setup."),
                              QStringLiteral("Ctrl+W"), QString());
    _quitAction = makeAction(this, QStringLiteral("Quit"), QStringLiteral("Quit Quorvell."),
                             QStringLiteral("Ctrl+Q"), QStringLiteral(":/icons/quit_16x16.png"));
    _quitAction->setMenuRole(QAction::QuitRole);
    _rerouteAction = makeAction(this, QStringLiteral("Reroute Port/Channel..."),
                                QStringLiteral("Reroute a certain MIDI port/channel."),
                                QStringLiteral("Ctrl+R"), QString());
    _mergeOutputsAction =
        makeAction(this, QStringLiteral("Merge Outputs..."),
                   QStringLiteral("Merge patches from one input into another."), QString(), QString());
    _preferencesAction = makeAction(
        this, QStringLiteral("Preferences..."), QStringLiteral("Open the Quorvell preferences dialog."),
        QStringLiteral("Ctrl+Alt+P"), QStringLiteral(":/icons/settings_16x16.png"));
    _preferencesAction->setMenuRole(QAction::PreferencesRole);
    _newInputAction =
        makeAction(this, QStringLiteral("New Input"), QStringLiteral("Add a new input to the current setup."),
                   QStringLiteral("Ctrl+Shift+I"), QStringLiteral(":/icons/midi_input_16x16.png"));
    _newOutputAction = makeAction(
        this, QStringLiteral("New Output"), QStringLiteral("Add a new output to the current input."),
        QStringLiteral("Ctrl+Shift+O"), QStringLiteral(":/icons/output_activation_16x16.png"));
    _newPatchAction =
        makeAction(this, QStringLiteral("New Patch"),
                   QStringLiteral("Add a new patch to the current input's active output."),
                   QStringLiteral("Ctrl+Shift+P"), QStringLiteral(":/icons/midi_output_16x16.png"));
    _keyboardVisAction =
        makeAction(this, QStringLiteral("Hide Keyboard"),
                   QStringLiteral("Toggle the visibility of the on-screen keyboard."),
                   QStringLiteral("Ctrl+Alt+K"), QStringLiteral(":/icons/keyboard_16x16.png"));
    _whatsThisAction = QWhatsThis::createAction(this);
    _whatsThisAction->setStatusTip(
        QStringLiteral("Enter \"What's This?\" mode to get help with parts of the interface."));
    _whatsThisAction->setShortcut(QKeySequence(QStringLiteral("Ctrl+F1")));
    _whatsThisAction->setIcon(QIcon(QStringLiteral(":/icons/whats_this_16x16.png")));
    _checkForUpdatesAction =
        makeAction(this, QStringLiteral("Check For Updates..."),
                   QStringLiteral("Check to see if there's a newer version of Quorvell available."),
                   QString(), QString());
    _aboutAction = makeAction(this, QStringLiteral("About Quorvell"),
                              QStringLiteral("Learn a bit about Quorvell..."), QString(), QString());
    _aboutAction->setIcon(QApplication::windowIcon());
    _aboutAction->setMenuRole(QAction::AboutRole);
    _allNotesOffAction = makeAction(
        this, QStringLiteral("All Notes Off"),
        QStringLiteral("End every sounding note and sustain pedal on every port and channel of the setup."),
        QStringLiteral("Ctrl+."), QString());
    // Reachable from anywhere in the window, even while a text field has the focus.
    _allNotesOffAction->setShortcutContext(Qt::ApplicationShortcut);

    _createUndoActions();

    connect(_newAction, &QAction::triggered, this, &MainWindow::_newTriggeredSLOT);
    connect(_saveAction, &QAction::triggered, this, &MainWindow::_saveTriggeredSLOT);
    connect(_saveAsAction, &QAction::triggered, this, &MainWindow::_saveAsTriggeredSLOT);
    connect(_openAction, &QAction::triggered, this, &MainWindow::_openTriggeredSLOT);
    connect(_closeAction, &QAction::triggered, this, &MainWindow::_closeTriggeredSLOT);
    connect(_quitAction, &QAction::triggered, this, &MainWindow::_quitTriggeredSLOT);
    connect(_rerouteAction, &QAction::triggered, this, &MainWindow::_reroutePortTriggeredSLOT);
    connect(_mergeOutputsAction, &QAction::triggered, this, &MainWindow::_mergeOutputsTriggeredSLOT);
    connect(_preferencesAction, &QAction::triggered, this, &MainWindow::_preferencesTriggeredSLOT);
    connect(_newInputAction, &QAction::triggered, this, &MainWindow::_newInputTriggeredSLOT);
    connect(_newOutputAction, &QAction::triggered, this, &MainWindow::_newOutputTriggeredSLOT);
    connect(_newPatchAction, &QAction::triggered, this, &MainWindow::_newPatchTriggeredSLOT);
    connect(_keyboardVisAction, &QAction::triggered, this, &MainWindow::_keyboardVisToggleSLOT);
    connect(_checkForUpdatesAction, &QAction::triggered, this, &MainWindow::_checkForUpdatesTriggeredSLOT);
    connect(_aboutAction, &QAction::triggered, this, &MainWindow::_aboutAppTriggeredSLOT);
    connect(_allNotesOffAction, &QAction::triggered, this, &MainWindow::_allNotesOffTriggeredSLOT);
}

void MainWindow::_buildMenus()
{
    QMenuBar* bar = menuBar();
    _fileMenu = bar->addMenu(QStringLiteral("&File"));
    _fileMenu->addAction(_newAction);
    _fileMenu->addAction(_openAction);
    _recentFilesMenu = new RecentFilesMenu(_fileMenu);
    _fileMenu->addMenu(_recentFilesMenu);
    _fileMenu->addSeparator();
    _fileMenu->addAction(_saveAction);
    _fileMenu->addAction(_saveAsAction);
    _fileMenu->addSeparator();
    _fileMenu->addAction(_closeAction);
    _fileMenu->addSeparator();
    _fileMenu->addAction(_quitAction);

    _editMenu = bar->addMenu(QStringLiteral("&Edit"));
    _editMenu->addAction(_undoAction);
    _editMenu->addAction(_redoAction);
    _editMenu->addSeparator();
    _editMenu->addAction(_rerouteAction);
    _editMenu->addAction(_mergeOutputsAction);
    _editMenu->addSeparator();
    _editMenu->addAction(_preferencesAction);
    _editMenu->addSeparator();
    _editMenu->addAction(_allNotesOffAction);

    _createMenu = bar->addMenu(QStringLiteral("&Create"));
    _createMenu->addAction(_newInputAction);
    _createMenu->addAction(_newOutputAction);
    _createMenu->addAction(_newPatchAction);

    _setListMenu = bar->addMenu(QStringLiteral("&Set List"));
    _setListMenu->addAction(_newSetListAction);
    _setListMenu->addAction(_openSetListAction);
    _setListMenu->addSeparator();
    _setListMenu->addAction(_saveSetListAction);
    _setListMenu->addAction(_saveSetListAsAction);
    _setListMenu->addSeparator();
    _setListMenu->addAction(_nextSongAction);
    _setListMenu->addAction(_previousSongAction);
    _setListMenu->addAction(_reloadSongAction);
    _setListMenu->addSeparator();
    _setListMenu->addAction(_closeSetListAction);

    _viewMenu = bar->addMenu(QStringLiteral("&View"));
    _viewMenu->addAction(_keyboardVisAction);
    _viewMenu->addAction(_setListDock->toggleViewAction());

    _helpMenu = bar->addMenu(QStringLiteral("&Help"));
    _helpMenu->addAction(_whatsThisAction);
    _helpMenu->addSeparator();
    _helpMenu->addAction(_checkForUpdatesAction);
    _helpMenu->addSeparator();
    _helpMenu->addAction(_aboutAction);
}

void MainWindow::_keyboardVisChangedToSLOT(bool visible)
{
    _keyboardVisAction->setText(visible ? QStringLiteral("Hide Keyboard") : QStringLiteral("Show Keyboard"));
}

void MainWindow::_keyboardVisToggleSLOT()
{
    _setupView->toggleKeyboardVisibility();
}
