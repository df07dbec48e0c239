#include "model/PlaceholderTransform.h"
#include "model/TransformFactories.h"

// Creation functions of the "Control", "Pitch Change", "Aftertouch" and "Utility" categories.
// Each returns a stand-in until its class exists.

MIDIDataTransform* createCCNumberChanger(QObject* parent)
{
    return new PlaceholderTransform(QStringLiteral("Change CC#"), true, parent);
}

MIDIDataTransform* createCCMapping(QObject* parent)
{
    return new PlaceholderTransform(QStringLiteral("CC Map"), true, parent);
}

MIDIDataTransform* createCCCopy(QObject* parent)
{
    return new PlaceholderTransform(QStringLiteral("CC Copy"), true, parent);
}

MIDIDataTransform* createIgnoreCC(QObject* parent)
{
    return new PlaceholderTransform(QStringLiteral("Ignore CC"), true, parent);
}

MIDIDataTransform* createCCBlocker(QObject* parent)
{
    return new PlaceholderTransform(QStringLiteral("Ignore All Controllers"), false, parent);
}

MIDIDataTransform* createPitchChangeInverter(QObject* parent)
{
    return new PlaceholderTransform(QStringLiteral("Invert Pitch Change"), false, parent);
}

MIDIDataTransform* createPitchChangeToCC(QObject* parent)
{
    return new PlaceholderTransform(QStringLiteral("Pitch Change To CC"), true, parent);
}

MIDIDataTransform* createIgnorePitchChange(QObject* parent)
{
    return new PlaceholderTransform(QStringLiteral("Ignore Pitch Change"), false, parent);
}

MIDIDataTransform* createChannelAftertouchToCC(QObject* parent)
{
    return new PlaceholderTransform(QStringLiteral("Channel Aftertouch To CC"), true, parent);
}

MIDIDataTransform* createIgnoreChannelAftertouch(QObject* parent)
{
    return new PlaceholderTransform(QStringLiteral("Ignore Channel Aftertouch"), false, parent);
}

MIDIDataTransform* createMessageInspector(QObject* parent)
{
    return new PlaceholderTransform(QStringLiteral("Inspector"), true, parent);
}
