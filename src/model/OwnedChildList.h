#pragma once

#include "model/BaseMIDIObject.h"
#include "model/EditRequestManager.h"
#include "model/RoutingMutex.h"

#include <QList>
#include <algorithm>
#include <functional>
#include <mutex>

/// The ordered list of children one model object owns (a setup's inputs, an input's outputs, an
/// output's patches, a patch's transforms and initializers), and the one place that decides the
/// order of every change: the child is adopted (parent set, its modified flag followed), the list
/// changes under the lock the MIDI thread reads it with (see LockOrder.h), the lock is released,
/// the owner's signal is emitted, and the owner is marked modified.
///
/// Reading: any thread that holds the lock, or the GUI thread. Changing: GUI thread only.
template <typename Child> class OwnedChildList
{
public:
    using Lock = std::unique_lock<RoutingMutex>;

    struct Hooks
    {
        /// Takes the lock under which the MIDI thread reads the list; an empty lock when none does.
        std::function<Lock()> lock;
        /// The owner's list signals, emitted with no lock held.
        std::function<void(Child*)> added;
        std::function<void(Child*)> removed;
        std::function<void(Child*, int)> moved;
        /// Further connections a new child needs (made to the owner, so removal undoes them).
        std::function<void(Child*)> adopted;

        /// Hooks that emit the owner's three list signals and take `lock` (may be empty).
        template <typename Owner>
        static Hooks emitting(Owner* owner, void (Owner::*addedSignal)(Child*),
                              void (Owner::*removedSignal)(Child*), void (Owner::*movedSignal)(Child*, int),
                              std::function<Lock()> lock = {})
        {
            Hooks hooks;
            hooks.lock = std::move(lock);
            hooks.added = [owner, addedSignal](Child* child) { (owner->*addedSignal)(child); };
            hooks.removed = [owner, removedSignal](Child* child) { (owner->*removedSignal)(child); };
            hooks.moved = [owner, movedSignal](Child* child, int index) {
                (owner->*movedSignal)(child, index);
            };
            return hooks;
        }
    };

    OwnedChildList(BaseMIDIObject* owner, Hooks hooks) : _owner(owner), _hooks(std::move(hooks)) {}
    OwnedChildList(const OwnedChildList&) = delete;
    OwnedChildList& operator=(const OwnedChildList&) = delete;

    int size() const { return int(_items.size()); }
    bool isEmpty() const { return _items.isEmpty(); }
    Child* at(int index) const { return _items.at(index); }
    Child* first() const { return _items.first(); }
    Child* last() const { return _items.last(); }
    int indexOf(Child* child) const { return int(_items.indexOf(child)); }
    bool contains(Child* child) const { return _items.contains(child); }
    /// The list itself; a copy of it is safe to walk while slots change the list.
    const QList<Child*>& items() const { return _items; }
    auto begin() const { return _items.cbegin(); }
    auto end() const { return _items.cend(); }

    /// Appends the child. False for null or a child already in the list.
    bool append(Child* child)
    {
        if (!child || _items.contains(child))
            return false;
        child->setParent(_owner);
        BaseMIDIObject* owner = _owner;
        QObject::connect(child, &BaseMIDIObject::modifiedChangedTo, owner, [owner](bool modified) {
            if (modified)
                owner->setModified(true);
        });
        if (_hooks.adopted)
            _hooks.adopted(child);
        {
            Lock lock = _lock();
            _items.append(child);
        }
        if (_hooks.added)
            _hooks.added(child);
        _owner->setModified(true);
        return true;
    }

    /// Takes the child out. `underLock` runs while the lock is still held (to decide what depends
    /// on the list), `beforeSignal` after it is released (to end what the child left sounding).
    /// The child loses its parent and is deleted later when asked. False when it is not here.
    bool remove(Child* child, bool deleteIt, const std::function<void()>& underLock = {},
                const std::function<void()>& beforeSignal = {})
    {
        if (!_items.contains(child))
            return false;
        QObject::disconnect(child, nullptr, _owner, nullptr);
        {
            Lock lock = _lock();
            _items.removeOne(child);
            if (underLock)
                underLock();
        }
        if (beforeSignal)
            beforeSignal();
        if (_hooks.removed)
            _hooks.removed(child);
        child->setParent(nullptr);
        if (deleteIt)
            child->deleteLater();
        _owner->setModified(true);
        return true;
    }

    /// Removes the child and every one after it, each through `removeOne` (the owner's own
    /// removal, with its rules). When the child is the first, only it goes.
    void removeFrom(Child* child, const std::function<void(Child*)>& removeOne, bool onlyItWhenFirst)
    {
        const int index = indexOf(child);
        if (index < 0)
            return;
        if (index == 0 && onlyItWhenFirst) {
            removeOne(child);
            return;
        }
        while (size() > index) {
            const int before = size();
            removeOne(at(index));
            if (size() == before)
                return; // the owner refused
        }
    }

    /// Moves the child to the index. False when it is not here or the index is out of range.
    bool move(Child* child, int newIndex)
    {
        const int index = indexOf(child);
        if (index < 0 || index == newIndex || newIndex < 0 || newIndex >= size())
            return false;
        {
            Lock lock = _lock();
            _items.move(index, newIndex);
        }
        if (_hooks.moved)
            _hooks.moved(child, newIndex);
        _owner->setModified(true);
        return true;
    }

    /// Adds `copy`, a clone of `original` made through its XML, right after it, named after it
    /// with ".dup", runs `beforeNameEdit` (if any), and asks for its name to be edited. False
    /// (and `copy` untouched) when `original` is not here.
    bool addDuplicate(Child* original, Child* copy, const std::function<void()>& beforeNameEdit = {})
    {
        const int index = indexOf(original);
        if (index < 0 || !copy)
            return false;
        copy->setName(original->getName() + QStringLiteral(".dup"));
        append(copy);
        move(copy, index + 1);
        if (beforeNameEdit)
            beforeNameEdit();
        EditRequestManager::GetInstance()->requestObjectNameEdit(copy);
        return true;
    }

    /// Runs `action` on the child and on every one after it; on all of them when `from` is not
    /// here. Walks a copy, so the action may change the list.
    template <typename Action> void forEachFrom(Child* from, Action action) const
    {
        const QList<Child*> children = _items;
        for (qsizetype i = std::max<qsizetype>(0, children.indexOf(from)); i < children.size(); ++i)
            action(children.at(i));
    }

    /// Clears every child's modified flag (the owner clears its children before itself).
    void clearModified()
    {
        for (Child* child : std::as_const(_items))
            child->setModified(false);
    }

    /// Deletes every child at once, without signals: for the owner's destructor.
    void deleteAll()
    {
        QList<Child*> children;
        {
            Lock lock = _lock();
            children.swap(_items);
        }
        qDeleteAll(children);
    }

private:
    Lock _lock() const { return _hooks.lock ? _hooks.lock() : Lock(); }

    BaseMIDIObject* _owner;
    Hooks _hooks;
    QList<Child*> _items;
};
