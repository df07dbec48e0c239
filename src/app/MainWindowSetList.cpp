// The set list in the window: its menu, its panel in a dock, opening, saving and closing a list,
// going from song to song, and the prompt that asks once about every song edited this evening.
#include "app/MainWindow.h"

#include "app/LocalWaitCursor.h"
#include "app/MessageBoxCollector.h"
#include "app/SetListSession.h"
#include "app/StatusManager.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "model/routing/MIDIRoutingSetupManager.h"
#include "model/setlist/SetList.h"
#include "model/setlist/SetListPlayer.h"
#include "persistence/FilePaths.h"
#include "persistence/RememberedPaths.h"
#include "persistence/SetListFileReaderWriter.h"
#include "persistence/SetupFileReaderWriter.h"
#include "widgets/SetListPanel.h"

#include <QAction>
#include <QDockWidget>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeySequence>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>

namespace {

const QString kSetListFileFilter = QStringLiteral("Quorvell Set List Files (*.msl)");
const QString kSetupFileFilter = QStringLiteral("Quorvell Setup Files (*.ms)");

QAction* makeSetListAction(QObject* parent, const QString& text, const QString& statusTip,
                           const QKeySequence& shortcut = QKeySequence())
{
    auto* action = new QAction(text, parent);
    action->setStatusTip(statusTip);
    action->setShortcut(shortcut);
    return action;
}

} // namespace

void MainWindow::_createSetListActions()
{
    _newSetListAction = makeSetListAction(this, QStringLiteral("New Set List"),
                                          QStringLiteral("Start a new, empty set list."));
    _openSetListAction = makeSetListAction(this, QStringLiteral("Open Set List..."),
                                           QStringLiteral("Open a set list and play its first song."));
    _saveSetListAction = makeSetListAction(this, QStringLiteral("Save Set List"),
                                           QStringLiteral("Save the set list to disk."));
    _saveSetListAsAction = makeSetListAction(this, QStringLiteral("Save Set List As..."),
                                             QStringLiteral("Save the set list to a new file on disk."));
    _closeSetListAction =
        makeSetListAction(this, QStringLiteral("Close Set List"), QStringLiteral("Close the set list."));
    _nextSongAction =
        makeSetListAction(this, QStringLiteral("Next Song"), QStringLiteral("Play the next song."),
                          QKeySequence(Qt::Key_PageDown));
    _previousSongAction =
        makeSetListAction(this, QStringLiteral("Previous Song"), QStringLiteral("Play the previous song."),
                          QKeySequence(Qt::Key_PageUp));
    _reloadSongAction =
        makeSetListAction(this, QStringLiteral("Reload song"),
                          QStringLiteral("Read the current song's setup file again from disk."));
    connect(_newSetListAction, &QAction::triggered, this, &MainWindow::_newSetListTriggeredSLOT);
    connect(_openSetListAction, &QAction::triggered, this, &MainWindow::_openSetListTriggeredSLOT);
    connect(_saveSetListAction, &QAction::triggered, this, &MainWindow::_saveSetListTriggeredSLOT);
    connect(_saveSetListAsAction, &QAction::triggered, this, &MainWindow::_saveSetListAsTriggeredSLOT);
    connect(_closeSetListAction, &QAction::triggered, this, &MainWindow::_closeSetListTriggeredSLOT);
    connect(_nextSongAction, &QAction::triggered, this, &MainWindow::_nextSongTriggeredSLOT);
    connect(_previousSongAction, &QAction::triggered, this, &MainWindow::_previousSongTriggeredSLOT);
    connect(_reloadSongAction, &QAction::triggered, this, &MainWindow::_reloadSongTriggeredSLOT);
}

void MainWindow::_buildSetListUI()
{
    _setListSession = new SetListSession(this);
    _setListPanel = new SetListPanel(this);
    _setListDock = new QDockWidget(QStringLiteral("Set List"), this);
    _setListDock->setObjectName(QStringLiteral("SetListDock"));
    // The window's width is the setup view's: the panel sits above or below it.
    _setListDock->setAllowedAreas(Qt::BottomDockWidgetArea | Qt::TopDockWidgetArea);
    _setListDock->setWidget(_setListPanel);
    _setListDock->toggleViewAction()->setText(QStringLiteral("Set List Panel"));
    _setListDock->toggleViewAction()->setStatusTip(QStringLiteral("Show or hide the set list panel."));
    addDockWidget(Qt::BottomDockWidgetArea, _setListDock);
    _setListDock->hide();

    connect(_setListPanel, &SetListPanel::addSongsRequested, this, &MainWindow::_addSongsRequestedSLOT);
    connect(_setListPanel, &SetListPanel::removeSongRequested, this, &MainWindow::_removeSongRequestedSLOT);
    connect(_setListPanel, &SetListPanel::songActivated, this, &MainWindow::_songActivatedSLOT);
    connect(_setListPanel, &SetListPanel::nextSongRequested, this, &MainWindow::_nextSongTriggeredSLOT);
    connect(_setListPanel, &SetListPanel::previousSongRequested, this,
            &MainWindow::_previousSongTriggeredSLOT);
    connect(_setListSession, &SetListSession::setListOpened, this, [this](SetList* setList) {
        _setListPanel->setSetList(setList, _setListSession->getPlayer());
        connect(_setListSession->getPlayer(), &SetListPlayer::currentSongChangedTo, this,
                &MainWindow::_updateSetListActions);
        connect(_setListSession->getPlayer(), &SetListPlayer::stopped, this,
                &MainWindow::_updateSetListActions);
        connect(setList, &SetList::songAdded, this, &MainWindow::_updateSetListActions);
        connect(setList, &SetList::songRemoved, this, &MainWindow::_updateSetListActions);
        _updateSetListActions();
    });
    connect(_setListSession, &SetListSession::setListClosed, this, [this] {
        _setListPanel->setSetList(nullptr, nullptr);
        _updateSetListActions();
    });
    _updateSetListActions();
}

void MainWindow::_updateSetListActions()
{
    const bool open = _setListSession->isOpen();
    const bool playing = _setListSession->isPlaying();
    for (QAction* action : {_saveSetListAction, _saveSetListAsAction, _closeSetListAction})
        action->setEnabled(open);
    _nextSongAction->setEnabled(open && !_setListSession->getSetList()->isEmpty());
    _previousSongAction->setEnabled(playing);
    _reloadSongAction->setEnabled(playing);
}

void MainWindow::_showSetList(bool afterOpening)
{
    if (afterOpening)
        _setListDock->show();
    _updateSetListActions();
}

bool MainWindow::_promptToSaveSetListIfNeeded(bool aboutTheList)
{
    const QList<SetListSession::EditedSong> songs = _setListSession->editedSongs();
    QPointer<SetList> setList = _setListSession->getSetList();
    const bool listEdited = aboutTheList && setList && setList->isModified();
    if (songs.isEmpty() && !listEdited)
        return true;
    QString text = QStringLiteral("Save changes before closing the set list?\n");
    if (!songs.isEmpty()) {
        text += QStringLiteral("\nSongs with unsaved changes:\n");
        for (const SetListSession::EditedSong& song : songs)
            text += QStringLiteral("    ") + song.name + QLatin1Char('\n');
    }
    if (listEdited)
        text += QStringLiteral("\nThe set list \"%1\" has unsaved changes.\n").arg(setList->getName());
    if (!aboutTheList)
        text.replace(QStringLiteral("closing the set list"), QStringLiteral("leaving the set list"));
    QPointer<MainWindow> self = this;
    QMessageBox box(QMessageBox::Question, QStringLiteral("Save Set List Songs"), text.trimmed(),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
    box.setTextFormat(Qt::PlainText);
    box.button(QMessageBox::Discard)->setText(QStringLiteral("Don't Save"));
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    const int answer = box.exec();
    if (!self)
        return false;
    if (answer == QMessageBox::Discard)
        return true;
    if (answer != QMessageBox::Save)
        return false;
    // Every song goes to its own file; the list last, since an unsaved one asks where.
    bool saved = true;
    for (const SetListSession::EditedSong& song : songs) {
        if (!song.setup)
            continue;
        LocalWaitCursor waitCursor;
        _beginFileOperation();
        auto end = qScopeGuard([this] { _endFileOperation(); });
        if (SetupFileReaderWriter::GetInstance()->saveSetupToDisk(song.setup, song.setup->getFilePath()))
            postStatusMessage(
                getFilePathWithNativeSeparators(song.setup->getFilePath()) + QStringLiteral(" saved."), 3000);
        else
            saved = false;
    }
    if (listEdited && setList)
        saved = _doSaveSetList() && saved;
    return self && saved;
}

bool MainWindow::_doSaveSetList()
{
    SetList* setList = _setListSession->getSetList();
    if (!setList)
        return false;
    if (setList->getFilePath().isEmpty())
        return _doSaveSetListAs();
    LocalWaitCursor waitCursor;
    if (!SetListFileReaderWriter::saveSetListToDisk(setList))
        return false;
    postStatusMessage(getFilePathWithNativeSeparators(setList->getFilePath()) + QStringLiteral(" saved."),
                      3000);
    return true;
}

bool MainWindow::_doSaveSetListAs()
{
    QPointer<SetList> setList = _setListSession->getSetList();
    if (!setList)
        return false;
    const QString start = setList->getFilePath().isEmpty() ? getLastSavePath() : setList->getFilePath();
    QString path;
    if (_setListFileChooser) {
        path = _setListFileChooser(this, true, start);
    } else {
        QFileDialog dialog(this, QStringLiteral("Choose Set List Location"), start, kSetListFileFilter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QStringLiteral("msl"));
        if (dialog.exec() == QDialog::Accepted)
            path = dialog.selectedFiles().value(0);
    }
    // The dialog ran its own event loop: the list may have been closed meanwhile.
    if (path.isEmpty() || !setList || setList != _setListSession->getSetList())
        return false;
    if (!path.endsWith(QLatin1String(".msl")))
        path += QStringLiteral(".msl");
    LocalWaitCursor waitCursor;
    if (!SetListFileReaderWriter::saveSetListToDisk(setList, path))
        return false;
    setLastSavePathFromFilePath(path);
    postStatusMessage(getFilePathWithNativeSeparators(path) + QStringLiteral(" saved."), 3000);
    return true;
}

bool MainWindow::_closeSetListWithPrompt()
{
    if (!_setListSession->isOpen())
        return true;
    QPointer<MainWindow> self = this;
    if (!_promptToSaveSetListIfNeeded(true) || !self)
        return false;
    LocalWaitCursor waitCursor;
    _setListSession->close();
    return true;
}

void MainWindow::_newSetListTriggeredSLOT()
{
    if (isFileOperationRunning() || !_closeSetListWithPrompt())
        return;
    _setListSession->open(new SetList(QStringLiteral("Untitled")));
    _showSetList(true);
}

void MainWindow::_openSetListTriggeredSLOT()
{
    if (isFileOperationRunning())
        return;
    QString path;
    if (_setListFileChooser) {
        path = _setListFileChooser(this, false, getLastOpenPath());
    } else {
        QFileDialog dialog(this, QStringLiteral("Choose Set List File"), getLastOpenPath(),
                           kSetListFileFilter);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        if (dialog.exec() == QDialog::Accepted)
            path = dialog.selectedFiles().value(0);
    }
    if (!path.isEmpty())
        openSetList(path);
}

bool MainWindow::openSetList(const QString& filePath)
{
    QPointer<MainWindow> self = this;
    if (!_closeSetListWithPrompt() || !self)
        return false;
    // The first song takes the place of the setup open now.
    if (!_promptToSaveCurrentIfNeeded() || !self)
        return false;
    auto* setList = new SetList();
    bool started = false;
    {
        LocalWaitCursor waitCursor;
        // The broken songs are named in one box at the end.
        _beginFileOperation();
        auto end = qScopeGuard([this] { _endFileOperation(); });
        if (!SetListFileReaderWriter::readSetListFromDisk(setList, filePath)) {
            delete setList;
            return false;
        }
        setLastOpenPathFromFilePath(filePath);
        _setListSession->open(setList);
        started = _setListSession->getPlayer()->start(0);
    }
    _setListPanel->refresh();
    if (!self)
        return false;
    _showSetList(true);
    return started;
}

void MainWindow::_saveSetListTriggeredSLOT()
{
    if (!isFileOperationRunning())
        _doSaveSetList();
}

void MainWindow::_saveSetListAsTriggeredSLOT()
{
    if (!isFileOperationRunning())
        _doSaveSetListAs();
}

void MainWindow::_closeSetListTriggeredSLOT()
{
    if (!isFileOperationRunning())
        _closeSetListWithPrompt();
}

bool MainWindow::_playSetListFrom(int songIndex)
{
    SetListPlayer* player = _setListSession->getPlayer();
    if (!player)
        return false;
    if (player->isPlaying()) {
        player->gotoSong(songIndex);
        // The change is made now; the player's watch would see to the rest within a few ms.
        player->processPendingWork();
        _setListPanel->refresh();
        return true;
    }
    QPointer<MainWindow> self = this;
    if (!_promptToSaveCurrentIfNeeded() || !self || player != _setListSession->getPlayer())
        return false;
    LocalWaitCursor waitCursor;
    const bool started = player->start(songIndex);
    _setListPanel->refresh();
    _updateSetListActions();
    return started;
}

void MainWindow::_nextSongTriggeredSLOT()
{
    SetListPlayer* player = _setListSession->getPlayer();
    if (!player || isFileOperationRunning())
        return;
    if (!player->isPlaying()) {
        _playSetListFrom(0);
        return;
    }
    player->nextSong();
    player->processPendingWork();
    _setListPanel->refresh();
}

void MainWindow::_previousSongTriggeredSLOT()
{
    SetListPlayer* player = _setListSession->getPlayer();
    if (!player || !player->isPlaying() || isFileOperationRunning())
        return;
    player->previousSong();
    player->processPendingWork();
    _setListPanel->refresh();
}

void MainWindow::_reloadSongTriggeredSLOT()
{
    SetListPlayer* player = _setListSession->getPlayer();
    if (!player || !player->isPlaying() || isFileOperationRunning())
        return;
    MIDIRoutingSetup* setup = player->getCurrentSongSetup();
    if (setup && setup->isModified()) {
        QPointer<MainWindow> self = this;
        QMessageBox box(QMessageBox::Warning, QStringLiteral("Reload Song"),
                        QStringLiteral("The song's setup has unsaved changes. Read it again from disk and "
                                       "lose them?"),
                        QMessageBox::Discard | QMessageBox::Cancel, this);
        box.button(QMessageBox::Discard)->setText(QStringLiteral("Reload"));
        box.setDefaultButton(QMessageBox::Cancel);
        const int answer = box.exec();
        if (!self || answer != QMessageBox::Discard || player != _setListSession->getPlayer() ||
            !player->isPlaying())
            return;
    }
    LocalWaitCursor waitCursor;
    _beginFileOperation();
    auto end = qScopeGuard([this] { _endFileOperation(); });
    player->reloadCurrentSong();
    _setListPanel->refresh();
}

void MainWindow::_songActivatedSLOT(int songIndex)
{
    if (!isFileOperationRunning())
        _playSetListFrom(songIndex);
}

void MainWindow::_addSongsRequestedSLOT()
{
    QPointer<SetList> setList = _setListSession->getSetList();
    if (!setList)
        return;
    QStringList paths;
    if (_songFilesChooser) {
        paths = _songFilesChooser(this, getLastOpenPath());
    } else {
        paths = QFileDialog::getOpenFileNames(this, QStringLiteral("Choose Song Setup Files"),
                                              getLastOpenPath(), kSetupFileFilter);
    }
    // The dialog ran its own event loop: the list may have gone.
    if (paths.isEmpty() || !setList || setList != _setListSession->getSetList())
        return;
    setLastOpenPathFromFilePath(paths.first());
    const int first = setList->getNumSongs();
    _setListPanel->addSongFiles(paths);
    for (int i = first; i < setList->getNumSongs(); ++i) {
        const QString reason =
            SetListFileReaderWriter::whySongFileCannotBeRead(setList->getSongAtIndex(i).getResolvedPath());
        if (!reason.isEmpty())
            setList->setSongLoadError(i, reason);
    }
}

void MainWindow::_removeSongRequestedSLOT(int songIndex)
{
    QPointer<SetList> setList = _setListSession->getSetList();
    if (!setList || songIndex < 0 || songIndex >= setList->getNumSongs())
        return;
    // A song taken out lets go of its setup: edits made to it this evening are asked about.
    QPointer<MIDIRoutingSetup> edited = _setListSession->editedSetupOfSong(songIndex);
    const SetListSong song = setList->getSongAtIndex(songIndex);
    if (edited) {
        QPointer<MainWindow> self = this;
        QMessageBox box(QMessageBox::Question, QStringLiteral("Remove Song"),
                        QStringLiteral("\"%1\" has unsaved changes. Save them before removing the song?")
                            .arg(setList->getSongAtIndex(songIndex).getName()),
                        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
        box.setTextFormat(Qt::PlainText);
        box.button(QMessageBox::Discard)->setText(QStringLiteral("Don't Save"));
        const int answer = box.exec();
        if (!self || !setList || answer == QMessageBox::Cancel)
            return;
        if (answer == QMessageBox::Save && edited &&
            !SetupFileReaderWriter::GetInstance()->saveSetupToDisk(edited, edited->getFilePath()))
            return;
        // The list may have changed while the box was up: the song is removed only if it is still
        // the one asked about.
        if (songIndex >= setList->getNumSongs() || !(setList->getSongAtIndex(songIndex) == song))
            return;
    }
    setList->removeSongAtIndex(songIndex);
}
