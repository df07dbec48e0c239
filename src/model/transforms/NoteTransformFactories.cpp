#include "model/transforms/ConvergeOnNote.h"
#include "model/transforms/MakeMonophonic.h"
#include "model/transforms/NoteBlocker.h"
#include "model/transforms/NoteFilter.h"
#include "model/transforms/NoteTransposer.h"
#include "model/transforms/TransformFactories.h"
#include "model/transforms/VelocityFilter.h"
#include "model/transforms/VelocityFromCC.h"
#include "model/transforms/VelocityMapping.h"
#include "model/transforms/VelocityToCC.h"
#include "model/transforms/VelocityVariation.h"

// Creation functions of the "Note" category.

MIDIDataTransform* createNoteTransposer(QObject* parent)
{
    return new NoteTransposer(parent);
}

MIDIDataTransform* createConvergeOnNote(QObject* parent)
{
    return new ConvergeOnNote(parent);
}

MIDIDataTransform* createVelocityMapping(QObject* parent)
{
    return new VelocityMapping(parent);
}

MIDIDataTransform* createVelocityToCC(QObject* parent)
{
    return new VelocityToCC(parent);
}

MIDIDataTransform* createVelocityFromCC(QObject* parent)
{
    return new VelocityFromCC(parent);
}

MIDIDataTransform* createMakeMonophonic(QObject* parent)
{
    return new MakeMonophonic(parent);
}

MIDIDataTransform* createNoteFilter(QObject* parent)
{
    return new NoteFilter(parent);
}

MIDIDataTransform* createVelocityFilter(QObject* parent)
{
    return new VelocityFilter(parent);
}

MIDIDataTransform* createVelocityVariation(QObject* parent)
{
    return new VelocityVariation(parent);
}

MIDIDataTransform* createNoteBlocker(QObject* parent)
{
    return new NoteBlocker(parent);
}
