#include "model/setlist/SetListTriggerPortKeeper.h"

#include "midi/MIDIPortIOManager.h"

SetListTriggerPortKeeper::SetListTriggerPortKeeper(const QString& portName)
    : MIDIInputMessageHandler(nullptr), _portName(portName)
{
    MIDIPortIOManager::GetInstance()->addRequiredInputPortNamed(_portName, this);
}

SetListTriggerPortKeeper::~SetListTriggerPortKeeper()
{
    MIDIPortIOManager::GetInstance()->removeRequiredInputPortNamed(_portName, this);
}
