#include "model/ConvergeOnNote.h"
#include "model/MakeMonophonic.h"
#include "model/NoteBlocker.h"
#include "model/NoteFilter.h"
#include "model/NoteTransposer.h"
#include "model/TransformFactories.h"
#include "model/VelocityFilter.h"
#include "model/VelocityFromCC.h"
#include "model/VelocityMapping.h"
#include "model/VelocityToCC.h"
#include "model/VelocityVariation.h"

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
