#pragma once

#include <QObject>

class MIDIDataTransform;

// One creation function per built-in transform type; the registry table (BuiltInTransforms.cpp)
// refers to them. Each returns a new transform of its type with the given parent. The note and
// velocity types are defined in NoteTransformFactories.cpp, the controller, pitch change,
// aftertouch and utility types in ControllerTransformFactories.cpp.

// "Note" category.
MIDIDataTransform* createNoteTransposer(QObject* parent);
MIDIDataTransform* createConvergeOnNote(QObject* parent);
MIDIDataTransform* createVelocityMapping(QObject* parent);
MIDIDataTransform* createVelocityToCC(QObject* parent);
MIDIDataTransform* createVelocityFromCC(QObject* parent);
MIDIDataTransform* createMakeMonophonic(QObject* parent);
MIDIDataTransform* createNoteFilter(QObject* parent);
MIDIDataTransform* createVelocityFilter(QObject* parent);
MIDIDataTransform* createVelocityVariation(QObject* parent);
MIDIDataTransform* createNoteBlocker(QObject* parent);

// "Control" category.
MIDIDataTransform* createCCNumberChanger(QObject* parent);
MIDIDataTransform* createCCMapping(QObject* parent);
MIDIDataTransform* createCCCopy(QObject* parent);
MIDIDataTransform* createIgnoreCC(QObject* parent);
MIDIDataTransform* createCCBlocker(QObject* parent);

// "Pitch Change" category.
MIDIDataTransform* createPitchChangeInverter(QObject* parent);
MIDIDataTransform* createPitchChangeToCC(QObject* parent);
MIDIDataTransform* createIgnorePitchChange(QObject* parent);

// "Aftertouch" category.
MIDIDataTransform* createChannelAftertouchToCC(QObject* parent);
MIDIDataTransform* createIgnoreChannelAftertouch(QObject* parent);

// "Utility" category.
MIDIDataTransform* createMessageInspector(QObject* parent);
