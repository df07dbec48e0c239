#include "app/MainWindow.h"

#include "app/MessageBoxCollector.h"
#include "app/RecentFilesMenu.h"
#include "app/SetListSession.h"
#include "app/StatusManager.h"
#include "app/WindowGeometry.h"
#include "editors/TransformDialogManager.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "model/routing/MIDIRoutingSetupManager.h"
#include "model/setlist/SetList.h"
#include "persistence/AppPrefs.h"
#include "persistence/FilePaths.h"
#include "persistence/PrefKeys.h"
#include "persistence/RecoveryFile.h"
#include "persistence/SetupFileReaderWriter.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QLabel>
#include <QMessageBox>
#include <QProgressDialog>
#include <QScreen>
#include <QStatusBar>
#include <QToolButton>
#include <QUndoStack>

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent)
{
    _createActions();
    _buildUI();
    _updateActionEnabledness();
    // Only the height is the user's to change: the width follows the setup view.
    setFixedWidth(sizeHint().width());
    _setTitleBarText();
    _makeConnections();
    _makeUndoConnections();
    // Transform editors float as tool windows of this window; initializer editors are its modals.
    TransformDialogManager::GetInstance()->setMainWindow(this);
}

MainWindow::~MainWindow()
{
    // The set list lets go of its songs while the window can still hear the setup manager say so.
    _setListSession->close();
}

void MainWindow::_buildUI()
{
    _setupView = new MainWindowSetupView(this);
    setCentralWidget(_setupView);
    _buildSetListUI();
    _buildMenus();
    _buildStatusBar();

    _messageBoxes = new MessageBoxCollector(this);

    _progressDialog = new QProgressDialog(this);
    _progressDialog->setCancelButton(nullptr);
    // The label names files: plain text, never rich-text markup from a file name.
    auto* progressLabel = new QLabel(_progressDialog);
    progressLabel->setTextFormat(Qt::PlainText);
    _progressDialog->setLabel(progressLabel);
    _progressDialog->setFixedWidth(sizeHint().width() / 2);
    // Window-modal: while a file is read or written the window takes no clicks or keys.
    _progressDialog->setWindowModality(Qt::WindowModal);
    _progressDialog->setMinimumDuration(0);
    _progressDialog->setAutoClose(false);
    _progressDialog->setAutoReset(false);
    // A new progress dialog shows itself after a few seconds unless it is reset.
    _progressDialog->reset();
    _progressDialog->hide();

    _setupView->setKeyboardVisible(
        getBoolPrefValue(PrefKeys::KeyboardVisible, PrefKeys::KeyboardVisibleDefault));
    _setupView->setKeyboardXScrollAmount(
        getIntPrefValue(PrefKeys::KeyboardXScrollAmount, PrefKeys::KeyboardXScrollAmountDefault));
    _keyboardVisChangedToSLOT(_setupView->isKeyboardVisible());
}

void MainWindow::_buildStatusBar()
{
    statusBar()->showMessage(QStringLiteral("Ready"));
    _allNotesOffButton = new QToolButton(statusBar());
    _allNotesOffButton->setDefaultAction(_allNotesOffAction);
    _allNotesOffButton->setToolButtonStyle(Qt::ToolButtonTextOnly);
    _allNotesOffButton->setAutoRaise(false);
    _allNotesOffButton->setFocusPolicy(Qt::NoFocus);
    _allNotesOffButton->setToolTip(QStringLiteral("All notes off (Ctrl+.)"));
    _allNotesOffButton->setWhatsThis(
        QStringLiteral("<b>All Notes Off button.</b>  Click to end every sounding note and sustain pedal "
                       "on every port and channel of the setup, and to centre any pitch bend left bent."));
    statusBar()->addPermanentWidget(_allNotesOffButton);
}

void MainWindow::_makeConnections()
{
    MIDIRoutingSetupManager* manager = MIDIRoutingSetupManager::GetInstance();
    connect(manager, &MIDIRoutingSetupManager::currentRoutingSetupCleared, this,
            &MainWindow::_currentRoutingSetupClearedSLOT);
    connect(manager, &MIDIRoutingSetupManager::currentRoutingSetupSwitchedTo, this,
            &MainWindow::_currentRoutingSetupSwitchedToSLOT);
    connect(manager, &MIDIRoutingSetupManager::currentRoutingSetupModifiedChangedTo, this,
            &MainWindow::_currentRoutingSetupModifiedChangedToSLOT);
    connect(manager, &MIDIRoutingSetupManager::currentRoutingSetupFilePathChangedTo, this,
            &MainWindow::_currentRoutingSetupFilePathChangedToSLOT);

    StatusManager* status = StatusManager::GetInstance();
    connect(status, qOverload<QString, int>(&StatusManager::statusMessagePosted), this,
            &MainWindow::_statusMgrStatusMessageSLOT);
    connect(status, &StatusManager::warningMessagePosted, this, &MainWindow::_statusMgrWarningMessageSLOT);
    connect(status, &StatusManager::errorMessagePosted, this, &MainWindow::_statusMgrErrorMessageSLOT);

    SetupFileReaderWriter* files = SetupFileReaderWriter::GetInstance();
    connect(files, &SetupFileReaderWriter::setupFileOpenStarting, this,
            &MainWindow::_setupFileOpenStartingSLOT);
    connect(files, &SetupFileReaderWriter::setupFileOpenProgress, this,
            &MainWindow::_setupFileIOProgressSLOT);
    connect(files, &SetupFileReaderWriter::setupFileOpenFinished, this,
            &MainWindow::_setupFileIOFinishedSLOT);
    connect(files, &SetupFileReaderWriter::setupFileSaveStarting, this,
            &MainWindow::_setupFileSaveStartingSLOT);
    connect(files, &SetupFileReaderWriter::setupFileSaveProgress, this,
            &MainWindow::_setupFileIOProgressSLOT);
    connect(files, &SetupFileReaderWriter::setupFileSaveFinished, this,
            &MainWindow::_setupFileIOFinishedSLOT);

    connect(_setupView, &MainWindowSetupView::keyboardVisibilityChangedTo, this,
            &MainWindow::_keyboardVisChangedToSLOT);
    // Queued: a dropped file is opened after the drag has ended, never inside the drop event.
    connect(_setupView, &MainWindowSetupView::setupFileOpenRequested, this,
            &MainWindow::_setupFileOpenRequestedSLOT, Qt::QueuedConnection);
    connect(_recentFilesMenu, &RecentFilesMenu::recentFileSelected, this,
            &MainWindow::_recentFileSelectedSLOT);
}

void MainWindow::_setTitleBarText()
{
    MIDIRoutingSetup* setup = getCurrentRoutingSetup();
    if (!setup) {
        setWindowModified(false);
        setWindowTitle(QStringLiteral("Quorvell"));
        return;
    }
    QString document = QStringLiteral("Untitled");
    if (setup->hasBeenSaved()) {
        document = getFileNameWithoutThePath(setup->getFilePath());
        // "[*]" in a file name would be taken for the modified marker.
        document.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
    }
    setWindowTitle(document + QStringLiteral("[*] - Quorvell"));
    setWindowModified(setup->isModified());
}

void MainWindow::_updateActionEnabledness()
{
    const bool hasSetup = MIDIRoutingSetupManager::GetInstance()->hasCurrentRoutingSetup();
    for (QAction* action : {_saveAction, _saveAsAction, _closeAction, _newInputAction, _newOutputAction,
                            _newPatchAction, _rerouteAction, _mergeOutputsAction, _allNotesOffAction})
        action->setEnabled(hasSetup);
}

void MainWindow::_currentRoutingSetupClearedSLOT()
{
    _useUndoStackOfCurrentSetup();
    _updateActionEnabledness();
    _setTitleBarText();
}

void MainWindow::_currentRoutingSetupSwitchedToSLOT(MIDIRoutingSetup*)
{
    _useUndoStackOfCurrentSetup();
    _updateActionEnabledness();
    _setTitleBarText();
}

void MainWindow::_currentRoutingSetupModifiedChangedToSLOT(bool modified)
{
    setWindowModified(modified);
    // Saved (or freshly read): this is the state undo comes back to as unmodified.
    if (QUndoStack* stack = undoStack(); stack && !modified)
        stack->setClean();
}

void MainWindow::_currentRoutingSetupFilePathChangedToSLOT(const QString&)
{
    _setTitleBarText();
}

void MainWindow::showEvent(QShowEvent* event)
{
    if (!_geometryRestored) {
        _geometryRestored = true;
        const QSize size = getSizePrefValue(PrefKeys::MainWindowSize,
                                            QSize(sizeHint().width(), PrefKeys::MainWindowHeightDefault));
        const QPoint position =
            getPointPrefValue(PrefKeys::MainWindowPosition, QPoint(PrefKeys::MainWindowPositionXDefault,
                                                                   PrefKeys::MainWindowPositionYDefault));
        QRect wanted(position, QSize(width(), size.height()));
        QScreen* screen = QGuiApplication::screenAt(wanted.center());
        if (!screen)
            screen = QGuiApplication::primaryScreen();
        if (screen)
            wanted = clampWindowGeometry(wanted, screen->availableGeometry());
        resize(width(), std::max(wanted.height(), minimumSizeHint().height()));
        move(wanted.topLeft());
    }
    QMainWindow::showEvent(event);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (_stopping) {
        event->accept();
        return;
    }
    // A file being read or written finishes first. With a set list open, every song edited this
    // evening is asked about once, and the list itself.
    QPointer<MainWindow> self = this;
    bool mayClose = !isFileOperationRunning();
    if (mayClose && _setListSession->isOpen())
        mayClose = _promptToSaveSetListIfNeeded(true);
    if (!self)
        return;
    // A setup of its own, open while the list plays nothing, is asked about as always.
    if (mayClose && !_setListSession->isPlaying())
        mayClose = _promptToSaveCurrentIfNeeded();
    if (!self)
        return;
    if (!mayClose) {
        event->ignore();
        return;
    }
    _closeOtherWindows();
    _storeQuitPreferences();
    event->accept();
    _setListSession->close();
    MIDIRoutingSetupManager* manager = MIDIRoutingSetupManager::GetInstance();
    if (manager->hasCurrentRoutingSetup())
        manager->clearCurrentRoutingSetup(true);
}

void MainWindow::_storeQuitPreferences()
{
    setPointPrefValue(PrefKeys::MainWindowPosition, pos());
    setSizePrefValue(PrefKeys::MainWindowSize, size());
    setBoolPrefValue(PrefKeys::KeyboardVisible, _setupView->isKeyboardVisible());
    setIntPrefValue(PrefKeys::KeyboardXScrollAmount, _setupView->getKeyboardXScrollAmount());
    syncPrefs();
}

void MainWindow::_closeOtherWindows()
{
    // Transform editors and other dialogs are closed with the window, so none outlives the setup
    // it edits.
    TransformDialogManager::GetInstance()->closeAllTransformEditors();
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* widget : windows) {
        if (widget != this && widget->isVisible() && !qobject_cast<QMenu*>(widget))
            widget->close();
    }
}

QStringList MainWindow::stopWithoutPrompt()
{
    _stopping = true;
    _closeOtherWindows();
    _storeQuitPreferences();
    QList<MIDIRoutingSetup*> unsaved;
    MIDIRoutingSetup* setup = getCurrentRoutingSetup();
    if (setup && setup->isModified() && !(setup->isEmpty() && !setup->hasBeenSaved()))
        unsaved << setup;
    for (const SetListSession::EditedSong& song : _setListSession->editedSongs()) {
        if (song.setup && !unsaved.contains(song.setup.data()))
            unsaved << song.setup.data();
    }
    SetList* setList = _setListSession->getSetList();
    const SetList* editedList = setList && setList->isModified() ? setList : nullptr;
    if (unsaved.isEmpty() && !editedList)
        return {};
    QStringList errors;
    const QStringList paths = writeRecoveryFiles(unsaved, editedList, &errors);
    for (const QString& error : errors)
        qWarning("%s", qPrintable(error));
    return paths;
}

void MainWindow::showInformation(const QString& title, const QString& text)
{
    // Not modal: the setup routes and the window works while the box is up.
    auto* box = new QMessageBox(QMessageBox::Information, title, text, QMessageBox::Ok, this);
    box->setTextFormat(Qt::PlainText);
    box->setWindowModality(Qt::NonModal);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->show();
}

void MainWindow::allNotesOff()
{
    if (MIDIRoutingSetup* setup = getCurrentRoutingSetup()) {
        setup->panic();
        postStatusMessage(QStringLiteral("All notes off: every note and sustain pedal ended."), 3000);
    }
}

void MainWindow::_allNotesOffTriggeredSLOT()
{
    allNotesOff();
}
