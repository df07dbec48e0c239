#pragma once

class MIDIDataTransform;
class QWidget;

// One editor creation function per built-in transform type; registerBuiltInTransformEditors()
// installs them in the registry. Each returns a new widget with the given parent that edits the
// transform. The note and velocity types are defined in NoteTransformEditorFactories.cpp, the
// controller, pitch change, aftertouch and utility types in ControllerTransformEditorFactories.cpp.
// GUI thread only.

// "Note" category.
QWidget* createNoteTransposerEditor(MIDIDataTransform* transform, QWidget* parent);
QWidget* createConvergeOnNoteEditor(MIDIDataTransform* transform, QWidget* parent);
QWidget* createVelocityMappingEditor(MIDIDataTransform* transform, QWidget* parent);
QWidget* createVelocityToCCEditor(MIDIDataTransform* transform, QWidget* parent);
QWidget* createVelocityFromCCEditor(MIDIDataTransform* transform, QWidget* parent);
QWidget* createMakeMonophonicEditor(MIDIDataTransform* transform, QWidget* parent);
QWidget* createNoteFilterEditor(MIDIDataTransform* transform, QWidget* parent);
QWidget* createVelocityFilterEditor(MIDIDataTransform* transform, QWidget* parent);
QWidget* createVelocityVariationEditor(MIDIDataTransform* transform, QWidget* parent);
QWidget* createNoteBlockerEditor(MIDIDataTransform* transform, QWidget* parent);

// "Control" category.
QWidget* createCCNumberChangerEditor(MIDIDataTransform* transform, QWidget* parent);
QWidget* createCCMappingEditor(MIDIDataTransform* transform, QWidget* parent);
QWidget* createCCCopyEditor(MIDIDataTransform* transform, QWidget* parent);
QWidget* createIgnoreCCEditor(MIDIDataTransform* transform, QWidget* parent);
QWidget* createCCBlockerEditor(MIDIDataTransform* transform, QWidget* parent);

// "Pitch Change" category.
QWidget* createPitchChangeInverterEditor(MIDIDataTransform* transform, QWidget* parent);
QWidget* createPitchChangeToCCEditor(MIDIDataTransform* transform, QWidget* parent);
QWidget* createIgnorePitchChangeEditor(MIDIDataTransform* transform, QWidget* parent);

// "Aftertouch" category.
QWidget* createChannelAftertouchToCCEditor(MIDIDataTransform* transform, QWidget* parent);
QWidget* createIgnoreChannelAftertouchEditor(MIDIDataTransform* transform, QWidget* parent);

// "Utility" category.
QWidget* createMessageInspectorEditor(MIDIDataTransform* transform, QWidget* parent);
