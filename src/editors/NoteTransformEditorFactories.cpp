#include "editors/NothingToEditLabel.h"
#include "editors/TransformEditorFactories.h"

#include <QLabel>

// Editor creation functions of the "Note" category. Until a type's editor widget exists, its
// function shows the "(nothing to edit)" label.

QWidget* createNoteTransposerEditor(MIDIDataTransform* /*transform*/, QWidget* parent)
{
    return _createNothingToEditLabelIn(parent);
}

QWidget* createConvergeOnNoteEditor(MIDIDataTransform* /*transform*/, QWidget* parent)
{
    return _createNothingToEditLabelIn(parent);
}

QWidget* createVelocityMappingEditor(MIDIDataTransform* /*transform*/, QWidget* parent)
{
    return _createNothingToEditLabelIn(parent);
}

QWidget* createVelocityToCCEditor(MIDIDataTransform* /*transform*/, QWidget* parent)
{
    return _createNothingToEditLabelIn(parent);
}

QWidget* createVelocityFromCCEditor(MIDIDataTransform* /*transform*/, QWidget* parent)
{
    return _createNothingToEditLabelIn(parent);
}

QWidget* createMakeMonophonicEditor(MIDIDataTransform* /*transform*/, QWidget* parent)
{
    return _createNothingToEditLabelIn(parent);
}

QWidget* createNoteFilterEditor(MIDIDataTransform* /*transform*/, QWidget* parent)
{
    return _createNothingToEditLabelIn(parent);
}

QWidget* createVelocityFilterEditor(MIDIDataTransform* /*transform*/, QWidget* parent)
{
    return _createNothingToEditLabelIn(parent);
}

QWidget* createVelocityVariationEditor(MIDIDataTransform* /*transform*/, QWidget* parent)
{
    return _createNothingToEditLabelIn(parent);
}

QWidget* createNoteBlockerEditor(MIDIDataTransform* /*transform*/, QWidget* parent)
{
    return _createNothingToEditLabelIn(parent);
}
