#include "widgets/SetupArrowKeyNavigator.h"

#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "widgets/ArrowKeyPressSignalingScrollArea.h"

#include <QApplication>

SetupArrowKeyNavigator::SetupArrowKeyNavigator(ArrowKeyPressSignalingScrollArea* inputArea,
                                               ArrowKeyPressSignalingScrollArea* outputArea, QObject* parent)
    : QObject(parent)
{
    using Area = ArrowKeyPressSignalingScrollArea;
    using Self = SetupArrowKeyNavigator;
    connect(inputArea, &Area::upArrowKeyPressed, this, &Self::_inputUpSLOT);
    connect(inputArea, &Area::downArrowKeyPressed, this, &Self::_inputDownSLOT);
    connect(inputArea, &Area::leftArrowKeyPressed, this, &Self::_inputLeftSLOT);
    connect(inputArea, &Area::rightArrowKeyPressed, this, &Self::_inputRightSLOT);
    connect(outputArea, &Area::upArrowKeyPressed, this, &Self::_outputUpSLOT);
    connect(outputArea, &Area::downArrowKeyPressed, this, &Self::_outputDownSLOT);
    connect(outputArea, &Area::leftArrowKeyPressed, this, &Self::_outputLeftSLOT);
    connect(outputArea, &Area::rightArrowKeyPressed, this, &Self::_outputRightSLOT);
}

void SetupArrowKeyNavigator::setSetup(MIDIRoutingSetup* setup)
{
    _setup = setup;
}

void SetupArrowKeyNavigator::setRoute(MIDIRoute* route)
{
    _route = route;
}

bool SetupArrowKeyNavigator::_isShiftHeld()
{
    // Only the Shift bit counts here: Shift with Control still unfolds everything.
    return QApplication::keyboardModifiers().testFlag(Qt::ShiftModifier);
}

bool SetupArrowKeyNavigator::_hasRoute() const
{
    return _setup && _setup->hasActiveRoute() && _route;
}

void SetupArrowKeyNavigator::_inputUpSLOT()
{
    if (_setup && _setup->hasActiveRoute())
        _setup->activateRouteBeforeCurrent();
}

void SetupArrowKeyNavigator::_inputDownSLOT()
{
    if (_setup && _setup->hasActiveRoute())
        _setup->activateRouteAfterCurrent();
}

void SetupArrowKeyNavigator::_inputLeftSLOT()
{
    if (!_setup || !_setup->hasActiveRoute())
        return;
    _isShiftHeld() ? _setup->showInnardsOfAllRoutes(false) : _setup->showInnardsOfActiveRoute(false);
}

void SetupArrowKeyNavigator::_inputRightSLOT()
{
    if (!_setup || !_setup->hasActiveRoute())
        return;
    _isShiftHeld() ? _setup->showInnardsOfAllRoutes(true) : _setup->showInnardsOfActiveRoute(true);
}

void SetupArrowKeyNavigator::_outputUpSLOT()
{
    if (_hasRoute())
        _route->activatePreviousMIDIOutput();
}

void SetupArrowKeyNavigator::_outputDownSLOT()
{
    if (_hasRoute())
        _route->activateNextMIDIOutput();
}

void SetupArrowKeyNavigator::_outputLeftSLOT()
{
    if (!_hasRoute())
        return;
    _isShiftHeld() ? _route->showInnardsOfAllOutputs(false) : _route->showInnardsOfActiveOutput(false);
}

void SetupArrowKeyNavigator::_outputRightSLOT()
{
    if (!_hasRoute())
        return;
    _isShiftHeld() ? _route->showInnardsOfAllOutputs(true) : _route->showInnardsOfActiveOutput(true);
}
