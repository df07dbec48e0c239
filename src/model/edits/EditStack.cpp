#include "model/edits/EditStack.h"

#include "model/routing/MIDIRoutingSetup.h"

#include <QHash>
#include <QPointer>
#include <QUndoStack>

namespace {

// GUI thread only, like every edit.
QHash<const QObject*, QPointer<QUndoStack>>& stacks()
{
    static QHash<const QObject*, QPointer<QUndoStack>> table;
    return table;
}

} // namespace

void EditStack::attach(MIDIRoutingSetup* setup, QUndoStack* stack)
{
    if (!setup)
        return;
    if (!stack) {
        stacks().remove(setup);
        return;
    }
    stacks().insert(setup, stack);
    // A setup that goes takes its entry with it (the key is only compared, never used).
    QObject::connect(setup, &QObject::destroyed, stack, [setup] { stacks().remove(setup); });
}

QUndoStack* EditStack::stackFor(const QObject* object)
{
    for (const QObject* at = object; at; at = at->parent()) {
        const auto found = stacks().constFind(at);
        if (found != stacks().constEnd())
            return found.value();
    }
    return nullptr;
}

void EditStack::push(const QObject* object, QUndoCommand* command)
{
    if (!command)
        return;
    if (QUndoStack* stack = stackFor(object)) {
        stack->push(command);
        return;
    }
    command->redo();
    delete command;
}
