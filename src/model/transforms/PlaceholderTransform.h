#pragma once

#include "model/transforms/MIDIDataTransform.h"

/// Stands in for a built-in type whose own class is not part of the program yet: it carries the
/// type's registry name and editability, saves and reads its parameters like any transform, and
/// lets every message pass unchanged. The creation functions of NoteTransformFactories.cpp and
/// ControllerTransformFactories.cpp use it until they create the real classes.
class PlaceholderTransform : public MIDIDataTransform
{
    Q_OBJECT

public:
    PlaceholderTransform(const QString& name, bool editable, QObject* parent);

    bool hasEditableParameters() const override { return _editable; }

private:
    bool _editable;
};
