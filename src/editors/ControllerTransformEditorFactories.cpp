#include "editors/NothingToEditLabel.h"
#include "editors/TransformEditorFactories.h"

#include <QLabel>

// Editor creation functions of the "Control", "Pitch Change", "Aftertouch" and "Utility"
// categories. Until a type's editor widget exists, its function shows the "(nothing to edit)" label.

QWidget* createCCNumberChangerEditor(MIDIDataTransform* /*transform*/, QWidget* parent)
{
    return _createNothingToEditLabelIn(parent);
}

QWidget* createCCMappingEditor(MIDIDataTransform* /*transform*/, QWidget* parent)
{
    return _createNothingToEditLabelIn(parent);
}

QWidget* createCCCopyEditor(MIDIDataTransform* /*transform*/, QWidget* parent)
{
    return _createNothingToEditLabelIn(parent);
}

QWidget* createIgnoreCCEditor(MIDIDataTransform* /*transform*/, QWidget* parent)
{
    return _createNothingToEditLabelIn(parent);
}

QWidget* createCCBlockerEditor(MIDIDataTransform* /*transform*/, QWidget* parent)
{
    return _createNothingToEditLabelIn(parent);
}

QWidget* createPitchChangeInverterEditor(MIDIDataTransform* /*transform*/, QWidget* parent)
{
    return _createNothingToEditLabelIn(parent);
}

QWidget* createPitchChangeToCCEditor(MIDIDataTransform* /*transform*/, QWidget* parent)
{
    return _createNothingToEditLabelIn(parent);
}

QWidget* createIgnorePitchChangeEditor(MIDIDataTransform* /*transform*/, QWidget* parent)
{
    return _createNothingToEditLabelIn(parent);
}

QWidget* createChannelAftertouchToCCEditor(MIDIDataTransform* /*transform*/, QWidget* parent)
{
    return _createNothingToEditLabelIn(parent);
}

QWidget* createIgnoreChannelAftertouchEditor(MIDIDataTransform* /*transform*/, QWidget* parent)
{
    return _createNothingToEditLabelIn(parent);
}

QWidget* createMessageInspectorEditor(MIDIDataTransform* /*transform*/, QWidget* parent)
{
    return _createNothingToEditLabelIn(parent);
}
