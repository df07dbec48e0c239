#include "widgets/CurrentRouteKeyboardWidget.h"

#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "model/routing/MIDIRoutingSetupManager.h"
#include "widgets/AllNotesKeyboardWidget.h"
#include "widgets/KeyWidget.h"
#include "widgets/KeyboardScrollArea.h"
#include "widgets/MIDICCSlider.h"
#include "widgets/PitchBendSlider.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMap>
#include <QScrollBar>
#include <QVBoxLayout>

CurrentRouteKeyboardWidget::CurrentRouteKeyboardWidget(QWidget* parent)
    : QWidget(parent), _setupManager(MIDIRoutingSetupManager::GetInstance())
{
    _buildUI();
    _makeConnections();
    _followSetup(_setupManager->getCurrentRoutingSetup());
}

CurrentRouteKeyboardWidget::~CurrentRouteKeyboardWidget()
{
    // The children go after this object; nothing they say on the way out may reach it.
    _keyboard->disconnect(this);
    _pitchBendSlider->disconnect(this);
    _modulationSlider->disconnect(this);
    if (_route) {
        disconnect(_route, nullptr, this, nullptr);
        disconnect(_route, nullptr, _keyboard, nullptr);
        disconnect(_route, nullptr, _pitchBendSlider, nullptr);
        disconnect(_route, nullptr, _modulationSlider, nullptr);
    }
    _played.endEverything();
}

namespace {

QLabel* iconLabel(const QString& path, QWidget* parent)
{
    auto* label = new QLabel(parent);
    const QPixmap pixmap(path);
    label->setPixmap(pixmap);
    label->setFixedSize(pixmap.isNull() ? QSize(16, 16) : pixmap.size());
    return label;
}

} // namespace

void CurrentRouteKeyboardWidget::_buildUI()
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(5);

    auto* pitchColumn = new QVBoxLayout;
    _pitchBendSlider = new PitchBendSlider(this);
    _pitchBendSlider->setToolTip(QStringLiteral("Pitch Bend"));
    _pitchBendSlider->setWhatsThis(
        QStringLiteral("<b>Pitch Bend Slider.</b> Sends pitch change messages to the current input."));
    _pitchIconLabel = iconLabel(QStringLiteral(":/icons/pitch_16x16.png"), this);
    pitchColumn->addWidget(_pitchBendSlider, 1, Qt::AlignHCenter);
    pitchColumn->addWidget(_pitchIconLabel, 0, Qt::AlignCenter);
    layout->addLayout(pitchColumn);

    auto* modulationColumn = new QVBoxLayout;
    _modulationSlider = new MIDICCSlider(1, this);
    _modulationSlider->setToolTip(QStringLiteral("Modulation"));
    _modulationSlider->setWhatsThis(
        QStringLiteral("<b>Modulation Slider.</b> Sends modulation (CC1) messages to the current input."));
    _modulationIconLabel = iconLabel(QStringLiteral(":/icons/cc_16x16.png"), this);
    modulationColumn->addWidget(_modulationSlider, 1, Qt::AlignHCenter);
    modulationColumn->addWidget(_modulationIconLabel, 0, Qt::AlignCenter);
    layout->addLayout(modulationColumn);

    _scrollArea = new KeyboardScrollArea(this);
    _keyboard = new AllNotesKeyboardWidget(_scrollArea);
    _scrollArea->setWidget(_keyboard);
    layout->addWidget(_scrollArea, 1);

    setFixedHeight(sizeHint().height());
}

void CurrentRouteKeyboardWidget::_makeConnections()
{
    connect(_setupManager, &MIDIRoutingSetupManager::currentRoutingSetupSwitchedTo, this,
            &CurrentRouteKeyboardWidget::_currentSetupSwitchedToSLOT);
    connect(_setupManager, &MIDIRoutingSetupManager::currentRoutingSetupCleared, this,
            &CurrentRouteKeyboardWidget::_currentSetupClearedSLOT);
    connect(_keyboard, &AllNotesKeyboardWidget::notePressed, this,
            &CurrentRouteKeyboardWidget::_notePressedSLOT);
    connect(_keyboard, &AllNotesKeyboardWidget::noteReleased, this,
            &CurrentRouteKeyboardWidget::_noteReleasedSLOT);
    connect(_modulationSlider, qOverload<BYTE>(&MIDICCSlider::userChangedValueTo), this,
            &CurrentRouteKeyboardWidget::_modulationMovedToSLOT);
    connect(_pitchBendSlider, &PitchBendSlider::userChangedValueTo, this,
            &CurrentRouteKeyboardWidget::_pitchBendMovedToSLOT);
}

MIDIRoute* CurrentRouteKeyboardWidget::getShownRoute() const
{
    return _route;
}

void CurrentRouteKeyboardWidget::setHorizontalScrollAmount(int amount)
{
    _scrollArea->horizontalScrollBar()->setValue(amount);
}

int CurrentRouteKeyboardWidget::getHorizontalScrollAmount() const
{
    return _scrollArea->horizontalScrollBar()->value();
}

void CurrentRouteKeyboardWidget::_currentSetupSwitchedToSLOT(MIDIRoutingSetup* setup)
{
    _followSetup(setup);
}

void CurrentRouteKeyboardWidget::_currentSetupClearedSLOT()
{
    _followSetup(nullptr);
}

void CurrentRouteKeyboardWidget::_followSetup(MIDIRoutingSetup* setup)
{
    if (_setup)
        disconnect(_setup, nullptr, this, nullptr);
    _setup = setup;
    if (!_setup) {
        _connectToRoute(nullptr);
        return;
    }
    connect(_setup, &MIDIRoutingSetup::activeRouteChangedTo, this,
            &CurrentRouteKeyboardWidget::_reloadWithReconnectionSLOT);
    _reloadWithReconnectionSLOT();
}

void CurrentRouteKeyboardWidget::_reloadWithReconnectionSLOT()
{
    _connectToRoute(_setup ? _setup->getActiveRoute() : nullptr);
}

void CurrentRouteKeyboardWidget::_connectToRoute(MIDIRoute* route)
{
    if (route != _route)
        _endGestures();
    for (const QMetaObject::Connection& connection : std::as_const(_routeConnections))
        disconnect(connection);
    _routeConnections.clear();
    _route = route;
    if (!_route) {
        _goInactive();
        return;
    }
    // Messages handled on the MIDI thread reach these through queued delivery; injected ones at once.
    _routeConnections << connect(_route, &MIDIRoute::receivedNoteOn, _keyboard,
                                 &AllNotesKeyboardWidget::showNotePressed);
    _routeConnections << connect(_route, &MIDIRoute::receivedNoteOff, _keyboard,
                                 &AllNotesKeyboardWidget::showNoteReleased);
    _routeConnections << connect(_route, &MIDIRoute::receivedControlMessage, _modulationSlider,
                                 &MIDICCSlider::setValueFromControlMessage);
    _routeConnections << connect(_route, &MIDIRoute::receivedPitchBendMessage, _pitchBendSlider,
                                 &PitchBendSlider::setValueFromPitchBendMessage);
    _routeConnections << connect(_route, &MIDIRoute::outputActivationMethodChangedTo, this,
                                 &CurrentRouteKeyboardWidget::_reloadSLOT);
    _routeConnections << connect(_route, &MIDIRoute::outputActivationSpecificityChangedTo, this,
                                 &CurrentRouteKeyboardWidget::_reloadSLOT);
    _routeConnections << connect(_route, &MIDIRoute::outputValueOrRangeChanged, this,
                                 &CurrentRouteKeyboardWidget::_reloadSLOT);
    _routeConnections << connect(_route, &MIDIRoute::MIDIOutputNameChanged, this,
                                 &CurrentRouteKeyboardWidget::_reloadSLOT);
    _routeConnections << connect(_route, &MIDIRoute::midiOutputAdded, this,
                                 &CurrentRouteKeyboardWidget::_reloadSLOT);
    _routeConnections << connect(_route, &MIDIRoute::midiOutputRemoved, this,
                                 &CurrentRouteKeyboardWidget::_reloadSLOT);
    _reloadSLOT();
}

void CurrentRouteKeyboardWidget::_reloadSLOT()
{
    if (!_route)
        return _goInactive();
    setEnabled(true);
    _keyboard->reset();
    QMap<int, int> sounding;
    const bool keyswitch = _route->isActivationMethodKeyswitch();
    for (int i = 0; i < _route->getNumMIDIOutputs(); ++i) {
        MIDIOutput* output = _route->getMIDIOutputAtIndex(i);
        if (output->hasNotesSounding()) {
            for (BYTE note : output->getNotesSounding())
                sounding.insert(note, output->getVelocityOfNoteSounding(note));
        }
        if (keyswitch) {
            if (KeyWidget* key = _keyboard->getKeyWidgetForNote(output->getMainActivationValue()))
                key->showAsKeyswitch(true, output->getName());
        }
    }
    _pitchBendSlider->setCurrentValue(_route->getLastPitchBendValue());
    _modulationSlider->setCurrentValue(_route->getLastCCValue(1));
    for (auto it = sounding.constBegin(); it != sounding.constEnd(); ++it)
        _keyboard->showNotePressed(it.key(), it.value());
}

void CurrentRouteKeyboardWidget::_goInactive()
{
    _endGestures();
    _keyboard->reset();
    _pitchBendSlider->setCurrentValue(kPitchBendCentre);
    _modulationSlider->setCurrentValue(0);
    setEnabled(false);
}

void CurrentRouteKeyboardWidget::_endGestures()
{
    _keyboard->releaseMousePressedKey();
    _played.endEverything();
}

void CurrentRouteKeyboardWidget::_notePressedSLOT(int noteNum, int velocity)
{
    if (_route && noteNum >= 0 && noteNum < 128)
        _played.playNoteOn(_route, BYTE(noteNum), BYTE(velocity));
}

void CurrentRouteKeyboardWidget::_noteReleasedSLOT(int noteNum)
{
    if (noteNum >= 0 && noteNum < 128)
        _played.playNoteOff(BYTE(noteNum));
}

void CurrentRouteKeyboardWidget::_modulationMovedToSLOT(BYTE value)
{
    if (_route)
        _route->injectControllerMessage(1, value);
}

void CurrentRouteKeyboardWidget::_pitchBendMovedToSLOT(pitchBendValue_t value)
{
    if (_route)
        _played.playPitchBend(_route, value);
    else if (value == kPitchBendCentre)
        _played.returnBendToCentre();
}
