#include "model/CCBlocker.h"
#include "model/CCCopy.h"
#include "model/CCMapping.h"
#include "model/CCNumberChanger.h"
#include "model/ChannelAftertouchToCC.h"
#include "model/IgnoreCC.h"
#include "model/IgnoreChannelAftertouch.h"
#include "model/IgnorePitchChange.h"
#include "model/MessageInspector.h"
#include "model/PitchChangeInverter.h"
#include "model/PitchChangeToCC.h"
#include "model/TransformFactories.h"

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
