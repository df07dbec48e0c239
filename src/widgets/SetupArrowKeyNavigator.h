#pragma once

#include <QObject>
#include <QPointer>

class ArrowKeyPressSignalingScrollArea;
class MIDIRoute;
class MIDIRoutingSetup;

/// Walks the setup view with the arrow keys: up and down in the input column change the current
/// input, in the output column the active output; left and right fold and unfold the current
/// panel (with Shift: all of them). GUI thread only.
class SetupArrowKeyNavigator : public QObject
{
    Q_OBJECT

public:
    SetupArrowKeyNavigator(ArrowKeyPressSignalingScrollArea* inputArea,
                           ArrowKeyPressSignalingScrollArea* outputArea, QObject* parent);

    /// The setup and the input whose outputs are shown; either may be null.
    void setSetup(MIDIRoutingSetup* setup);
    void setRoute(MIDIRoute* route);

private slots:
    void _inputUpSLOT();
    void _inputDownSLOT();
    void _inputLeftSLOT();
    void _inputRightSLOT();
    void _outputUpSLOT();
    void _outputDownSLOT();
    void _outputLeftSLOT();
    void _outputRightSLOT();

private:
    bool _hasRoute() const;
    static bool _isShiftHeld();

    QPointer<MIDIRoutingSetup> _setup;
    QPointer<MIDIRoute> _route;
};
