#include "editors/ConvergeOnNoteEditorWidget.h"
#include "editors/NoteFilterEditorWidget.h"
#include "editors/NoteTransposerEditorWidget.h"
#include "editors/NothingToEditLabel.h"
#include "editors/TransformEditorFactories.h"
#include "editors/VelocityFilterEditorWidget.h"
#include "editors/VelocityFromCCEditorWidget.h"
#include "editors/VelocityMappingWidget.h"
#include "editors/VelocityToCCEditorWidget.h"
#include "editors/VelocityVariationEditorWidget.h"

#include <QLabel>

// Editor creation functions of the "Note" category. Types without parameters show the
// "(nothing to edit)" label.

QWidget* createNoteTransposerEditor(MIDIDataTransform* transform, QWidget* parent)
{
    return new NoteTransposerEditorWidget(transform, parent);
}

QWidget* createConvergeOnNoteEditor(MIDIDataTransform* transform, QWidget* parent)
{
    return new ConvergeOnNoteEditorWidget(transform, parent);
}

QWidget* createVelocityMappingEditor(MIDIDataTransform* transform, QWidget* parent)
{
    return new VelocityMappingWidget(transform, parent);
}

QWidget* createVelocityToCCEditor(MIDIDataTransform* transform, QWidget* parent)
{
    return new VelocityToCCEditorWidget(transform, parent);
}

QWidget* createVelocityFromCCEditor(MIDIDataTransform* transform, QWidget* parent)
{
    return new VelocityFromCCEditorWidget(transform, parent);
}

QWidget* createMakeMonophonicEditor(MIDIDataTransform* /*transform*/, QWidget* parent)
{
    return _createNothingToEditLabelIn(parent);
}

QWidget* createNoteFilterEditor(MIDIDataTransform* transform, QWidget* parent)
{
    return new NoteFilterEditorWidget(transform, parent);
}

QWidget* createVelocityFilterEditor(MIDIDataTransform* transform, QWidget* parent)
{
    return new VelocityFilterEditorWidget(transform, parent);
}

QWidget* createVelocityVariationEditor(MIDIDataTransform* transform, QWidget* parent)
{
    return new VelocityVariationEditorWidget(transform, parent);
}

QWidget* createNoteBlockerEditor(MIDIDataTransform* /*transform*/, QWidget* parent)
{
    return _createNothingToEditLabelIn(parent);
}
