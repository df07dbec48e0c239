// The document commands: new, open, open recent, drop, save, save as, close, and the prompt to
// save before any of them lets go of a setup with unsaved changes.
#include "app/MainWindow.h"

#include "app/LocalWaitCursor.h"
#include "app/MessageBoxCollector.h"
#include "app/SetListSession.h"
#include "app/StatusManager.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "model/routing/MIDIRoutingSetupManager.h"
#include "persistence/FilePaths.h"
#include "persistence/RecentFilesTracker.h"
#include "persistence/RememberedPaths.h"
#include "persistence/SetupFileCheck.h"
#include "persistence/SetupFileReaderWriter.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QScopeGuard>

namespace {

const QString kSetupFileFilter = QStringLiteral("Quorvell Setup Files (*.ms)");

} // namespace

bool MainWindow::_promptToSaveCurrentIfNeeded()
{
    // The current setup is a song of the set list: replacing it stops the list, and every song
    // edited this evening goes with it.
    if (_setListSession->isPlaying())
        return _promptToSaveSetListIfNeeded(false);
    MIDIRoutingSetup* setup = getCurrentRoutingSetup();
    if (!setup)
        return true;
    if (setup->isEmpty() && !setup->hasBeenSaved())
        return true;
    if (!setup->isModified())
        return true;

    QMessageBox box(QMessageBox::Question, QStringLiteral("Save Current Setup"),
                    QStringLiteral("Save current setup before proceeding?"),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
    box.button(QMessageBox::Discard)->setText(QStringLiteral("Don't Save"));
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    const int answer = box.exec();
    if (answer == QMessageBox::Save)
        return _doSave();
    return answer == QMessageBox::Discard;
}

bool MainWindow::_doSave()
{
    MIDIRoutingSetup* setup = getCurrentRoutingSetup();
    if (!setup)
        return false;
    if (!setup->hasBeenSaved())
        return _doSaveAs();
    return _writeCurrentSetupTo(setup->getFilePath());
}

bool MainWindow::_doSaveAs()
{
    QPointer<MIDIRoutingSetup> setup = getCurrentRoutingSetup();
    if (!setup)
        return false;
    const QString start = setup->hasBeenSaved() ? setup->getFilePath() : getLastSavePath();
    QString path = _chooseFileToSaveAs(start);
    // The dialog ran its own event loop: the setup may have gone meanwhile.
    if (path.isEmpty() || !setup || setup != getCurrentRoutingSetup())
        return false;
    if (!path.endsWith(QLatin1String(".ms"))) {
        path += QStringLiteral(".ms");
        // The dialog asked about replacing the name it was given, not this one.
        if (QFileInfo::exists(path) && !_confirmReplacing(path))
            return false;
    }
    return _writeCurrentSetupTo(path);
}

bool MainWindow::_writeCurrentSetupTo(const QString& filePath)
{
    QPointer<MIDIRoutingSetup> setup = getCurrentRoutingSetup();
    if (!setup)
        return false;
    bool written = false;
    {
        LocalWaitCursor waitCursor;
        _beginFileOperation();
        auto end = qScopeGuard([this] { _endFileOperation(); });
        written = SetupFileReaderWriter::GetInstance()->saveSetupToDisk(setup, filePath);
    }
    if (!written)
        return false;
    setLastSavePathFromFilePath(filePath);
    setMostRecentlyOpenedFile(filePath);
    postStatusMessage(getFilePathWithNativeSeparators(filePath) + QStringLiteral(" saved."), 3000);
    return true;
}

bool MainWindow::_doFileOpen(const QString& filePath)
{
    bool read = false;
    {
        LocalWaitCursor waitCursor;
        _beginFileOperation();
        auto end = qScopeGuard([this] { _endFileOperation(); });
        const QString reason = whySetupFileCannotBeOpened(filePath);
        if (!reason.isEmpty()) {
            postErrorMessage(reason);
            return false;
        }
        // Read into a setup of its own: the current one is let go of only once the read worked.
        QPointer<MIDIRoutingSetup> setup = new MIDIRoutingSetup(QString(), nullptr);
        read = SetupFileReaderWriter::GetInstance()->readSetupFromDisk(setup, filePath);
        if (!setup)
            return false;
        if (!read) {
            setup->deleteLater();
            return false;
        }
        MIDIRoutingSetupManager::GetInstance()->setCurrentRoutingSetup(setup, true);
    }
    setMostRecentlyOpenedFile(filePath);
    setLastOpenPathFromFilePath(filePath);
    return true;
}

void MainWindow::_openTriggeredSLOT()
{
    if (isFileOperationRunning() || !_promptToSaveCurrentIfNeeded())
        return;
    const QString path = _chooseFileToOpen();
    if (!path.isEmpty())
        _doFileOpen(path);
}

void MainWindow::_recentFileSelectedSLOT(const QString& filePath)
{
    _openFileReplacingCurrent(filePath);
}

void MainWindow::_setupFileOpenRequestedSLOT(const QString& filePath)
{
    _openFileReplacingCurrent(filePath);
}

void MainWindow::_openFileReplacingCurrent(const QString& filePath)
{
    // A file that has gone is ignored: its menu entry already says so.
    if (isFileOperationRunning() || !QFileInfo::exists(filePath))
        return;
    if (!_promptToSaveCurrentIfNeeded())
        return;
    _doFileOpen(filePath);
}

void MainWindow::_newTriggeredSLOT()
{
    if (isFileOperationRunning() || !_promptToSaveCurrentIfNeeded())
        return;
    _makeNewSetupWithOneInput();
}

void MainWindow::_makeNewSetupWithOneInput()
{
    MIDIRoutingSetup* setup = MIDIRoutingSetupManager::GetInstance()->createNewRoutingSetup(true, QString());
    setup->createNewMIDIRoute(true);
    setup->setModified(false);
}

void MainWindow::_saveTriggeredSLOT()
{
    if (!isFileOperationRunning())
        _doSave();
}

void MainWindow::_saveAsTriggeredSLOT()
{
    if (!isFileOperationRunning())
        _doSaveAs();
}

void MainWindow::_closeTriggeredSLOT()
{
    if (isFileOperationRunning() || !_promptToSaveCurrentIfNeeded())
        return;
    LocalWaitCursor waitCursor;
    MIDIRoutingSetupManager::GetInstance()->clearCurrentRoutingSetup(true);
}

void MainWindow::_quitTriggeredSLOT()
{
    close();
}

void MainWindow::openFirstSetup(const QString& filePath)
{
    if (!filePath.isEmpty() && _doFileOpen(filePath))
        return;
    // Nothing given, or it could not be read (the box says why): one input ready to play.
    _makeNewSetupWithOneInput();
}

QString MainWindow::_chooseFileToOpen()
{
    if (_fileChooser)
        return _fileChooser(this, false, getLastOpenPath());
    QFileDialog dialog(this, QStringLiteral("Choose Setup File"), getLastOpenPath(), kSetupFileFilter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.selectedFiles().value(0);
}

QString MainWindow::_chooseFileToSaveAs(const QString& startPath)
{
    if (_fileChooser)
        return _fileChooser(this, true, startPath);
    QFileDialog dialog(this, QStringLiteral("Choose Output Location"), startPath, kSetupFileFilter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The dialog adds the suffix itself, so it asks about replacing the file really written.
    dialog.setDefaultSuffix(QStringLiteral("ms"));
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.selectedFiles().value(0);
}

bool MainWindow::_confirmReplacing(const QString& filePath)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Replace File"),
                    QStringLiteral("\"%1\" already exists.\n\nReplace it with the current setup?")
                        .arg(getFilePathWithNativeSeparators(filePath)),
                    QMessageBox::Yes | QMessageBox::Cancel, this);
    box.setTextFormat(Qt::PlainText);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("Replace"));
    box.setDefaultButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Yes;
}

void MainWindow::_beginFileOperation()
{
    ++_fileOperationDepth;
    _messageBoxes->hold();
}

void MainWindow::_endFileOperation()
{
    if (--_fileOperationDepth > 0) {
        _messageBoxes->release();
        return;
    }
    // A failed read or write does not say it has finished.
    if (_progressDialog->isVisible())
        _setupFileIOFinishedSLOT();
    _messageBoxes->release();
}
