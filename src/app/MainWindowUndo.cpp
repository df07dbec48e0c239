// The window's undo stack: one per setup, emptied whenever another setup becomes current (New,
// Open, Close, a recent file), its clean state driving the setup's modified mark, and the Edit
// menu's Undo and Redo naming what they undo and redo. GUI thread only.
#include "app/MainWindow.h"

#include "model/edits/EditStack.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "model/routing/MIDIRoutingSetupManager.h"

#include <QAction>
#include <QIcon>
#include <QKeySequence>
#include <QUndoStack>

void MainWindow::_createUndoActions()
{
    _undoStack = new QUndoStack(this);
    _undoAction = _undoStack->createUndoAction(this, QStringLiteral("Undo"));
    _undoAction->setShortcut(QKeySequence::Undo);
    _undoAction->setStatusTip(QStringLiteral("Undo the last edit of the setup."));
    _redoAction = _undoStack->createRedoAction(this, QStringLiteral("Redo"));
    _redoAction->setShortcut(QKeySequence::Redo);
    _redoAction->setStatusTip(QStringLiteral("Redo the edit last undone."));
}

void MainWindow::_makeUndoConnections()
{
    connect(_undoStack, &QUndoStack::cleanChanged, this, &MainWindow::_undoCleanChanged);
    _resetUndoStack();
}

void MainWindow::_resetUndoStack()
{
    _undoStack->clear();
    if (MIDIRoutingSetup* setup = getCurrentRoutingSetup()) {
        EditStack::attach(setup, _undoStack);
        if (!setup->isModified())
            _undoStack->setClean();
    }
}

void MainWindow::_undoCleanChanged(bool clean)
{
    MIDIRoutingSetup* setup = getCurrentRoutingSetup();
    if (!setup || EditStack::stackFor(setup) != _undoStack)
        return;
    // Undone back to what was saved: unmodified again. Away from it: modified.
    setup->setModified(!clean);
}
