#include "model/transforms/CCBlocker.h"
#include "model/transforms/CCCopy.h"
#include "model/transforms/CCMapping.h"
#include "model/transforms/CCNumberChanger.h"
#include "model/transforms/ChannelAftertouchToCC.h"
#include "model/transforms/IgnoreCC.h"
#include "model/transforms/IgnoreChannelAftertouch.h"
#include "model/transforms/IgnorePitchChange.h"
#include "model/transforms/MessageInspector.h"
#include "model/transforms/PitchChangeInverter.h"
#include "model/transforms/PitchChangeToCC.h"
#include "model/transforms/TransformFactories.h"

// Creation functions of the "Control", "Pitch Change", "Aftertouch" and "Utility" categories.

MIDIDataTransform* createCCNumberChanger(QObject* parent)
{
    return new CCNumberChanger(parent);
}

MIDIDataTransform* createCCMapping(QObject* parent)
{
    return new CCMapping(parent);
}

MIDIDataTransform* createCCCopy(QObject* parent)
{
    return new CCCopy(parent);
}

MIDIDataTransform* createIgnoreCC(QObject* parent)
{
    return new IgnoreCC(parent);
}

MIDIDataTransform* createCCBlocker(QObject* parent)
{
    return new CCBlocker(parent);
}

MIDIDataTransform* createPitchChangeInverter(QObject* parent)
{
    return new PitchChangeInverter(parent);
}

MIDIDataTransform* createPitchChangeToCC(QObject* parent)
{
    return new PitchChangeToCC(parent);
}

MIDIDataTransform* createIgnorePitchChange(QObject* parent)
{
    return new IgnorePitchChange(parent);
}

MIDIDataTransform* createChannelAftertouchToCC(QObject* parent)
{
    return new ChannelAftertouchToCC(parent);
}

MIDIDataTransform* createIgnoreChannelAftertouch(QObject* parent)
{
    return new IgnoreChannelAftertouch(parent);
}

MIDIDataTransform* createMessageInspector(QObject* parent)
{
    return new MessageInspector(parent);
}
