#pragma once

#include <QList>
#include <QPointer>
#include <QString>

class BaseMIDIObject;

/// The editable settings of one model object and everything below it (inputs, outputs, patches,
/// transforms, initializers): names, colour labels, ports, channels, activation method, values
/// and specificity, delays, mutes, bypass, parameters and value maps. Not the lists themselves
/// and not which output or input is active (activation is playing, not editing). Taken before and
/// after an edit, it undoes and redoes the edit through the model's ordinary setters. GUI thread.
class ModelStateSnapshot
{
public:
    /// The settings of `root` and of every object below it, parents before children.
    static ModelStateSnapshot capture(BaseMIDIObject* root);

    /// Sets every object still alive back to these settings, calling only the setters whose
    /// value differs, so nothing is sent that the edit did not change.
    void apply() const;

    bool operator==(const ModelStateSnapshot& other) const;
    bool operator!=(const ModelStateSnapshot& other) const { return !(*this == other); }

private:
    struct ObjectState
    {
        QPointer<BaseMIDIObject> object;
        QString name;
        QString port;
        QString map;
        int colorLabel = -1;
        int channel = 0;
        int method = 0;
        int specificity = 0;
        int mainValue = 0;
        int rangeValue = 0;
        int delay = 0;
        int delayType = 0;
        bool muted = false;
        bool bypassed = false;
        int byte1 = 0;
        int byte2 = 0;
        int byte3 = 0;
        int int1 = 0;
        int int2 = 0;
        bool dropsStrayPrograms = false; // an input's filters for stray messages
        bool dropsClock = false;

        bool operator==(const ObjectState& other) const;
    };

    static void _collect(BaseMIDIObject* object, QList<ObjectState>& states);
    static void _applyOne(const ObjectState& state);

    QList<ObjectState> _states;
};
