#include "widgets/MIDIOutputWidget.h"

#include "model/MIDIMessage.h"
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/routing/MIDIRoute.h"
#include "persistence/AppPrefsChangeNotifier.h"
#include "persistence/MIDIObjectClipboard.h"
#include "persistence/PrefKeys.h"
#include "widgets/ActivationLearnButton.h"
#include "widgets/ActivityIndicator.h"
#include "widgets/LookAndFeel.h"
#include "widgets/MIDIObjNameLabel.h"
#include "widgets/MIDIPatchTargetStackWidget.h"
#include "widgets/NoWheelComboBox.h"
#include "widgets/VisibilityToggler.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int kWidth = 486;
constexpr int kFoldedHeight = 33;
constexpr int kHeightAbovePatches = 38;
} // namespace

MIDIOutputWidget::MIDIOutputWidget(MIDIOutput* output, QWidget* parent)
    : MIDIObjectPanel(output, parent), _output(output), _route(output->getParentMIDIRoute())
{
    _buildUI();
    showInnards(output->isShowingInnards());
    _reloadValueTextsSLOT();
    _activeChangedToSLOT(output->isActive());
    _makeConnections();
    finishBuilding();
}

MIDIOutput* MIDIOutputWidget::getMIDIOutput() const
{
    return _output;
}

void MIDIOutputWidget::_buildUI()
{
    const TitleRow title = buildTitleRow(
        QStringLiteral("<b>Contents visibility toggle.</b>  Click to toggle the visibility of the child "
                       "patches. <b>Shift+click</b> "
                       "to toggle patch visibility for all outputs belonging to this input."),
        QStringLiteral("MIDI Output Name"),
        QStringLiteral("<b>MIDI output name.</b>  Double click to rename."));
    setFixedWidth(kWidth);
    setForegroundRole(QPalette::WindowText);
    QVBoxLayout* layout = title.layout;
    QHBoxLayout* row1 = title.row;
    _toggler = title.toggler;
    _nameLabel = title.nameLabel;
    _statusLabel = new QLabel(this);
    _statusLabel->setFixedSize(12, 12);
    _statusLabel->setToolTip(QStringLiteral("Activation Status"));
    _statusLabel->setWhatsThis(
        QStringLiteral("<b>Activation button.</b>  Indicates whether this output is active or "
                       "not.  Click to activate this output."));
    _valueCombo = new NoWheelComboBox(this);
    _valueCombo->setFixedWidth(55);
    _valueCombo->setFocusPolicy(Qt::NoFocus);
    _valueCombo->setToolTip(QStringLiteral("Activation Value Selector"));
    _valueCombo->setWhatsThis(QStringLiteral(
        "<b>Activation value selector.</b>  Used to select the activation value for this output. When output "
        "activation is done by a range of values, this selector sets the lower value of the range."));
    _toLabel = new QLabel(QStringLiteral("To"), this);
    _rangeCombo = new NoWheelComboBox(this);
    _rangeCombo->setFixedWidth(55);
    _rangeCombo->setFocusPolicy(Qt::NoFocus);
    _rangeCombo->setToolTip(QStringLiteral("Activation Range Selector"));
    _rangeCombo->setWhatsThis(QStringLiteral(
        "<b>Activation range selector.</b>  Sets the higher value for this output's range activation."));
    // While the input listens for a learn, what to play stands where the values are.
    _learnPrompt = new QLabel(this);
    _learnPrompt->setTextFormat(Qt::PlainText);
    _learnPrompt->setMinimumWidth(110);
    _learnPrompt->setVisible(false);
    _learnButton = new ActivationLearnButton(_output, this);
    _activity = new ActivityIndicator(this);
    _activity->setFixedSize(12, 12);
    _activity->setToolTip(QStringLiteral("MIDI Activity Indicator"));
    _activity->setWhatsThis(QStringLiteral(
        "<b>MIDI output activity indicator.</b>  Blinks when this output receives MIDI data."));
    row1->addWidget(_statusLabel, 0, Qt::AlignVCenter);
    row1->addWidget(_valueCombo, 0, Qt::AlignVCenter);
    row1->addWidget(_toLabel, 0, Qt::AlignVCenter);
    row1->addWidget(_rangeCombo, 0, Qt::AlignVCenter);
    row1->addWidget(_learnPrompt, 0, Qt::AlignVCenter);
    row1->addWidget(_learnButton, 0, Qt::AlignVCenter);
    row1->addWidget(_activity, 0, Qt::AlignVCenter);

    auto* row2 = new QHBoxLayout;
    _addPatchButton = new QPushButton(this);
    _addPatchButton->setIcon(QIcon(QStringLiteral(":/icons/generic_add_11x11.png")));
    _addPatchButton->setIconSize(QSize(11, 11));
    _addPatchButton->setFixedSize(21, 21);
    _addPatchButton->setAutoDefault(false);
    _addPatchButton->setDefault(false);
    _addPatchButton->setFocusPolicy(Qt::NoFocus);
    _addPatchButton->setToolTip(QStringLiteral("Add Patch"));
    _addPatchButton->setWhatsThis(QStringLiteral("<b>Add patch button.</b>  Click to add a new patch."));
    _patchStack = new MIDIPatchTargetStackWidget(_output, this);
    row2->addWidget(_addPatchButton, 0, Qt::AlignTop);
    row2->addWidget(_patchStack, 1);
    layout->addLayout(row2);
}

void MIDIOutputWidget::_makeConnections()
{
    connect(_output, &MIDIOutput::receivedMIDIMessage, _activity, &ActivityIndicator::blink);
    connect(_output, &MIDIOutput::activeChangedTo, this, &MIDIOutputWidget::_activeChangedToSLOT);
    connect(_output, &MIDIOutput::mainActivationValueChangedTo, this,
            &MIDIOutputWidget::_setWidgetValuesFromData);
    connect(_output, &MIDIOutput::activationRangeValueChangedTo, this,
            &MIDIOutputWidget::_setWidgetValuesFromData);
    connect(_output, &BaseMIDIObject::showingInnardsChangedTo, this, &MIDIOutputWidget::showInnards);
    if (_route) {
        connect(_route, &MIDIRoute::outputActivationMethodChangedTo, this,
                &MIDIOutputWidget::_reloadValueTextsSLOT);
        connect(_route, &MIDIRoute::outputActivationSpecificityChangedTo, this,
                &MIDIOutputWidget::_setWidgetValuesFromData);
    }
    connect(AppPrefsChangeNotifier::GetInstance(), &AppPrefsChangeNotifier::prefValueChanged, this,
            &MIDIOutputWidget::_prefValueChangedSLOT);
    connect(_patchStack, &MIDIPatchTargetStackWidget::heightChanged, this,
            &MIDIOutputWidget::_recomputeHeightSLOT);
    connect(_patchStack, &ReorderWidget::widgetAdded, this, [this](QWidget* widget) {
        // The drop bar of a drag in progress is no new patch to scroll to.
        if (!_patchStack->isDropIndicatorWidget(widget))
            emit patchWidgetAdded(widget);
    });
    connect(_patchStack, &ReorderWidget::draggingToPoint, this, &MIDIOutputWidget::_patchDraggingToPointSLOT);
    connect(_toggler, &VisibilityToggler::clicked, this, &MIDIOutputWidget::showInnards);
    connect(_toggler, &VisibilityToggler::shiftClicked, this, &MIDIOutputWidget::showAllInnardsRequested);
    connect(_toggler, &VisibilityToggler::openChangedTo, this, &MIDIOutputWidget::refreshAccessibleNames);
    connect(_addPatchButton, &QPushButton::clicked, this, &MIDIOutputWidget::_addPatchClickedSLOT);
    connect(_learnButton, &ActivationLearnButton::listeningChangedTo, this,
            &MIDIOutputWidget::_setWidgetValuesFromData);
    connect(_valueCombo, &QComboBox::activated, this, [this](int index) {
        if (_output)
            ModelEdits::set(_output.data(), &MIDIOutput::setMainActivationValue, BYTE(index),
                            QStringLiteral("Activation Value"));
    });
    connect(_rangeCombo, &QComboBox::activated, this, [this](int index) {
        if (_output)
            ModelEdits::set(_output.data(), &MIDIOutput::setActivationRangeValue, BYTE(index),
                            QStringLiteral("Activation Range"));
    });
}

void MIDIOutputWidget::_reloadValueTextsSLOT()
{
    QStringList texts;
    texts.reserve(128);
    const int method = _route ? _route->getOutputActivationMethod() : MIDIRoute::kKeyswitchActivation;
    for (int value = 0; value < 128; ++value) {
        if (method == MIDIRoute::kKeyswitchActivation)
            texts << QString::fromLatin1(getMIDINoteName(BYTE(value)));
        else if (method == MIDIRoute::kProgramChangeActivation)
            texts << QString::number(value + 1);
        else
            texts << QString::number(value);
    }
    for (NoWheelComboBox* combo : {_valueCombo, _rangeCombo}) {
        combo->clear();
        combo->addItems(texts);
    }
    _setWidgetValuesFromData();
}

void MIDIOutputWidget::_setWidgetValuesFromData()
{
    if (!_output)
        return;
    _valueCombo->setCurrentIndex(_output->getMainActivationValue());
    _rangeCombo->setCurrentIndex(_output->getActivationRangeValue());
    const bool range = _route && _route->isOutputActivationValueRange();
    const bool listening = _learnButton->isListening();
    _learnPrompt->setText(listening ? _learnButton->listeningPrompt() : QString());
    _learnPrompt->setVisible(listening);
    _valueCombo->setVisible(!listening);
    _toLabel->setVisible(range && !listening);
    _rangeCombo->setVisible(range && !listening);
}

void MIDIOutputWidget::_prefValueChangedSLOT(const QString& key)
{
    if (key == PrefKeys::MiddleCName)
        _reloadValueTextsSLOT();
}

void MIDIOutputWidget::_activeChangedToSLOT(bool active)
{
    setPalette(active ? getActivatedPalette() : getDefaultPalette());
    _statusLabel->setPixmap(QPixmap(active ? QStringLiteral(":/icons/output_activated_12x12.png")
                                           : QStringLiteral(":/icons/output_activation_12x12.png")));
    update();
}

void MIDIOutputWidget::showInnards(bool show)
{
    if (!_output)
        return;
    _toggler->setOpen(show);
    _output->showInnards(show);
    _addPatchButton->setVisible(show);
    _patchStack->setVisible(show);
    _recomputeHeightSLOT();
}

void MIDIOutputWidget::_recomputeHeightSLOT()
{
    const bool shown = _output && _output->isShowingInnards();
    setFixedHeight(shown ? _patchStack->getHeightBasedOnContents() + kHeightAbovePatches : kFoldedHeight);
}

void MIDIOutputWidget::_patchDraggingToPointSLOT(QPoint position)
{
    emit patchDraggedTo(_patchStack->mapTo(this, position));
}

void MIDIOutputWidget::_addPatchClickedSLOT()
{
    if (MIDIOutput* output = _output)
        ModelEdits::insert<MIDIPatchTarget>(QStringLiteral("Add"), output, [output] {
            return output->createNewMIDIPatchTarget(true, QString());
        });
}

void MIDIOutputWidget::activatePanel()
{
    if (_output)
        _output->setActive(true);
}

bool MIDIOutputWidget::activatesOnPressOf(QObject* child) const
{
    // Only the status lamp switches sounds: a press on a value box must not change what plays.
    return child == _statusLabel;
}

void MIDIOutputWidget::mousePressEvent(QMouseEvent* event)
{
    // On to the output stack, which starts a drag from the panel's free areas.
    event->ignore();
}

void MIDIOutputWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (childAt(event->position().toPoint()) != _nameLabel)
        activatePanel();
    event->accept();
}

void MIDIOutputWidget::fillContextMenu(QMenu* menu)
{
    MIDIOutput* output = _output;
    MIDIRoute* route = output ? output->getParentMIDIRoute() : nullptr;
    if (!output || !route)
        return;
    QPointer<MIDIOutput> outputPtr(output);
    QPointer<MIDIRoute> routePtr(route);
    const QString name = menuText(output->getName());

    QAction* makeActive =
        menu->addAction(QIcon(QStringLiteral(":/icons/output_activated_16x16.png")),
                        QStringLiteral("Make ") + name + QStringLiteral(" Active"), menu, [outputPtr] {
                            if (outputPtr)
                                outputPtr->setActive(true);
                        });
    makeActive->setEnabled(!output->isActive());

    menu->addSeparator();
    menu->addAction(QIcon(QStringLiteral(":/icons/copy_16x16.png")), QStringLiteral("Copy ") + name, menu,
                    [outputPtr] {
                        if (outputPtr)
                            putMIDIOutputInClipboard(outputPtr);
                    });
    menu->addAction(QIcon(QStringLiteral(":/icons/duplicate_16x16.png")), QStringLiteral("Duplicate ") + name,
                    menu, [outputPtr, routePtr] {
                        if (outputPtr && routePtr && routePtr->hasMIDIOutput(outputPtr))
                            ModelEdits::insert<MIDIOutput>(
                                QStringLiteral("Duplicate"), routePtr.data(),
                                [routePtr, outputPtr] { return routePtr->duplicateMIDIOutput(outputPtr); });
                    });

    menu->addSeparator();
    const int numPatches = output->getNumMIDIPatchTargets();
    if (numPatches < 2) {
        if (numPatches == 1) {
            QPointer<MIDIPatchTarget> patchPtr(output->getMIDIPatchTargetAtIndex(0));
            menu->addAction(QIcon(QStringLiteral(":/icons/copy_16x16.png")),
                            QStringLiteral("Copy Patch \"") + menuText(patchPtr->getName()) +
                                QLatin1Char('"'),
                            menu, [patchPtr] {
                                if (patchPtr)
                                    putMIDIPatchTargetInClipboard(patchPtr);
                            });
        }
    } else {
        menu->addAction(QIcon(QStringLiteral(":/icons/copy_16x16.png")),
                        QStringLiteral("Copy (%1) Patches").arg(numPatches), menu, [outputPtr] {
                            if (outputPtr)
                                putMIDIPatchTargetsInClipboard(outputPtr);
                        });
    }

    if (doesClipboardHaveMIDIPatchTargetList()) {
        menu->addSeparator();
        menu->addAction(QIcon(QStringLiteral(":/icons/generic_add_16x16.png")),
                        QStringLiteral("Add (%1) Patches").arg(getClipboardMIDIPatchTargetListSize()), menu,
                        [outputPtr] {
                            if (!outputPtr)
                                return;
                            ModelEdits::paste<MIDIPatchTarget>(
                                outputPtr.data(), createMIDIPatchTargetListFromClipboard(outputPtr));
                        });
    } else if (doesClipboardHaveMIDIPatchTarget()) {
        menu->addSeparator();
        menu->addAction(QIcon(QStringLiteral(":/icons/generic_add_16x16.png")),
                        QStringLiteral("Add Patch '") + menuText(getClipboardMIDIPatchTargetName()) +
                            QLatin1Char('\''),
                        menu, [outputPtr] {
                            if (!outputPtr)
                                return;
                            if (MIDIPatchTarget* patch = createMIDIPatchTargetFromClipboard(outputPtr))
                                ModelEdits::paste<MIDIPatchTarget>(outputPtr.data(), {patch});
                        });
    }

    menu->addSeparator();
    addColorLabelMenu(menu);

    if (route->getNumMIDIOutputs() > 1) {
        menu->addSeparator();
        addRemoveEntry(menu, name);
    }
}

int MIDIOutputWidget::numObjectsRemovedBy(bool alsoFollowing) const
{
    MIDIRoute* route = _output ? _output->getParentMIDIRoute() : nullptr;
    // An input keeps at least one output.
    return route ? removalCount(route->getIndexOfMIDIOutput(_output), route->getNumMIDIOutputs(),
                                alsoFollowing, 2)
                 : 0;
}

void MIDIOutputWidget::removeObjects(bool alsoFollowing)
{
    removeFromList(_output ? _output->getParentMIDIRoute() : nullptr, _output.data(), alsoFollowing,
                   &MIDIRoute::removeMIDIOutput, &MIDIRoute::removeMIDIOutputsFrom);
}

QString MIDIOutputWidget::removalRefusedText() const
{
    MIDIRoute* route = _output ? _output->getParentMIDIRoute() : nullptr;
    if (!route || route->getNumMIDIOutputs() > 1)
        return QString();
    return QStringLiteral("\"%1\" is the only output of its input and cannot be removed; an input keeps at "
                          "least one output.")
        .arg(_output->getName());
}
