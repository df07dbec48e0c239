#include "editors/CCCopyEditorWidget.h"
#include "editors/CCMappingWidget.h"
#include "editors/CCNumberChangerEditorWidget.h"
#include "editors/ChannelAftertouchToCCEditorWidget.h"
#include "editors/IgnoreCCEditorWidget.h"
#include "editors/MessageInspectorWidget.h"
#include "editors/NothingToEditLabel.h"
#include "editors/PitchChangeToCCEditorWidget.h"
#include "editors/TransformEditorFactories.h"

#include <QLabel>

// Editor creation functions of the "Control", "Pitch Change", "Aftertouch" and "Utility"
// categories. Types without parameters show the "(nothing to edit)" label.

QWidget* createCCNumberChangerEditor(MIDIDataTransform* transform, QWidget* parent)
{
    return new CCNumberChangerEditorWidget(transform, parent);
}

QWidget* createCCMappingEditor(MIDIDataTransform* transform, QWidget* parent)
{
    return new CCMappingWidget(transform, parent);
}

QWidget* createCCCopyEditor(MIDIDataTransform* transform, QWidget* parent)
{
    return new CCCopyEditorWidget(transform, parent);
}

QWidget* createIgnoreCCEditor(MIDIDataTransform* transform, QWidget* parent)
{
    return new IgnoreCCEditorWidget(transform, parent);
}

QWidget* createCCBlockerEditor(MIDIDataTransform* /*transform*/, QWidget* parent)
{
    return _createNothingToEditLabelIn(parent);
}

QWidget* createPitchChangeInverterEditor(MIDIDataTransform* /*transform*/, QWidget* parent)
{
    return _createNothingToEditLabelIn(parent);
}

QWidget* createPitchChangeToCCEditor(MIDIDataTransform* transform, QWidget* parent)
{
    return new PitchChangeToCCEditorWidget(transform, parent);
}

QWidget* createIgnorePitchChangeEditor(MIDIDataTransform* /*transform*/, QWidget* parent)
{
    return _createNothingToEditLabelIn(parent);
}

QWidget* createChannelAftertouchToCCEditor(MIDIDataTransform* transform, QWidget* parent)
{
    return new ChannelAftertouchToCCEditorWidget(transform, parent);
}

QWidget* createIgnoreChannelAftertouchEditor(MIDIDataTransform* /*transform*/, QWidget* parent)
{
    return _createNothingToEditLabelIn(parent);
}

QWidget* createMessageInspectorEditor(MIDIDataTransform* transform, QWidget* parent)
{
    return new MessageInspectorWidget(transform, parent);
}
