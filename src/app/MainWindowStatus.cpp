// What the window shows of the status channel and of file operations in progress.
#include "app/MainWindow.h"

#include "app/MessageBoxCollector.h"
#include "persistence/FilePaths.h"

#include <QCoreApplication>
#include <QProgressDialog>
#include <QStatusBar>
#include <QTimer>

void MainWindow::_statusMgrStatusMessageSLOT(const QString& message, int timeOut)
{
    statusBar()->showMessage(message, timeOut);
}

void MainWindow::_statusMgrWarningMessageSLOT(const QString& message)
{
    _messageBoxes->addWarning(message);
}

void MainWindow::_statusMgrErrorMessageSLOT(const QString& message)
{
    _messageBoxes->addError(message);
}

void MainWindow::_prepareProgressDialog(const QString& title, const QString& label)
{
    _progressDialog->setWindowTitle(title);
    _progressDialog->setLabelText(label);
    // Minimum and maximum 0: the bar shows that work goes on, without a share done.
    _progressDialog->setRange(0, 0);
    _progressDialog->setValue(0);
}

void MainWindow::_setupFileOpenStartingSLOT(const QString& filePath)
{
    _prepareProgressDialog(QStringLiteral("Opening Setup File"),
                           QStringLiteral("Opening ") + getFileNameWithoutThePath(filePath));
}

void MainWindow::_setupFileSaveStartingSLOT(const QString& filePath)
{
    _prepareProgressDialog(QStringLiteral("Saving Setup File"),
                           QStringLiteral("Saving ") + getFileNameWithoutThePath(filePath));
}

void MainWindow::_setupFileIOProgressSLOT(int currentStep, int numSteps)
{
    _progressDialog->setMaximum(numSteps);
    _progressDialog->setValue(currentStep);
    if (currentStep == numSteps && numSteps != 0)
        QTimer::singleShot(0, this, &MainWindow::_setupFileIOFinishedSLOT);
    else if (!_progressDialog->isVisible())
        _progressDialog->show();
    // The dialog paints during the synchronous read or write; clicks and keys wait until it is
    // over, so nothing can open, quit or edit in the middle of it.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void MainWindow::_setupFileIOFinishedSLOT()
{
    _progressDialog->hide();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
