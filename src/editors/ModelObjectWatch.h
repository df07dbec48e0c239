#pragma once

#include <QObject>
#include <QPointer>

class BaseMIDIObject;

/// Watches an edited model object (a transform or an initializer) and everything that holds it:
/// its patch, the patch's output, the output's input and the setup. Emits objectGoing() once, as
/// soon as the object is removed from its patch, one of its holders is removed from its own
/// parent, any of them starts being destroyed, or the setup stops being the current one. So an
/// editor closes before its object goes and never writes through a deleted object. GUI thread
/// only.
class ModelObjectWatch : public QObject
{
    Q_OBJECT

public:
    ModelObjectWatch(BaseMIDIObject* object, QObject* parent);

    /// True once objectGoing() has been emitted.
    bool hasGone() const { return _gone; }

signals:
    void objectGoing();

private:
    void _goneIf(bool condition);
    void _watchAncestors();

    QPointer<BaseMIDIObject> _object;
    bool _gone = false;
};
