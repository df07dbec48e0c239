#pragma once

#include "app/MainWindowSetupView.h"
#include "model/ModelSignalPump.h"

#include <QMainWindow>
#include <QPointer>
#include <functional>

class MessageBoxCollector;
class QDockWidget;
class SetListPanel;
class SetListSession;
class QUndoGroup;
class QUndoStack;
class MIDIRoutingSetup;
class QAction;
class QMenu;
class QProgressDialog;
class QToolButton;
class RecentFilesMenu;

/// The program's only top-level window: menus and their actions, the status bar (status texts,
/// and errors and warnings gathered into message boxes), the progress dialog of file operations,
/// the document commands (new, open, open recent, drop, save, save as, close, quit) with the
/// prompt to save, the title with its modified marker, the window geometry and keyboard
/// preferences, and the entry points of the dialogs. It never holds a setup: it asks the setup
/// manager each time. GUI thread only.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    /// The first setup of a run: the file when one is given and can be read, else a new setup
    /// with one input, not modified. Errors while reading are shown in one box at the end.
    void openFirstSetup(const QString& filePath);
    /// Tells the user something worth a box of its own (plain text, not modal), e.g. where a
    /// recovery file is.
    void showInformation(const QString& title, const QString& text);
    /// The stop asked for by SIGINT or SIGTERM: no prompt; open editors close, the quit-time
    /// preferences are stored, and a setup with unsaved changes is written to a recovery file, as
    /// is every song of an open set list edited this evening, and the list when it was edited.
    /// The setup stays current, for the clean stop after the event loop. Returns the recovery
    /// files' paths, empty when none was needed (a file that cannot be written is warned about).
    QStringList stopWithoutPrompt();
    /// Whether a setup file is being read or written right now.
    bool isFileOperationRunning() const { return _fileOperationDepth > 0; }
    /// Ends every sounding note and pedal, and centres bends, on every port of the setup.
    void allNotesOff();
    /// The undo stack of the current setup (each setup has its own); null when there is none.
    QUndoStack* undoStack() const;

    /// Asks the user for a setup file: to read (`forSaving` false) or to write. Returns the
    /// chosen path, or empty when the user gave up. It may run an event loop of its own.
    using SetupFileChooser =
        std::function<QString(QWidget* parent, bool forSaving, const QString& startPath)>;
    /// Replaces the file dialogs, e.g. by a script or a test that names the file itself. An
    /// empty chooser brings the file dialogs back.
    void setSetupFileChooser(SetupFileChooser chooser) { _fileChooser = std::move(chooser); }

    /// Opens the set list file and plays it from its first song (after the usual prompts). False
    /// when it was not opened (the reason is shown). Broken songs are named, and skipped.
    bool openSetList(const QString& filePath);
    SetListSession* setListSession() const { return _setListSession; }
    SetListPanel* setListPanel() const { return _setListPanel; }
    QDockWidget* setListDock() const { return _setListDock; }
    /// Replaces the file dialogs for set list files (".msl"), as setSetupFileChooser does.
    void setSetListFileChooser(SetupFileChooser chooser) { _setListFileChooser = std::move(chooser); }
    /// Replaces the file dialog that picks setup files to add as songs.
    using SongFilesChooser = std::function<QStringList(QWidget* parent, const QString& startPath)>;
    void setSongFilesChooser(SongFilesChooser chooser) { _songFilesChooser = std::move(chooser); }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private slots:
    // File and edit commands.
    void _newTriggeredSLOT();
    void _saveTriggeredSLOT();
    void _saveAsTriggeredSLOT();
    void _openTriggeredSLOT();
    void _closeTriggeredSLOT();
    void _quitTriggeredSLOT();
    void _newInputTriggeredSLOT();
    void _newOutputTriggeredSLOT();
    void _newPatchTriggeredSLOT();
    void _keyboardVisToggleSLOT();
    void _allNotesOffTriggeredSLOT();
    void _recentFileSelectedSLOT(const QString& filePath);
    void _setupFileOpenRequestedSLOT(const QString& filePath);

    // Dialogs (MainWindowDialogs.cpp).
    void _reroutePortTriggeredSLOT();
    void _mergeOutputsTriggeredSLOT();
    void _preferencesTriggeredSLOT();
    void _checkForUpdatesTriggeredSLOT();
    void _aboutAppTriggeredSLOT();

    // The setup manager.
    void _currentRoutingSetupClearedSLOT();
    void _currentRoutingSetupSwitchedToSLOT(MIDIRoutingSetup* setup);
    void _currentRoutingSetupModifiedChangedToSLOT(bool modified);
    void _currentRoutingSetupFilePathChangedToSLOT(const QString& filePath);

    // The status channel.
    void _statusMgrStatusMessageSLOT(const QString& message, int timeOut);
    void _statusMgrWarningMessageSLOT(const QString& message);
    void _statusMgrErrorMessageSLOT(const QString& message);

    // The setup file reader and writer.
    void _setupFileOpenStartingSLOT(const QString& filePath);
    void _setupFileSaveStartingSLOT(const QString& filePath);
    void _setupFileIOProgressSLOT(int currentStep, int numSteps);
    void _setupFileIOFinishedSLOT();

    // The setup view.
    void _keyboardVisChangedToSLOT(bool visible);

    // The set list (MainWindowSetList.cpp).
    void _newSetListTriggeredSLOT();
    void _openSetListTriggeredSLOT();
    void _saveSetListTriggeredSLOT();
    void _saveSetListAsTriggeredSLOT();
    void _closeSetListTriggeredSLOT();
    void _nextSongTriggeredSLOT();
    void _previousSongTriggeredSLOT();
    void _reloadSongTriggeredSLOT();
    void _addSongsRequestedSLOT();
    void _removeSongRequestedSLOT(int songIndex);
    void _songActivatedSLOT(int songIndex);

private:
    void _createActions();
    void _buildUI();
    void _buildMenus();
    void _buildStatusBar();
    void _makeConnections();
    void _setTitleBarText();
    void _updateActionEnabledness();

    // File commands (MainWindowFileCommands.cpp).
    bool _promptToSaveCurrentIfNeeded();
    bool _doSave();
    bool _doSaveAs();
    bool _doFileOpen(const QString& filePath);
    bool _writeCurrentSetupTo(const QString& filePath);
    void _openFileReplacingCurrent(const QString& filePath);
    void _makeNewSetupWithOneInput();
    QString _chooseFileToOpen();
    QString _chooseFileToSaveAs(const QString& startPath);
    bool _confirmReplacing(const QString& filePath);

    // A file operation holds back message boxes until its end and keeps user input out.
    void _beginFileOperation();
    void _endFileOperation();
    void _prepareProgressDialog(const QString& title, const QString& label);

    // The undo stack and the Edit menu's undo and redo (MainWindowUndo.cpp).
    void _createUndoActions();
    void _makeUndoConnections();
    /// Makes the current setup's stack the active one, giving the setup a stack the first time.
    void _useUndoStackOfCurrentSetup();
    void _undoCleanChanged(bool clean);

    // The set list (MainWindowSetList.cpp).
    void _createSetListActions();
    void _buildSetListUI();
    void _updateSetListActions();
    /// Asks once about every song edited this evening (and the set list file itself when
    /// `aboutTheList`); true when the caller may go on.
    bool _promptToSaveSetListIfNeeded(bool aboutTheList);
    bool _doSaveSetList();
    bool _doSaveSetListAs();
    bool _closeSetListWithPrompt();
    bool _playSetListFrom(int songIndex);
    void _showSetList(bool afterOpening);

    void _storeQuitPreferences();
    void _closeOtherWindows();

    MainWindowSetupView* _setupView = nullptr;
    bool _geometryRestored = false;

    QMenu* _fileMenu = nullptr;
    QMenu* _editMenu = nullptr;
    QMenu* _createMenu = nullptr;
    QMenu* _viewMenu = nullptr;
    QMenu* _helpMenu = nullptr;
    RecentFilesMenu* _recentFilesMenu = nullptr;

    QAction* _newAction = nullptr;
    QAction* _saveAction = nullptr;
    QAction* _saveAsAction = nullptr;
    QAction* _openAction = nullptr;
    QAction* _closeAction = nullptr;
    QAction* _quitAction = nullptr;
    QAction* _rerouteAction = nullptr;
    QAction* _mergeOutputsAction = nullptr;
    QAction* _preferencesAction = nullptr;
    QAction* _newInputAction = nullptr;
    QAction* _newOutputAction = nullptr;
    QAction* _newPatchAction = nullptr;
    QAction* _keyboardVisAction = nullptr;
    QAction* _whatsThisAction = nullptr;
    QAction* _checkForUpdatesAction = nullptr;
    QAction* _aboutAction = nullptr;
    QAction* _allNotesOffAction = nullptr;
    QAction* _undoAction = nullptr;
    QAction* _redoAction = nullptr;
    QUndoGroup* _undoGroup = nullptr;

    QMenu* _setListMenu = nullptr;
    QAction* _newSetListAction = nullptr;
    QAction* _openSetListAction = nullptr;
    QAction* _saveSetListAction = nullptr;
    QAction* _saveSetListAsAction = nullptr;
    QAction* _closeSetListAction = nullptr;
    QAction* _nextSongAction = nullptr;
    QAction* _previousSongAction = nullptr;
    QAction* _reloadSongAction = nullptr;
    SetListSession* _setListSession = nullptr;
    QDockWidget* _setListDock = nullptr;
    SetListPanel* _setListPanel = nullptr;
    SetupFileChooser _setListFileChooser;
    SongFilesChooser _songFilesChooser;

    QProgressDialog* _progressDialog = nullptr;
    QToolButton* _allNotesOffButton = nullptr;
    MessageBoxCollector* _messageBoxes = nullptr;
    int _fileOperationDepth = 0;
    SetupFileChooser _fileChooser;
    bool _stopping = false;
    // The views of the window hear the MIDI thread through the pump: it runs while the window lives.
    ModelSignalPump::Hold _signalPumpHold;
};
