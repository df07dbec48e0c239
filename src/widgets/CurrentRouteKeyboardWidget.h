#pragma once

#include "model/MIDIMessage.h"
#include "widgets/OnScreenPlayRecord.h"

#include <QList>
#include <QPointer>
#include <QWidget>

class AllNotesKeyboardWidget;
class KeyboardScrollArea;
class MIDICCSlider;
class MIDIOutput;
class MIDIRoute;
class MIDIRoutingSetup;
class MIDIRoutingSetupManager;
class PitchBendSlider;
class QLabel;

/// The keyboard below the setup view: a pitch bend wheel, a modulation slider and 128 keys that
/// play into the current setup's active input as if from its port, and show what sounds on that
/// input's outputs, its pitch bend and modulation, and which keys switch outputs. Disabled when
/// there is no active input. Nothing played here is left sounding: notes end and the bend returns
/// on the input that got them, whatever ends the gesture. GUI thread only.
class CurrentRouteKeyboardWidget : public QWidget
{
    Q_OBJECT

public:
    explicit CurrentRouteKeyboardWidget(QWidget* parent);
    ~CurrentRouteKeyboardWidget() override;

    void setHorizontalScrollAmount(int amount);
    int getHorizontalScrollAmount() const;

    /// The input shown and played, or null.
    MIDIRoute* getShownRoute() const;
    AllNotesKeyboardWidget* getKeyboard() const { return _keyboard; }
    PitchBendSlider* getPitchBendSlider() const { return _pitchBendSlider; }
    MIDICCSlider* getModulationSlider() const { return _modulationSlider; }
    KeyboardScrollArea* getScrollArea() const { return _scrollArea; }

private slots:
    void _currentSetupSwitchedToSLOT(MIDIRoutingSetup* setup);
    void _currentSetupClearedSLOT();
    void _reloadWithReconnectionSLOT();
    void _reloadSLOT();
    void _notePressedSLOT(int noteNum, int velocity);
    void _noteReleasedSLOT(int noteNum);
    void _modulationMovedToSLOT(BYTE value);
    void _pitchBendMovedToSLOT(pitchBendValue_t value);

private:
    void _buildUI();
    void _makeConnections();
    void _followSetup(MIDIRoutingSetup* setup);
    void _connectToRoute(MIDIRoute* route);
    void _goInactive();
    /// Ends a held key and returns a bent wheel on the input that got them.
    void _endGestures();

    MIDIRoutingSetupManager* _setupManager = nullptr;
    QPointer<MIDIRoutingSetup> _setup;
    QPointer<MIDIRoute> _route;
    // Every connection from the current input, whatever its receiver: all go when it changes.
    QList<QMetaObject::Connection> _routeConnections;
    OnScreenPlayRecord _played;

    PitchBendSlider* _pitchBendSlider = nullptr;
    QLabel* _pitchIconLabel = nullptr;
    MIDICCSlider* _modulationSlider = nullptr;
    QLabel* _modulationIconLabel = nullptr;
    KeyboardScrollArea* _scrollArea = nullptr;
    AllNotesKeyboardWidget* _keyboard = nullptr;
};
