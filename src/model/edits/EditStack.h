#pragma once

#include <QString>

class QObject;
class QUndoCommand;
class QUndoStack;
class MIDIRoutingSetup;

/// Where the views send their edits: the undo stack the window keeps for a setup. A view hands a
/// command for an object; the command goes on the stack of the setup the object belongs to, or,
/// when that setup has no stack (a test, the headless runner, an object out of every setup), it is
/// carried out once and dropped, so the edit happens all the same. GUI thread only.
class EditStack
{
public:
    /// Gives the setup its stack (replacing any earlier one); a null stack takes it away.
    static void attach(MIDIRoutingSetup* setup, QUndoStack* stack);
    /// The stack of the setup the object belongs to (walking its parents), or null.
    static QUndoStack* stackFor(const QObject* object);
    /// Pushes the command onto the object's stack, or runs it once without one. Takes the command.
    static void push(const QObject* object, QUndoCommand* command);
};
