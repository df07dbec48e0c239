#pragma once

#include "model/edits/ChildListCommand.h"
#include "model/edits/EditStack.h"
#include "model/edits/SettingsEditCommand.h"

/// What the views call to edit the model: each function builds the one command for the edit and
/// hands it to the setup's undo stack (or carries it out at once when there is none). GUI thread.
namespace ModelEdits {

/// The plural the Edit menu uses for several children ("Patches").
inline QString pluralOf(const QString& kind)
{
    return kind == QStringLiteral("Patch") ? QStringLiteral("Patches") : kind + QLatin1Char('s');
}

/// "Patch \"Strings\"", "Transform \"Transpose\"": the object as the Edit menu names it.
inline QString describeObject(const BaseMIDIObject* object)
{
    QString kind = QStringLiteral("Setup");
    if (qobject_cast<const MIDIRoute*>(object))
        kind = QStringLiteral("Input");
    else if (qobject_cast<const MIDIOutput*>(object))
        kind = QStringLiteral("Output");
    else if (qobject_cast<const MIDIPatchTarget*>(object))
        kind = QStringLiteral("Patch");
    else if (qobject_cast<const MIDIDataTransform*>(object))
        kind = QStringLiteral("Transform");
    else if (qobject_cast<const MIDIPatchInitializer*>(object))
        kind = QStringLiteral("Initializer");
    return kind + QStringLiteral(" \"") + (object ? object->getName() : QString()) + QLatin1Char('"');
}

/// The command removing the child and, with `alsoFollowing`, those after it (the owner's rule:
/// only the child when it is the first of inputs, outputs or patches; an output keeps one patch, an
/// input one output). Null when nothing would go.
template <typename Child> QUndoCommand* removalCommand(Child* child, bool alsoFollowing)
{
    using Traits = ChildListTraits<Child>;
    auto* owner = child ? Traits::ownerOf(child) : nullptr;
    if (!owner)
        return nullptr;
    const int index = Traits::indexOf(owner, child);
    const int size = Traits::size(owner);
    if (index < 0 || size <= Traits::kMinimum)
        return nullptr;
    int last = index;
    if (alsoFollowing && !(index == 0 && Traits::kOnlyItWhenFirst))
        last = size - 1;
    // Never below the owner's minimum.
    while (size - (last - index + 1) < Traits::kMinimum)
        --last;
    if (last < index)
        return nullptr;
    if (last == index)
        return ChildListCommand<Child>::remove(child);
    QList<Child*> children;
    for (int i = index; i <= last; ++i)
        children.append(Traits::childAt(owner, i));
    auto* group = new QUndoCommand(QStringLiteral("Remove %1 %2 from %3")
                                       .arg(children.size())
                                       .arg(pluralOf(Traits::kind()))
                                       .arg(describeChild<Child>(child)));
    for (Child* one : children)
        ChildListCommand<Child>::remove(one, group);
    return group;
}

/// Removes the child (and the following ones); returns the number removed when there is something to
/// remove, else 0, and the text the Edit menu shows for it in `text` when not null.
template <typename Child> int remove(Child* child, bool alsoFollowing, QString* text = nullptr)
{
    QUndoCommand* command = removalCommand(child, alsoFollowing);
    if (!command)
        return 0;
    const int count = command->childCount() > 0 ? command->childCount() : 1;
    if (text)
        *text = command->text();
    EditStack::push(child, command);
    return count;
}

/// Removes every child of the owner (Shift on a transform's or initializer's remove).
template <typename Child> void removeAll(typename ChildListTraits<Child>::Owner* owner)
{
    using Traits = ChildListTraits<Child>;
    if (!owner || Traits::size(owner) == 0)
        return;
    if (Traits::size(owner) == 1) {
        EditStack::push(owner, ChildListCommand<Child>::remove(Traits::childAt(owner, 0)));
        return;
    }
    auto* group = new QUndoCommand(
        QStringLiteral("Remove All %1 of %2").arg(pluralOf(Traits::kind())).arg(describeChild(owner)));
    for (int i = 0; i < Traits::size(owner); ++i)
        ChildListCommand<Child>::remove(Traits::childAt(owner, i), group);
    EditStack::push(owner, group);
}

/// Puts a child in through `create` (which adds it and returns it); returns the child.
template <typename Child>
Child* insert(const QString& verb, typename ChildListTraits<Child>::Owner* owner,
              std::function<Child*()> create)
{
    if (!owner)
        return nullptr;
    // push() carries the command out at once, so the child is known when it returns.
    Child* created = nullptr;
    auto* command = ChildListCommand<Child>::insert(verb, owner, [&created, create = std::move(create)] {
        created = create();
        return created;
    });
    EditStack::push(owner, command);
    return created;
}

/// Adds children made outside the model (pasted from the clipboard) to the owner as one step.
/// The children become the command's; none is added when the list is empty.
template <typename Child>
void paste(typename ChildListTraits<Child>::Owner* owner, const QList<Child*>& children)
{
    using Traits = ChildListTraits<Child>;
    if (!owner || children.isEmpty())
        return;
    auto adding = [owner](Child* child) {
        return [owner, child] {
            Traits::add(owner, child);
            return child;
        };
    };
    if (children.size() == 1) {
        insert<Child>(QStringLiteral("Paste"), owner, adding(children.first()));
        return;
    }
    auto* group = new QUndoCommand(QStringLiteral("Paste %1 %2 into %3")
                                       .arg(children.size())
                                       .arg(pluralOf(Traits::kind()), describeObject(owner)));
    for (Child* child : children)
        ChildListCommand<Child>::insert(QStringLiteral("Paste"), owner, adding(child), group);
    EditStack::push(owner, group);
}

/// Moves the child to `newIndex` of its owner's list.
template <typename Child> void move(Child* child, int newIndex)
{
    using Traits = ChildListTraits<Child>;
    auto* owner = child ? Traits::ownerOf(child) : nullptr;
    if (!owner || Traits::indexOf(owner, child) == newIndex || newIndex < 0 ||
        newIndex >= Traits::size(owner))
        return;
    EditStack::push(child, ChildListCommand<Child>::move(child, newIndex));
}

/// Changes settings of `scope` (and below) through `edit`, as one step ("Set Channel of Patch ...").
inline void changeSettings(const QString& text, BaseMIDIObject* scope, std::function<void()> edit,
                           int mergeField = SettingsEditCommand::kNoMerge)
{
    if (!scope)
        return;
    EditStack::push(scope, new SettingsEditCommand(text, scope, std::move(edit), mergeField));
}

/// One setter of one object as an undo step ("Set Channel of Patch \"Strings\""): the templated
/// set-property edit every field of a view goes through. Consecutive calls with the same merge
/// field on the same object become one step.
template <typename Object, typename Setter, typename Value>
void set(Object* object, Setter setter, Value value, const QString& what,
         int mergeField = SettingsEditCommand::kNoMerge)
{
    if (!object)
        return;
    QPointer<Object> target(object);
    changeSettings(
        QStringLiteral("Set %1 of %2").arg(what, describeObject(object)), object,
        [target, setter, value] {
            if (target)
                (target.data()->*setter)(value);
        },
        mergeField);
}

/// A call of a member with no argument as one step ("Reverse Map of Transform ...").
template <typename Object, typename Action>
void act(Object* object, Action action, const QString& what, BaseMIDIObject* scope = nullptr)
{
    if (!object)
        return;
    QPointer<Object> target(object);
    changeSettings(QStringLiteral("%1 of %2").arg(what, describeObject(object)), scope ? scope : object,
                   [target, action] {
                       if (target)
                           (target.data()->*action)();
                   });
}

} // namespace ModelEdits
