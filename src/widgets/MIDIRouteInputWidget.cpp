#include "widgets/MIDIRouteInputWidget.h"

#include "editors/ModifierKeys.h"
#include "midi/MIDIPortIOManager.h"
#include "midi/MIDIPortInfo.h"
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "persistence/MIDIObjectClipboard.h"
#include "widgets/ActivityIndicator.h"
#include "widgets/LookAndFeel.h"
#include "widgets/MIDIObjNameLabel.h"
#include "widgets/MIDIPortChannelSelector.h"
#include "widgets/NoWheelComboBox.h"
#include "widgets/PlainTextToolTip.h"
#include "widgets/VisibilityToggler.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QVBoxLayout>

namespace {
constexpr int kWidth = 295;
constexpr int kUnfoldedHeight = 85;
constexpr int kFoldedHeight = 33;
} // namespace

MIDIRouteInputWidget::MIDIRouteInputWidget(MIDIRoute* route, QWidget* parent)
    : MIDIObjectPanel(route, parent), _route(route)
{
    _buildUI();
    showInnards(route->isShowingInnards());
    _setWidgetValuesFromData();
    _activeChangedToSLOT(route->isActive());
    _makeConnections();
    finishBuilding();
}

MIDIRoute* MIDIRouteInputWidget::getMIDIRoute() const
{
    return _route;
}

void MIDIRouteInputWidget::_buildUI()
{
    const TitleRow title = buildTitleRow(
        QStringLiteral("<b>Contents visibility toggle.</b>  Click to toggle the visibility of the MIDI port "
                       "selection and activation method/specifity controls.<b>Shift+click</b> to toggle "
                       "visibility of inside controls for all inputs."),
        QStringLiteral("MIDI Input Name"),
        QStringLiteral("<b>MIDI input name.</b>  Click to show outputs.  Double click to rename."));
    QVBoxLayout* layout = title.layout;
    _toggler = title.toggler;
    _nameLabel = title.nameLabel;
    _activity = new ActivityIndicator(this);
    _activity->setFixedSize(12, 12);
    _activity->setToolTip(QStringLiteral("MIDI Activity Indicator"));
    _activity->setWhatsThis(
        QStringLiteral("<b>MIDI input activity indicator.</b>  Blinks when this input receives MIDI data."));
    title.row->addWidget(_activity, 0, Qt::AlignVCenter);

    auto* row2 = new QHBoxLayout;
    _portIcon = new QLabel(this);
    _portIcon->setPixmap(QPixmap(QStringLiteral(":/icons/midi_input_12x12.png")));
    _portIcon->setToolTip(QStringLiteral("Input"));
    _selector = new MIDIPortChannelSelector(MIDIPortType::Input, this);
    _selector->setFixedHeight(21);
    _selector->setFocusPolicy(Qt::NoFocus);
    _selector->setWhatsThis(QStringLiteral(
        "<b>MIDI input port/channel selector.</b>  Used to select the MIDI input port/channel for this MIDI "
        "input.<br><br>When a selection is made with modifier keys pressed:<br><br><b>Alt</b>: Set all "
        "inputs to "
        "use the chosen MIDI input port (preserving channels).<br><b>Ctrl</b>: Perform current-to-chosen "
        "port "
        "rerouting for all inputs (preserving channels).<br><b>Ctrl+Alt</b>: Set all inputs to use the "
        "chosen "
        "MIDI input port and increment all following channels."));
    row2->addWidget(_portIcon, 0, Qt::AlignVCenter);
    row2->addWidget(_selector, 1, Qt::AlignVCenter);
    layout->addLayout(row2);

    auto* row3 = new QHBoxLayout;
    _activationIcon = new QLabel(this);
    const QPixmap activationPixmap(QStringLiteral(":/icons/output_activation_12x12.png"));
    _activationIcon->setPixmap(activationPixmap);
    if (!activationPixmap.isNull())
        _activationIcon->setFixedSize(activationPixmap.deviceIndependentSize().toSize());
    _methodCombo = new NoWheelComboBox(this);
    _methodCombo->addItem(QStringLiteral("Note On"));
    _methodCombo->addItem(QStringLiteral("Program Change"));
    for (int cc = 0; cc < 120; ++cc)
        _methodCombo->addItem(QStringLiteral("CC%1").arg(cc));
    _methodCombo->setFixedHeight(21);
    _methodCombo->setFocusPolicy(Qt::NoFocus);
    _methodCombo->setToolTip(QStringLiteral("Activation Method"));
    _methodCombo->setWhatsThis(
        QStringLiteral("<b>Activation method selector.</b>  Used to choose what type of MIDI "
                       "message will switch the active output."));
    _specificityCombo = new NoWheelComboBox(this);
    _specificityCombo->addItem(QStringLiteral("Value"));
    _specificityCombo->addItem(QStringLiteral("Range"));
    _specificityCombo->setFixedHeight(21);
    _specificityCombo->setFocusPolicy(Qt::NoFocus);
    _specificityCombo->setToolTip(QStringLiteral("Activation Specificity"));
    _specificityCombo->setWhatsThis(QStringLiteral(
        "<b>Activation specificity selector.</b>  Used to choose between activating an output by a "
        "specific value or over a range of values."));
    row3->addWidget(_activationIcon, 0, Qt::AlignVCenter);
    row3->addWidget(_methodCombo, 1, Qt::AlignVCenter);
    row3->addWidget(_specificityCombo, 1, Qt::AlignVCenter);
    layout->addLayout(row3);
}

void MIDIRouteInputWidget::_makeConnections()
{
    connect(_route, &MIDIRoute::receivedMIDIInput, _activity, &ActivityIndicator::blink);
    connect(_route, &MIDIRoute::midiPortNameChangedTo, this, &MIDIRouteInputWidget::_setWidgetValuesFromData);
    // A port that vanished or came back: the selector shows whether it is open now. The port I/O
    // manager has reopened what returned before the catalogue announces the change.
    connect(MIDIPortInfo::GetInstance(), &MIDIPortInfo::portCatalogueChanged, this,
            &MIDIRouteInputWidget::_setWidgetValuesFromData);
    connect(_route, &MIDIRoute::midiChannelChangedTo, this, &MIDIRouteInputWidget::_setWidgetValuesFromData);
    connect(_route, &MIDIRoute::outputActivationMethodChangedTo, this,
            &MIDIRouteInputWidget::_setWidgetValuesFromData);
    connect(_route, &MIDIRoute::outputActivationSpecificityChangedTo, this,
            &MIDIRouteInputWidget::_setWidgetValuesFromData);
    connect(_route, &MIDIRoute::activeChangedTo, this, &MIDIRouteInputWidget::_activeChangedToSLOT);
    connect(_route, &BaseMIDIObject::showingInnardsChangedTo, this, &MIDIRouteInputWidget::showInnards);
    connect(_toggler, &VisibilityToggler::clicked, this, &MIDIRouteInputWidget::showInnards);
    connect(_toggler, &VisibilityToggler::shiftClicked, this, &MIDIRouteInputWidget::showAllInnardsRequested);
    connect(_toggler, &VisibilityToggler::openChangedTo, this, &MIDIRouteInputWidget::refreshAccessibleNames);
    connect(_selector, &MIDIPortChannelSelector::portAndChannelChangedTo, this,
            &MIDIRouteInputWidget::_portAndChannelChosenSLOT);
    connect(_methodCombo, &QComboBox::activated, this, &MIDIRouteInputWidget::_methodActivatedSLOT);
    connect(_specificityCombo, &QComboBox::activated, this, &MIDIRouteInputWidget::_specificityActivatedSLOT);
}

void MIDIRouteInputWidget::_setWidgetValuesFromData()
{
    if (!_route)
        return;
    const QString port = _route->getMIDIInputPortName();
    _selector->setMIDIPortNameAndChannel(port, _route->getMIDIChannel(), Qt::NoModifier, false);
    _selector->indicatePortOpen(MIDIPortIOManager::GetInstance()->isInputPortOpen(port));
    _methodCombo->setCurrentIndex(_route->getOutputActivationMethod());
    _specificityCombo->setCurrentIndex(_route->getOutputActivationSpecificity());
    refreshAccessibleNames();
}

void MIDIRouteInputWidget::showInnards(bool show)
{
    if (!_route)
        return;
    _route->showInnards(show);
    _toggler->setOpen(show);
    for (QWidget* widget : {static_cast<QWidget*>(_portIcon), static_cast<QWidget*>(_selector),
                            static_cast<QWidget*>(_activationIcon), static_cast<QWidget*>(_methodCombo),
                            static_cast<QWidget*>(_specificityCombo)})
        widget->setVisible(show);
    setFixedSize(kWidth, show ? kUnfoldedHeight : kFoldedHeight);
}

void MIDIRouteInputWidget::_activeChangedToSLOT(bool active)
{
    if (active)
        setPalette(getActivatedPalette());
    else
        setPalette(_hovered ? getHoverPalette() : getDefaultPalette());
    update();
}

void MIDIRouteInputWidget::_portAndChannelChosenSLOT(QString portName, BYTE channel,
                                                     Qt::KeyboardModifiers modifiers)
{
    if (!_route)
        return;
    MIDIRoutingSetup* setup = _route->getParentRoutingSetup();
    const QString oldPort = _route->getMIDIInputPortName();
    modifiers = significantModifiers(modifiers);
    QPointer<MIDIRoute> route(_route);
    QPointer<MIDIRoutingSetup> setupPtr(setup);
    // One step, over the whole setup when the modifiers reach the other inputs too.
    const bool wide = setup && modifiers != Qt::NoModifier;
    ModelEdits::changeSettings(QStringLiteral("Set Port/Channel of ") + ModelEdits::describeObject(_route),
                               wide ? static_cast<BaseMIDIObject*>(setup) : _route.data(), [=] {
                                   if (!route)
                                       return;
                                   if (setupPtr && modifiers == Qt::AltModifier)
                                       setupPtr->setAllInputPortsTo(portName);
                                   else if (setupPtr && modifiers == Qt::ControlModifier)
                                       setupPtr->rerouteInputPort(oldPort, -1, portName, -1);
                                   else if (setupPtr && modifiers == (Qt::ControlModifier | Qt::AltModifier))
                                       setupPtr->setInputPortAndIncrementChannelFrom(route, portName,
                                                                                     channel);
                                   else
                                       route->setMIDIInputPortName(portName);
                                   route->setMIDIChannel(channel);
                               });
}

void MIDIRouteInputWidget::_methodActivatedSLOT(int index)
{
    if (_route)
        ModelEdits::set(_route.data(), &MIDIRoute::setOutputActivationMethod, index,
                        QStringLiteral("Activation Method"));
}

void MIDIRouteInputWidget::_specificityActivatedSLOT(int index)
{
    if (_route)
        ModelEdits::set(_route.data(), &MIDIRoute::setOutputActivationSpecificity, index,
                        QStringLiteral("Activation Specificity"));
}

void MIDIRouteInputWidget::activatePanel()
{
    if (!_route)
        return;
    if (MIDIRoutingSetup* setup = _route->getParentRoutingSetup())
        setup->setActiveRoute(_route);
}

void MIDIRouteInputWidget::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        activatePanel();
    // On to the input stack, which starts a drag from here.
    event->ignore();
}

void MIDIRouteInputWidget::enterEvent(QEnterEvent* event)
{
    MIDIObjectPanel::enterEvent(event);
    if (!_route)
        return;
    setToolTip(plainTextToolTip(_route->getTextualDescriptionOfOutputs()));
    _hovered = true;
    if (!_route->isActive())
        setPalette(getHoverPalette());
}

void MIDIRouteInputWidget::leaveEvent(QEvent* event)
{
    MIDIObjectPanel::leaveEvent(event);
    _hovered = false;
    if (_route && !_route->isActive())
        setPalette(getDefaultPalette());
}

void MIDIRouteInputWidget::fillContextMenu(QMenu* menu)
{
    MIDIRoute* route = _route;
    MIDIRoutingSetup* setup = route ? route->getParentRoutingSetup() : nullptr;
    if (!setup)
        return;
    QPointer<MIDIRoute> routePtr(route);
    QPointer<MIDIRoutingSetup> setupPtr(setup);
    const QString menuName = menuText(route->getName());

    menu->addAction(QIcon(QStringLiteral(":/icons/duplicate_16x16.png")),
                    QStringLiteral("Duplicate ") + menuName, menu, [routePtr, setupPtr] {
                        if (routePtr && setupPtr && setupPtr->hasMIDIRoute(routePtr))
                            ModelEdits::insert<MIDIRoute>(
                                QStringLiteral("Duplicate"), setupPtr.data(),
                                [setupPtr, routePtr] { return setupPtr->duplicateMIDIRoute(routePtr); });
                    });
    if (doesClipboardHaveMIDIOutput()) {
        menu->addAction(QIcon(QStringLiteral(":/icons/generic_add_16x16.png")),
                        QStringLiteral("Add Output '") + menuText(getClipboardMIDIOutputName()) +
                            QLatin1Char('\''),
                        menu, [routePtr] {
                            if (!routePtr)
                                return;
                            if (MIDIOutput* output = createMIDIOutputFromClipboard(routePtr))
                                ModelEdits::paste<MIDIOutput>(routePtr.data(), {output});
                        });
    }
    menu->addSeparator();
    addColorLabelMenu(menu);
    menu->addSeparator();
    menu->addAction(QIcon(QStringLiteral(":/icons/text_16x16.png")),
                    QStringLiteral("Copy Output Descriptions"), menu, [routePtr] {
                        if (routePtr)
                            putTextInClipboard(routePtr->getTextualDescriptionOfOutputs());
                    });
    menu->addSeparator();
    // What the input keeps away from its outputs: a keyboard's own program changes would change
    // the synth's sound behind the setup's back, and clock or active sensing is noise to a synth.
    QAction* dropPrograms = menu->addAction(QStringLiteral("Ignore Program Changes That Switch No Output"));
    dropPrograms->setObjectName(QStringLiteral("dropStrayProgramChanges"));
    dropPrograms->setCheckable(true);
    dropPrograms->setChecked(route->dropsStrayProgramChanges());
    connect(dropPrograms, &QAction::toggled, menu, [routePtr](bool drops) {
        if (routePtr)
            ModelEdits::set(routePtr.data(), &MIDIRoute::setDropsStrayProgramChanges, drops,
                            QStringLiteral("Ignoring of Program Changes"));
    });
    QAction* dropClock = menu->addAction(QStringLiteral("Ignore Clock and Active Sensing"));
    dropClock->setObjectName(QStringLiteral("dropClockAndActiveSensing"));
    dropClock->setCheckable(true);
    dropClock->setChecked(route->dropsClockAndActiveSensing());
    connect(dropClock, &QAction::toggled, menu, [routePtr](bool drops) {
        if (routePtr)
            ModelEdits::set(routePtr.data(), &MIDIRoute::setDropsClockAndActiveSensing, drops,
                            QStringLiteral("Ignoring of Clock and Active Sensing"));
    });
    menu->addSeparator();
    addRemoveEntry(menu, menuName);
}

int MIDIRouteInputWidget::numObjectsRemovedBy(bool alsoFollowing) const
{
    MIDIRoutingSetup* setup = _route ? _route->getParentRoutingSetup() : nullptr;
    return setup
               ? removalCount(setup->getIndexOfMIDIRoute(_route), setup->getNumMIDIRoutes(), alsoFollowing, 1)
               : 0;
}

void MIDIRouteInputWidget::removeObjects(bool alsoFollowing)
{
    removeFromList(_route ? _route->getParentRoutingSetup() : nullptr, _route.data(), alsoFollowing,
                   &MIDIRoutingSetup::removeMIDIRoute, &MIDIRoutingSetup::removeMIDIRoutesFrom);
}
