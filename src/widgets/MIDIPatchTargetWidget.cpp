#include "widgets/MIDIPatchTargetWidget.h"

#include "model/edits/ModelEdits.h"

#include "editors/InitializerEditorDialog.h"
#include "editors/InitializerStripWidget.h"
#include "editors/ModifierKeys.h"
#include "editors/TransformDialogManager.h"
#include "editors/TransformStripWidget.h"
#include "midi/MIDIPortIOManager.h"
#include "midi/MIDIPortInfo.h"
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/transforms/MIDIDataTransform.h"
#include "widgets/ClickableLabel.h"
#include "widgets/LookAndFeel.h"
#include "widgets/MIDIObjNameLabel.h"
#include "widgets/MIDIPortChannelSelector.h"
#include "widgets/MenuButton.h"
#include "widgets/MilliSecDelayValIntValidator.h"
#include "widgets/PatchAddMenus.h"
#include "widgets/PatchClipboardMenuEntries.h"
#include "widgets/PatchGroupEdits.h"
#include "widgets/ValueEntryLineEdit.h"
#include "widgets/VisibilityToggler.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>
#include <memory>

namespace {
constexpr int kWidth = 441;
constexpr int kUnfoldedHeight = 111;
constexpr int kFoldedHeight = 33;

QLabel* iconLabel(QWidget* parent, const QString& path, const QString& toolTip)
{
    auto* label = new QLabel(parent);
    label->setPixmap(QPixmap(path));
    label->setToolTip(toolTip);
    return label;
}

MenuButton* addButton(QWidget* parent, const QString& toolTip, const QString& whatsThis)
{
    auto* button = new MenuButton(parent);
    button->setIcon(QIcon(QStringLiteral(":/icons/generic_add_8x8.png")));
    button->setIconSize(QSize(8, 8));
    button->setFixedSize(20, 21);
    button->setFocusPolicy(Qt::NoFocus);
    button->setToolTip(toolTip);
    button->setWhatsThis(whatsThis);
    return button;
}

const QPixmap& constantDelayPixmap()
{
    static const QPixmap pixmap(QStringLiteral(":/icons/constant_delay_12x12.png"));
    return pixmap;
}

const QPixmap& randomDelayPixmap()
{
    static const QPixmap pixmap(QStringLiteral(":/icons/random_delay_12x12.png"));
    return pixmap;
}
} // namespace

MIDIPatchTargetWidget::MIDIPatchTargetWidget(MIDIPatchTarget* patch, QWidget* parent)
    : MIDIObjectPanel(patch, parent), _patch(patch)
{
    _buildUI();
    showInnards(patch->isShowingInnards());
    _setWidgetValuesFromData();
    _makeConnections();
    _mutedChangedToSLOT(patch->isMuted());
    finishBuilding();
}

MIDIPatchTarget* MIDIPatchTargetWidget::getMIDIPatchTarget() const
{
    return _patch;
}

void MIDIPatchTargetWidget::_buildUI()
{
    const TitleRow title = buildTitleRow(
        QStringLiteral("<b>Contents visibility toggle.</b>  Click to toggle the visibility of the patch "
                       "controls.  <b>Shift+click</b> to toggle the patch control visibilty for all "
                       "patches belonging to this output."),
        QStringLiteral("Patch Name"), QStringLiteral("<b>Patch name</b>.  Double click to rename."));
    QVBoxLayout* layout = title.layout;
    _toggler = title.toggler;
    _nameLabel = title.nameLabel;
    _muteButton = new QPushButton(QStringLiteral("M"), this);
    QFont bold = _muteButton->font();
    bold.setBold(true);
    _muteButton->setFont(bold);
    _muteButton->setFixedSize(20, 21);
    _muteButton->setFocusPolicy(Qt::NoFocus);
    _muteButton->setAutoDefault(false);
    _muteButton->setWhatsThis(QStringLiteral(
        "<b>Mute toggle button.</b>  Toggles the muted state of the patch.  When muted, the patch "
        "does not process incoming MIDI messages."));
    title.row->addWidget(_muteButton, 0, Qt::AlignVCenter);

    auto* row2 = new QHBoxLayout;
    QLabel* outputIcon =
        iconLabel(this, QStringLiteral(":/icons/midi_output_12x12.png"), QStringLiteral("Output"));
    _selector = new MIDIPortChannelSelector(MIDIPortType::Output, this);
    _selector->setFocusPolicy(Qt::NoFocus);
    _selector->setWhatsThis(QStringLiteral(
        "<b>MIDI output port/channel selector.</b>  Used to select the MIDI output port/channel for this "
        "patch.<br><br>When a selection is made with modifier keys pressed:<br><br><b>Alt</b>: Set all "
        "patches in "
        "this output to use the chosen MIDI output port (preserving channels).<br><b>Alt+Shift</b>: Set all "
        "patches "
        "in all outputs of this input to use the chosen MIDI output port (preserving "
        "channels).<br><br><b>Ctrl</b>: "
        "Perform current-to-chosen port/channel rerouting for all patches in this "
        "output.<br><b>Ctrl+Shift</b>: "
        "Perform current-to-chosen port/channel rerouting for all patches of all outputs in this "
        "input.<br><br><b>Ctrl+Alt</b>: Set this and following patches in this output to use the chosen MIDI "
        "output port, with the MIDI channel incrementing hereafter.<br><b>Ctrl+Alt+Shift</b>: Set this and "
        "following patches in this output and all patches in following outputs to use the chosen MIDI output "
        "port, "
        "with the MIDI channel incrementing hereafter."));
    _delayTypeLabel = new ClickableLabel(this);
    _delayTypeLabel->setAlignment(Qt::AlignCenter);
    _delayTypeLabel->setFixedSize(constantDelayPixmap().isNull()
                                      ? QSize(12, 12)
                                      : constantDelayPixmap().deviceIndependentSize().toSize());
    QFont smaller = font();
    if (smaller.pixelSize() > 1)
        smaller.setPixelSize(smaller.pixelSize() - 1);
    smaller.setBold(true);
    _delayTypeLabel->setFont(smaller);
    _delayTypeLabel->setWhatsThis(QStringLiteral(
        "<b>Delay type button.</b>  Click to toggle between constant and random message delay."));
    _delayEdit = new ValueEntryLineEdit(this);
    _delayEdit->setValidator(MilliSecDelayValIntValidator::GetInstance());
    _delayEdit->setAlignment(Qt::AlignCenter);
    _delayEdit->setMaxLength(3);
    _delayEdit->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("WWW")));
    _delayEdit->setToolTip(QStringLiteral("Delay (ms)"));
    _delayEdit->setWhatsThis(
        QStringLiteral("<b>Message delay edit.</b>  Used to specify an optional 0 to 500 "
                       "millisecond delay by which incoming MIDI messages will be delayed."));
    row2->addWidget(outputIcon, 0, Qt::AlignVCenter);
    row2->addWidget(_selector, 1, Qt::AlignVCenter);
    row2->addSpacing(5);
    row2->addWidget(_delayTypeLabel, 0, Qt::AlignVCenter);
    row2->addWidget(_delayEdit, 0, Qt::AlignVCenter);
    layout->addLayout(row2);

    auto* row3 = new QHBoxLayout;
    QLabel* initIcon =
        iconLabel(this, QStringLiteral(":/icons/initializers_12x12.png"), QStringLiteral("Initializers"));
    _addInitializerButton =
        addButton(this, QStringLiteral("Add Initializer"),
                  QStringLiteral("<b>Add initializer button.</b>  Click to select a new initializer "
                                 "to add to this patch from the available initializer types."));
    _initializerStrip = new InitializerStripWidget(_patch, this);
    _initializerStrip->setFixedHeight(21);
    row3->addWidget(initIcon, 0, Qt::AlignVCenter);
    row3->addWidget(_addInitializerButton, 0, Qt::AlignVCenter);
    row3->addWidget(_initializerStrip, 1, Qt::AlignVCenter);
    layout->addLayout(row3);

    auto* row4 = new QHBoxLayout;
    QLabel* transformIcon =
        iconLabel(this, QStringLiteral(":/icons/transforms_12x12.png"), QStringLiteral("Transforms"));
    _addTransformButton =
        addButton(this, QStringLiteral("Add Transform"),
                  QStringLiteral("<b>Add transform button.</b>  Click to select a new transform to "
                                 "add to this patch from the available transform types."));
    _transformStrip = new TransformStripWidget(_patch, this);
    _transformStrip->setFixedHeight(21);
    row4->addWidget(transformIcon, 0, Qt::AlignVCenter);
    row4->addWidget(_addTransformButton, 0, Qt::AlignVCenter);
    row4->addWidget(_transformStrip, 1, Qt::AlignVCenter);
    layout->addLayout(row4);

    _innards = {outputIcon,        _selector,     _delayTypeLabel,
                _delayEdit,        initIcon,      _addInitializerButton,
                _initializerStrip, transformIcon, _addTransformButton,
                _transformStrip};
}

void MIDIPatchTargetWidget::_makeConnections()
{
    connect(_patch, &BaseMIDIObject::showingInnardsChangedTo, this, &MIDIPatchTargetWidget::showInnards);
    connect(_patch, &MIDIPatchTarget::midiPortNameChangedTo, this,
            &MIDIPatchTargetWidget::_setWidgetValuesFromData);
    // A port that vanished or came back: the selector shows whether it is open now. The port I/O
    // manager has reopened what returned before the catalogue announces the change.
    connect(MIDIPortInfo::GetInstance(), &MIDIPortInfo::portCatalogueChanged, this,
            &MIDIPatchTargetWidget::_setWidgetValuesFromData);
    connect(_patch, &MIDIPatchTarget::midiChannelChangedTo, this,
            &MIDIPatchTargetWidget::_setWidgetValuesFromData);
    connect(_patch, &MIDIPatchTarget::messageDelayChangedTo, this,
            &MIDIPatchTargetWidget::_setWidgetValuesFromData);
    connect(_patch, &MIDIPatchTarget::messageDelayTypeChangedTo, this,
            &MIDIPatchTargetWidget::_delayTypeChangedSLOT);
    connect(_patch, &MIDIPatchTarget::mutedChangedTo, this, &MIDIPatchTargetWidget::_mutedChangedToSLOT);
    connect(_toggler, &VisibilityToggler::clicked, this, &MIDIPatchTargetWidget::showInnards);
    connect(_toggler, &VisibilityToggler::shiftClicked, this,
            &MIDIPatchTargetWidget::showAllInnardsRequested);
    connect(_toggler, &VisibilityToggler::openChangedTo, this,
            &MIDIPatchTargetWidget::refreshAccessibleNames);
    connect(_muteButton, &QPushButton::clicked, this, &MIDIPatchTargetWidget::_muteClickedSLOT);
    connect(_delayTypeLabel, &ClickableLabel::clicked, this, [this] {
        if (_patch)
            ModelEdits::act(_patch.data(), &MIDIPatchTarget::chooseNextMessageDelayType,
                            QStringLiteral("Change Delay Type"));
    });
    connect(_delayEdit, &QLineEdit::editingFinished, this, &MIDIPatchTargetWidget::_delayEditFinishedSLOT);
    connect(_selector, &MIDIPortChannelSelector::portAndChannelChangedTo, this,
            &MIDIPatchTargetWidget::_portAndChannelChosenSLOT);
    connect(_addInitializerButton, &MenuButton::menuRequested, this,
            &MIDIPatchTargetWidget::_addInitializerMenuRequestedSLOT);
    connect(_addTransformButton, &MenuButton::menuRequested, this,
            &MIDIPatchTargetWidget::_addTransformMenuRequestedSLOT);
}

void MIDIPatchTargetWidget::_setWidgetValuesFromData()
{
    if (!_patch)
        return;
    const QString port = _patch->getMIDIOutputPortName();
    _selector->setMIDIPortNameAndChannel(port, _patch->getMIDIChannel(), Qt::NoModifier, false);
    _selector->indicatePortOpen(MIDIPortIOManager::GetInstance()->isOutputPortOpen(port));
    _delayTypeChangedSLOT();
    _delayEdit->setIntValue(_patch->getMessageDelayInMillisecs());
    refreshAccessibleNames();
}

void MIDIPatchTargetWidget::_delayTypeChangedSLOT()
{
    if (!_patch)
        return;
    const bool constant = _patch->isMessageDelayConstant();
    const QPixmap& pixmap = constant ? constantDelayPixmap() : randomDelayPixmap();
    if (pixmap.isNull())
        _delayTypeLabel->setText(constant ? QStringLiteral("C") : QStringLiteral("R"));
    else
        _delayTypeLabel->setPixmap(pixmap);
    _delayTypeLabel->setToolTip(constant ? QStringLiteral("Delay Type: Constant")
                                         : QStringLiteral("Delay Type: Random"));
    refreshAccessibleNames();
}

void MIDIPatchTargetWidget::_mutedChangedToSLOT(bool muted)
{
    // An engaged mute is orange, so a silent patch is seen from across the stage.
    QPalette mutedPalette = getMuteButtonMutedPalette();
    // Dark letters on the orange: the "M" stays readable from a distance.
    mutedPalette.setColor(QPalette::ButtonText, QColor(20, 20, 20));
    _muteButton->setPalette(muted ? mutedPalette : QPalette());
    _muteButton->setToolTip(muted ? QStringLiteral("Unmute") : QStringLiteral("Mute"));
    refreshAccessibleNames();
}

void MIDIPatchTargetWidget::showInnards(bool show)
{
    if (!_patch)
        return;
    _toggler->setOpen(show);
    _patch->showInnards(show);
    for (QWidget* widget : _innards)
        widget->setVisible(show);
    const int newHeight = show ? kUnfoldedHeight : kFoldedHeight;
    const bool changed = minimumHeight() != newHeight || width() != kWidth;
    setFixedSize(kWidth, newHeight);
    if (changed)
        emit heightChanged();
}

void MIDIPatchTargetWidget::_muteClickedSLOT()
{
    // Read as the click comes: exactly these keys, nothing else held.
    if (_patch)
        PatchGroupEdits::muteClicked(_patch, significantModifiers(QApplication::keyboardModifiers()));
}

void MIDIPatchTargetWidget::_showDelayError()
{
    QPointer<MIDIPatchTargetWidget> self(this);
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Value Error"),
                    QStringLiteral("The delay must be an integer between 0 and 500 milliseconds."),
                    QMessageBox::Ok, window());
    box.exec();
    if (self && _patch)
        _delayEdit->setIntValue(_patch->getMessageDelayInMillisecs());
}

void MIDIPatchTargetWidget::_delayEditFinishedSLOT()
{
    if (!_patch)
        return;
    bool ok = false;
    const int value = _delayEdit->text().toInt(&ok, 10);
    if (!ok) {
        _showDelayError();
        return;
    }
    if (value == _patch->getMessageDelayInMillisecs())
        return;
    if (value >= 0 && value <= MIDIPatchTarget::kMaxMessageDelay)
        ModelEdits::set(_patch.data(), &MIDIPatchTarget::setMessageDelayInMillisecs, value,
                        QStringLiteral("Delay"), SettingsEditCommand::kDelay);
    else
        _showDelayError();
}

void MIDIPatchTargetWidget::_portAndChannelChosenSLOT(QString portName, BYTE channel,
                                                      Qt::KeyboardModifiers modifiers)
{
    if (_patch)
        PatchGroupEdits::portAndChannelChosen(_patch, portName, channel, significantModifiers(modifiers));
}

QMenu* MIDIPatchTargetWidget::createAddInitializerMenu()
{
    return PatchAddMenus::createInitializerMenu(_addInitializerButton->width());
}

QMenu* MIDIPatchTargetWidget::createAddTransformMenu()
{
    return PatchAddMenus::createTransformMenu(_addTransformButton->width());
}

void MIDIPatchTargetWidget::_addInitializerMenuRequestedSLOT()
{
    QPointer<MIDIPatchTargetWidget> self(this);
    std::unique_ptr<QMenu> menu(createAddInitializerMenu());
    QAction* chosen = menu->exec(_addInitializerButton->mapToGlobal(QPoint(0, 0)));
    // The patch (a file opened meanwhile) or this panel may be gone once the menu closes.
    if (!self || !_patch || !chosen)
        return;
    addInitializerNamed(chosen->data().toString());
}

void MIDIPatchTargetWidget::_addTransformMenuRequestedSLOT()
{
    QPointer<MIDIPatchTargetWidget> self(this);
    std::unique_ptr<QMenu> menu(createAddTransformMenu());
    QAction* chosen = menu->exec(_addTransformButton->mapToGlobal(QPoint(0, 0)));
    if (!self || !_patch || !chosen)
        return;
    addTransformNamed(chosen->data().toString());
}

void MIDIPatchTargetWidget::addInitializerNamed(const QString& name)
{
    if (!_patch)
        return;
    MIDIPatchTarget* patch = _patch;
    if (MIDIPatchInitializer* initializer =
            ModelEdits::insert<MIDIPatchInitializer>(QStringLiteral("Add"), patch, [patch, name] {
                return patch->createNewMIDIPatchInitializer(name);
            }))
        editMIDIPatchInitializer(initializer, this);
}

void MIDIPatchTargetWidget::addTransformNamed(const QString& name)
{
    if (!_patch)
        return;
    MIDIPatchTarget* patch = _patch;
    MIDIDataTransform* transform = ModelEdits::insert<MIDIDataTransform>(
        QStringLiteral("Add"), patch, [patch, name] { return patch->createNewMIDIDataTransform(name); });
    if (transform && transform->hasEditableParameters())
        editMIDIDataTransform(transform);
}

void MIDIPatchTargetWidget::mousePressEvent(QMouseEvent* event)
{
    // On to the patch stack, which starts a drag from the panel's free areas.
    event->ignore();
}

void MIDIPatchTargetWidget::fillContextMenu(QMenu* menu)
{
    MIDIPatchTarget* patch = _patch;
    MIDIOutput* output = patch ? patch->getParentMIDIOutput() : nullptr;
    if (!output)
        return;
    const QString name = menuText(patch->getName());
    const int numPatches = output->getNumMIDIPatchTargets();

    PatchClipboardMenuEntries::addTo(menu, patch, name);
    menu->addSeparator();
    addColorLabelMenu(menu);
    if (numPatches > 1) {
        menu->addSeparator();
        addRemoveEntry(menu, name);
    }
}

int MIDIPatchTargetWidget::numObjectsRemovedBy(bool alsoFollowing) const
{
    MIDIOutput* output = _patch ? _patch->getParentMIDIOutput() : nullptr;
    // An output keeps at least one patch.
    return output ? removalCount(output->getIndexOfMIDIPatchTarget(_patch), output->getNumMIDIPatchTargets(),
                                 alsoFollowing, 2)
                  : 0;
}

void MIDIPatchTargetWidget::removeObjects(bool alsoFollowing)
{
    removeFromList(_patch ? _patch->getParentMIDIOutput() : nullptr, _patch.data(), alsoFollowing,
                   &MIDIOutput::removeMIDIPatchTarget, &MIDIOutput::removeMIDIPatchTargetsFrom);
}

QString MIDIPatchTargetWidget::removalRefusedText() const
{
    if (!_patch || !_patch->getParentMIDIOutput() ||
        _patch->getParentMIDIOutput()->getNumMIDIPatchTargets() > 1)
        return QString();
    return QStringLiteral("\"%1\" is the only patch of its output and cannot be removed; an output keeps at "
                          "least one patch.")
        .arg(_patch->getName());
}
