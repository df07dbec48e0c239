#include "widgets/PatchGroupEdits.h"

#include "model/edits/ModelEdits.h"
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/routing/MIDIRoute.h"

#include <QPointer>

void PatchGroupEdits::muteClicked(MIDIPatchTarget* patch, Qt::KeyboardModifiers modifiers)
{
    MIDIOutput* output = patch->getParentMIDIOutput();
    const bool toggled = !patch->isMuted();
    QPointer<MIDIPatchTarget> patchPtr(patch);
    QPointer<MIDIOutput> outputPtr(output);
    // The mutes of the whole output are one step, whichever of them the modifiers reach.
    ModelEdits::changeSettings(QStringLiteral("Mute ") + ModelEdits::describeObject(patch),
                               output ? static_cast<BaseMIDIObject*>(output) : patch, [=] {
                                   MIDIPatchTarget* patch = patchPtr;
                                   MIDIOutput* output = outputPtr;
                                   if (!patch)
                                       return;
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
                               });
}

void PatchGroupEdits::portAndChannelChosen(MIDIPatchTarget* patch, const QString& portName, BYTE channel,
                                           Qt::KeyboardModifiers modifiers)
{
    QPointer<MIDIPatchTarget> patchPtr(patch);
    MIDIOutput* output = patch->getParentMIDIOutput();
    MIDIRoute* route = output ? output->getParentMIDIRoute() : nullptr;
    const QString oldPort = patch->getMIDIOutputPortName();
    const int oldChannel = patch->getMIDIChannel();
    // One step over the input when the modifiers reach other patches, over the patch otherwise.
    BaseMIDIObject* scope = patch;
    if (route && modifiers != Qt::NoModifier)
        scope = route;
    QPointer<MIDIOutput> outputPtr(output);
    QPointer<MIDIRoute> routePtr(route);
    ModelEdits::changeSettings(
        QStringLiteral("Set Port/Channel of ") + ModelEdits::describeObject(patch), scope, [=] {
            MIDIPatchTarget* patch = patchPtr;
            MIDIOutput* output = outputPtr;
            MIDIRoute* route = routePtr;
            if (!patch)
                return;
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
        });
}
