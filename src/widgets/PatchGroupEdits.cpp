#include "widgets/PatchGroupEdits.h"

#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/routing/MIDIRoute.h"

#include <QPointer>

void PatchGroupEdits::muteClicked(MIDIPatchTarget* patch, Qt::KeyboardModifiers modifiers)
{
    MIDIOutput* output = patch->getParentMIDIOutput();
    const bool toggled = !patch->isMuted();
    if (output && modifiers == Qt::ShiftModifier) {
        output->setMuteStateOfAllPatchesTo(toggled);
    } else if (output && modifiers == Qt::AltModifier) {
        output->setMuteStateFromPatch(patch, toggled);
    } else if (output && modifiers == Qt::ControlModifier) {
        if (output->areAllPatchesMutedExcept(patch))
            output->setMuteStateOfAllPatchesTo(false);
        else
            output->muteAllPatchesExcept(patch);
    } else {
        patch->muteToggle();
    }
}

void PatchGroupEdits::portAndChannelChosen(MIDIPatchTarget* patch, const QString& portName, BYTE channel,
                                           Qt::KeyboardModifiers modifiers)
{
    QPointer<MIDIPatchTarget> patchPtr(patch);
    MIDIOutput* output = patch->getParentMIDIOutput();
    MIDIRoute* route = output ? output->getParentMIDIRoute() : nullptr;
    const QString oldPort = patch->getMIDIOutputPortName();
    const int oldChannel = patch->getMIDIChannel();
    const auto Shift = Qt::ShiftModifier, Ctrl = Qt::ControlModifier, Alt = Qt::AltModifier;
    if (output && modifiers == Alt)
        output->setAllMIDIOutputPortsTo(portName);
    else if (route && modifiers == (Alt | Shift))
        route->setAllMIDIOutputPortsTo(portName);
    else if (output && modifiers == Ctrl)
        output->rerouteOutputPort(oldPort, oldChannel, portName, channel);
    else if (route && modifiers == (Ctrl | Shift))
        route->rerouteOutputPort(oldPort, oldChannel, portName, channel);
    else if (output && modifiers == (Ctrl | Alt))
        output->setOutputPortAndIncrementChannelFrom(patch, portName, channel);
    else if (route && modifiers == (Ctrl | Alt | Shift))
        route->setOutputPortAndIncrementChannelFrom(output, patch, portName, channel);
    else
        patch->setMIDIOutputPortName(portName);
    if (patchPtr)
        patchPtr->setMIDIChannel(channel);
}
