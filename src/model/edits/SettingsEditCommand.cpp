#include "model/edits/SettingsEditCommand.h"

#include "model/BaseMIDIObject.h"

namespace {
constexpr int kSettingsEditId = 0x5e7;
}

SettingsEditCommand::SettingsEditCommand(const QString& text, BaseMIDIObject* scope,
                                         std::function<void()> edit, int mergeField, QUndoCommand* parent)
    : QUndoCommand(text, parent), _scope(scope), _edit(std::move(edit)), _mergeField(mergeField)
{
}

void SettingsEditCommand::redo()
{
    if (_done) {
        _after.apply();
        return;
    }
    _done = true;
    _before = ModelStateSnapshot::capture(_scope);
    if (_edit)
        _edit();
    _edit = nullptr;
    _after = ModelStateSnapshot::capture(_scope);
    // An edit that changed nothing (the same value chosen again) is no step.
    if (_after == _before)
        setObsolete(true);
}

void SettingsEditCommand::undo()
{
    _before.apply();
}

int SettingsEditCommand::id() const
{
    return _mergeField == kNoMerge ? -1 : kSettingsEditId;
}

bool SettingsEditCommand::mergeWith(const QUndoCommand* other)
{
    const auto* next = dynamic_cast<const SettingsEditCommand*>(other);
    if (!next || next->_mergeField != _mergeField || next->_scope != _scope || !_scope)
        return false;
    _after = next->_after;
    // Dragged back to where it began: the step is no step any more.
    setObsolete(_after == _before);
    return true;
}
