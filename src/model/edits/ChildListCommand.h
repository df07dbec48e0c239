#pragma once

#include "model/edits/ChildListTraits.h"

#include <QList>
#include <QPair>
#include <QPointer>
#include <QUndoCommand>
#include <functional>
#include <type_traits>

/// The text the Edit menu shows for an object: its kind and its name ("Patch \"Strings\"").
template <typename Child> QString describeChild(const Child* child)
{
    return ChildListTraits<Child>::kind() + QStringLiteral(" \"") + (child ? child->getName() : QString()) +
           QLatin1Char('"');
}

/// One change of an owner's child list: a child put in (new, duplicated, pasted), taken out, or
/// moved. A child taken out is kept, not destroyed: while it is out the command owns it, and undo
/// puts the very same object back in its place, with its settings, children, editors and sounding
/// note record. Every change goes through the owner's own list operations, so the MIDI thread sees
/// the same safe changes as for any edit, and putting back never activates nor sends anything the
/// removal did not. GUI thread only.
template <typename Child> class ChildListCommand : public QUndoCommand
{
public:
    using Traits = ChildListTraits<Child>;
    using Owner = typename Traits::Owner;

    /// A child put in by `create` (which adds it to the model and returns it, or null for nothing)
    /// the first time; redo after undo puts the same child back. `verb` names the edit ("Add").
    static ChildListCommand* insert(const QString& verb, Owner* owner, std::function<Child*()> create,
                                    QUndoCommand* parent = nullptr)
    {
        auto* command = new ChildListCommand(Kind::Insert, owner, parent);
        command->_verb = verb;
        command->_create = std::move(create);
        return command;
    }
    /// The child taken out of its owner.
    static ChildListCommand* remove(Child* child, QUndoCommand* parent = nullptr)
    {
        auto* command = new ChildListCommand(Kind::Remove, child ? Traits::ownerOf(child) : nullptr, parent);
        command->_child = child;
        command->setText(QStringLiteral("Remove ") + describeChild(child));
        return command;
    }
    /// The child moved to `newIndex` in its owner's list.
    static ChildListCommand* move(Child* child, int newIndex, QUndoCommand* parent = nullptr)
    {
        Owner* owner = child ? Traits::ownerOf(child) : nullptr;
        auto* command = new ChildListCommand(Kind::Move, owner, parent);
        command->_child = child;
        command->_index = owner ? Traits::indexOf(owner, child) : -1;
        command->_newIndex = newIndex;
        command->setText(QStringLiteral("Move ") + describeChild(child));
        return command;
    }

    ~ChildListCommand() override
    {
        // Out of the model because of this command: nobody else will ever put it back.
        if (_out && _child && !_child->parent())
            _child->deleteLater();
    }

    Child* child() const { return _child; }

    void redo() override
    {
        if (!_owner) {
            setObsolete(true);
            return;
        }
        switch (_kind) {
        case Kind::Insert:
            if (_first) {
                _first = false;
                _child = _create ? _create() : nullptr;
                _create = nullptr;
                if (!_child || Traits::indexOf(_owner, _child) < 0) {
                    setObsolete(true);
                    return;
                }
                _index = Traits::indexOf(_owner, _child);
                setText(_verb + QLatin1Char(' ') + describeChild<Child>(_child));
            } else {
                _putBack();
            }
            break;
        case Kind::Remove:
            if (!_takeOut() && _first)
                setObsolete(true);
            _first = false;
            break;
        case Kind::Move:
            if (_child && Traits::indexOf(_owner, _child) >= 0)
                Traits::move(_owner, _child, _newIndex);
            break;
        }
    }

    void undo() override
    {
        if (!_owner || !_child)
            return;
        switch (_kind) {
        case Kind::Insert:
            _takeOut();
            break;
        case Kind::Remove:
            _putBack();
            break;
        case Kind::Move:
            if (Traits::indexOf(_owner, _child) >= 0)
                Traits::move(_owner, _child, _index);
            break;
        }
    }

private:
    enum class Kind
    {
        Insert,
        Remove,
        Move
    };

    ChildListCommand(Kind kind, Owner* owner, QUndoCommand* parent)
        : QUndoCommand(parent), _kind(kind), _owner(owner)
    {
    }

    /// Takes the child out; false when the owner kept it (an output keeps its last patch).
    bool _takeOut()
    {
        if (!_child || Traits::indexOf(_owner, _child) < 0)
            return false;
        _index = Traits::indexOf(_owner, _child);
        Traits::remove(_owner, _child);
        if (Traits::indexOf(_owner, _child) >= 0)
            return false;
        _out = true;
        _silence();
        return true;
    }

    void _putBack()
    {
        if (!_child || !_out)
            return;
        _unsilence();
        Traits::add(_owner, _child);
        _out = false;
        const int last = Traits::size(_owner) - 1;
        if (_index >= 0 && _index < last)
            Traits::move(_owner, _child, _index);
    }

    /// An input out of the setup still hears its port: while it is kept here its patches are
    /// muted, so it plays nothing, and they get their own mutes back when it returns.
    void _silence()
    {
        if constexpr (std::is_same_v<Child, MIDIRoute>) {
            _mutes.clear();
            for (int o = 0; o < _child->getNumMIDIOutputs(); ++o) {
                MIDIOutput* output = _child->getMIDIOutputAtIndex(o);
                for (int p = 0; p < output->getNumMIDIPatchTargets(); ++p) {
                    MIDIPatchTarget* patch = output->getMIDIPatchTargetAtIndex(p);
                    _mutes.append({QPointer<MIDIPatchTarget>(patch), patch->isMuted()});
                    patch->setMuted(true);
                }
            }
        }
    }

    void _unsilence()
    {
        if constexpr (std::is_same_v<Child, MIDIRoute>) {
            for (const auto& [patch, muted] : std::as_const(_mutes))
                if (patch)
                    patch->setMuted(muted);
            _mutes.clear();
        }
    }

    Kind _kind;
    QPointer<Owner> _owner;
    QPointer<Child> _child;
    std::function<Child*()> _create;
    QString _verb;
    int _index = -1;
    int _newIndex = -1;
    bool _first = true;
    bool _out = false;
    QList<QPair<QPointer<MIDIPatchTarget>, bool>> _mutes;
};

using InputListCommand = ChildListCommand<MIDIRoute>;
using OutputListCommand = ChildListCommand<MIDIOutput>;
using PatchListCommand = ChildListCommand<MIDIPatchTarget>;
using TransformListCommand = ChildListCommand<MIDIDataTransform>;
using InitializerListCommand = ChildListCommand<MIDIPatchInitializer>;
