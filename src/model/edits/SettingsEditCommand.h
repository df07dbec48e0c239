#pragma once

#include "model/edits/ModelStateSnapshot.h"

#include <QPointer>
#include <QUndoCommand>
#include <functional>

class BaseMIDIObject;

/// Any edit of settings (not of lists): a field of one object, or one action that changes many
/// (a port given to all patches, a reroute, colour labels from here on, mutes, bypass, a value map
/// operation). The first redo carries out the edit and takes the settings of `scope` (the object
/// and all below it) before and after; undo and redo then set them back through the setters.
/// Consecutive edits of the same field of the same scope (a slider drag, typing, a stroke) merge
/// into one step when a merge field is given. GUI thread only.
class SettingsEditCommand : public QUndoCommand
{
public:
    /// Fields whose consecutive edits merge; kNoMerge for edits that are each a step of their own.
    enum MergeField
    {
        kNoMerge = -1,
        kName,
        kPort,
        kChannel,
        kDelay,
        kActivationValue,
        kActivationRangeValue,
        kByte1,
        kByte2,
        kByte3,
        kInt1,
        kInt2,
        kValueMap,
        kInitializerValue
    };

    SettingsEditCommand(const QString& text, BaseMIDIObject* scope, std::function<void()> edit,
                        int mergeField = kNoMerge, QUndoCommand* parent = nullptr);

    void redo() override;
    void undo() override;
    int id() const override;
    bool mergeWith(const QUndoCommand* other) override;

private:
    QPointer<BaseMIDIObject> _scope;
    std::function<void()> _edit;
    int _mergeField;
    bool _done = false;
    ModelStateSnapshot _before;
    ModelStateSnapshot _after;
};
