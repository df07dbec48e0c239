// The window's undo stacks: one per setup, made when the setup first becomes current and gone
// with the setup, so a set list's songs each keep their own history through the evening while a
// setup that is closed takes its history with it. The current setup's stack drives the Edit
// menu's Undo and Redo, and its clean state the setup's modified mark. GUI thread only.
#include "app/MainWindow.h"

#include "model/edits/EditStack.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "model/routing/MIDIRoutingSetupManager.h"

#include <QAction>
#include <QIcon>
#include <QKeySequence>
#include <QUndoGroup>
#include <QUndoStack>

void MainWindow::_createUndoActions()
{
    _undoGroup = new QUndoGroup(this);
    _undoAction = _undoGroup->createUndoAction(this, QStringLiteral("Undo"));
    _undoAction->setShortcut(QKeySequence::Undo);
    _undoAction->setStatusTip(QStringLiteral("Undo the last edit of the setup."));
    _redoAction = _undoGroup->createRedoAction(this, QStringLiteral("Redo"));
    _redoAction->setShortcut(QKeySequence::Redo);
    _redoAction->setStatusTip(QStringLiteral("Redo the edit last undone."));
}

void MainWindow::_makeUndoConnections()
{
    connect(_undoGroup, &QUndoGroup::cleanChanged, this, &MainWindow::_undoCleanChanged);
    _useUndoStackOfCurrentSetup();
}

QUndoStack* MainWindow::undoStack() const
{
    return _undoGroup->activeStack();
}

void MainWindow::_useUndoStackOfCurrentSetup()
{
    MIDIRoutingSetup* setup = getCurrentRoutingSetup();
    if (!setup) {
        _undoGroup->setActiveStack(nullptr);
        return;
    }
    QUndoStack* stack = EditStack::stackFor(setup);
    if (!stack || !_undoGroup->stacks().contains(stack)) {
        stack = new QUndoStack(_undoGroup);
        // Later, not at once: the setup's own objects are still being taken apart when it signals.
        connect(setup, &QObject::destroyed, stack, &QObject::deleteLater);
        EditStack::attach(setup, stack);
    }
    // The stack's clean state follows the setup, which may have been saved (a song saved from the
    // quit prompt) or edited past the stack (a remote or a learn) while another setup was current.
    if (!setup->isModified())
        stack->setClean();
    else if (stack->isClean())
        stack->resetClean();
    _undoGroup->setActiveStack(stack);
}

void MainWindow::_undoCleanChanged(bool clean)
{
    MIDIRoutingSetup* setup = getCurrentRoutingSetup();
    if (!setup || EditStack::stackFor(setup) != undoStack())
        return;
    // Undone back to what was saved: unmodified again. Away from it: modified.
    setup->setModified(!clean);
}
