#pragma once

#include <QString>

class MIDIOutput;
class MIDIRoute;
class MIDIRoutingSetup;

/// Copies patches from the outputs of one input (the source route) into the matching outputs of
/// another input of the same setup (the target route), matching outputs by name or by activation
/// value (and range). The source is left unchanged. A plain class, made by its user for one
/// merge. GUI thread only.
class MIDIRoutingSetupOutputMerger
{
public:
    typedef int TargetAcceptanceFactor;
    /// Outputs match when their names are equal (exact, case-sensitive).
    static constexpr TargetAcceptanceFactor kMatchOutputName = 0;
    /// Outputs match when their main activation values (and, for range activation, their range
    /// values) are equal; both inputs must activate outputs the same way.
    static constexpr TargetAcceptanceFactor kMatchActivationValueOrRange = 1;

    explicit MIDIRoutingSetupOutputMerger(MIDIRoutingSetup* setup);

    MIDIRoutingSetup* getMIDIRoutingSetup() const { return _setup; }
    MIDIRoute* getSourceRoute() const { return _sourceRoute; }
    MIDIRoute* getTargetRoute() const { return _targetRoute; }
    TargetAcceptanceFactor getTargetAcceptanceFactor() const { return _targetAcceptanceFactor; }

    void setSourceRoute(MIDIRoute* route) { _sourceRoute = route; }
    void setTargetRoute(MIDIRoute* route) { _targetRoute = route; }
    void setTargetAcceptanceFactor(TargetAcceptanceFactor factor) { _targetAcceptanceFactor = factor; }

    /// False, with "Insufficient outputs for merging.", when the setup has fewer than two
    /// inputs; otherwise true with an empty text. The text is stored when the pointer is not null.
    bool canPerformMerging(QString* errorText) const;
    /// Appends to every target output clones of the patches of every source output it accepts,
    /// and returns the number of patches copied. Patches copied are always those the source
    /// outputs had before the merge began, so merging an input into itself doubles each output's
    /// patches once. Nothing is copied (0) when either input is missing or not in the setup, or
    /// when matching by value and the two inputs activate outputs differently. The error text is
    /// left empty.
    int doMerge(QString* errorText);

private:
    bool _shouldTargetReceivePatchesFromSource(MIDIOutput* target, MIDIOutput* source) const;

    MIDIRoutingSetup* _setup;
    MIDIRoute* _sourceRoute = nullptr;
    MIDIRoute* _targetRoute = nullptr;
    TargetAcceptanceFactor _targetAcceptanceFactor = kMatchOutputName;
};
