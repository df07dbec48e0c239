#include "model/routing/MIDIRoutingSetupOutputMerger.h"

#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"

#include <QList>

MIDIRoutingSetupOutputMerger::MIDIRoutingSetupOutputMerger(MIDIRoutingSetup* setup) : _setup(setup) {}

bool MIDIRoutingSetupOutputMerger::canPerformMerging(QString* errorText) const
{
    const bool possible = _setup && _setup->getNumMIDIRoutes() >= 2;
    if (errorText)
        *errorText = possible ? QString() : QStringLiteral("Insufficient outputs for merging.");
    return possible;
}

int MIDIRoutingSetupOutputMerger::doMerge(QString* errorText)
{
    if (errorText)
        errorText->clear();
    // Routes are looked up before they are used, so a route that has left the setup is never
    // touched.
    if (!_setup || !_setup->hasMIDIRoute(_sourceRoute) || !_setup->hasMIDIRoute(_targetRoute))
        return 0;
    if (_targetAcceptanceFactor == kMatchActivationValueOrRange &&
        (_sourceRoute->getOutputActivationMethod() != _targetRoute->getOutputActivationMethod() ||
         _sourceRoute->getOutputActivationSpecificity() != _targetRoute->getOutputActivationSpecificity()))
        return 0;

    // Taken before anything is copied, so that copies made during the merge (when source and
    // target are the same input) are never copied again.
    QList<MIDIOutput*> sourceOutputs;
    QList<QList<MIDIPatchTarget*>> sourcePatches;
    for (int i = 0; i < _sourceRoute->getNumMIDIOutputs(); ++i) {
        MIDIOutput* output = _sourceRoute->getMIDIOutputAtIndex(i);
        sourceOutputs.append(output);
        QList<MIDIPatchTarget*> patches;
        for (int p = 0; p < output->getNumMIDIPatchTargets(); ++p)
            patches.append(output->getMIDIPatchTargetAtIndex(p));
        sourcePatches.append(patches);
    }
    QList<MIDIOutput*> targetOutputs;
    for (int i = 0; i < _targetRoute->getNumMIDIOutputs(); ++i)
        targetOutputs.append(_targetRoute->getMIDIOutputAtIndex(i));

    int copied = 0;
    for (int s = 0; s < sourceOutputs.size(); ++s) {
        for (MIDIOutput* target : std::as_const(targetOutputs)) {
            if (!_shouldTargetReceivePatchesFromSource(target, sourceOutputs.at(s)))
                continue;
            for (MIDIPatchTarget* patch : sourcePatches.at(s)) {
                target->addNewCloneOfMIDIPatchTarget(patch);
                ++copied;
            }
        }
    }
    return copied;
}

bool MIDIRoutingSetupOutputMerger::_shouldTargetReceivePatchesFromSource(MIDIOutput* target,
                                                                         MIDIOutput* source) const
{
    switch (_targetAcceptanceFactor) {
    case kMatchOutputName:
        return target->getName() == source->getName();
    case kMatchActivationValueOrRange:
        if (target->getMainActivationValue() != source->getMainActivationValue())
            return false;
        return !_sourceRoute->isOutputActivationValueRange() ||
               target->getActivationRangeValue() == source->getActivationRangeValue();
    default:
        return false;
    }
}
