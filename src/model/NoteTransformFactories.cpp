#include "model/PlaceholderTransform.h"
#include "model/TransformFactories.h"

// Creation functions of the "Note" category. Each returns a stand-in until its class exists.

MIDIDataTransform* createNoteTransposer(QObject* parent)
{
    return new PlaceholderTransform(QStringLiteral("Transpose"), true, parent);
}

MIDIDataTransform* createConvergeOnNote(QObject* parent)
{
    return new PlaceholderTransform(QStringLiteral("Converge On Note"), true, parent);
}

MIDIDataTransform* createVelocityMapping(QObject* parent)
{
    return new PlaceholderTransform(QStringLiteral("Velocity Map"), true, parent);
}

MIDIDataTransform* createVelocityToCC(QObject* parent)
{
    return new PlaceholderTransform(QStringLiteral("Velocity To CC"), true, parent);
}

MIDIDataTransform* createVelocityFromCC(QObject* parent)
{
    return new PlaceholderTransform(QStringLiteral("Velocity From CC"), true, parent);
}

MIDIDataTransform* createMakeMonophonic(QObject* parent)
{
    return new PlaceholderTransform(QStringLiteral("Make Monophonic"), false, parent);
}

MIDIDataTransform* createNoteFilter(QObject* parent)
{
    return new PlaceholderTransform(QStringLiteral("Note Filter"), true, parent);
}

MIDIDataTransform* createVelocityFilter(QObject* parent)
{
    return new PlaceholderTransform(QStringLiteral("Velocity Filter"), true, parent);
}

MIDIDataTransform* createVelocityVariation(QObject* parent)
{
    return new PlaceholderTransform(QStringLiteral("Velocity Variation"), true, parent);
}

MIDIDataTransform* createNoteBlocker(QObject* parent)
{
    return new PlaceholderTransform(QStringLiteral("Ignore All Notes"), false, parent);
}
