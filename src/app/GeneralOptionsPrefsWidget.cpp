#include "app/GeneralOptionsPrefsWidget.h"

#include "persistence/AppPrefs.h"
#include "persistence/PrefKeys.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QSpinBox>

namespace {

// A stored index outside the combo's items falls back to the default.
void setIndexOrDefault(QComboBox* combo, int index, int defaultIndex)
{
    combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : defaultIndex);
}

} // namespace

GeneralOptionsPrefsWidget::GeneralOptionsPrefsWidget(QWidget* parent) : QWidget(parent)
{
    _buildUI();
}

void GeneralOptionsPrefsWidget::_buildUI()
{
    auto* form = new QFormLayout(this);

    _activationMethodComboBox = new QComboBox(this);
    _activationMethodComboBox->addItem(QStringLiteral("Note On"));
    _activationMethodComboBox->addItem(QStringLiteral("Program Change"));
    for (int controller = 0; controller <= 119; ++controller)
        _activationMethodComboBox->addItem(QStringLiteral("CC") + QString::number(controller));
    _activationMethodComboBox->setToolTip(QStringLiteral("How new inputs switch outputs."));
    _activationMethodComboBox->setWhatsThis(QStringLiteral(
        "<b>Default output activation method.</b>  The message new inputs use to switch their outputs: a "
        "keyswitch note, a program change or a controller."));
    form->addRow(QStringLiteral("Default Output Activation Method"), _activationMethodComboBox);

    _activationSpecificityComboBox = new QComboBox(this);
    _activationSpecificityComboBox->addItems({QStringLiteral("Value"), QStringLiteral("Range")});
    _activationSpecificityComboBox->setToolTip(
        QStringLiteral("Whether new inputs switch on one value or a range."));
    _activationSpecificityComboBox->setWhatsThis(
        QStringLiteral("<b>Default output activation specificity.</b>  Whether an output of a new input is "
                       "switched on by one "
                       "value or by a range of values."));
    form->addRow(QStringLiteral("Default Output Activation Specificity"), _activationSpecificityComboBox);

    _loadMostRecentCheckBox = new QCheckBox(QString(), this);
    _loadMostRecentCheckBox->setToolTip(QStringLiteral("Open the setup used last when Quorvell starts."));
    _loadMostRecentCheckBox->setWhatsThis(
        QStringLiteral("<b>Open most recent setup on launch.</b>  When ticked, Quorvell starts with the "
                       "setup you opened last."));
    form->addRow(QStringLiteral("Open Most Recent Setup On Launch"), _loadMostRecentCheckBox);

    _initializersOnOpenCheckBox = new QCheckBox(QString(), this);
    _initializersOnOpenCheckBox->setToolTip(
        QStringLiteral("Set the synths to the active sounds as soon as a setup opens."));
    _initializersOnOpenCheckBox->setWhatsThis(QStringLiteral(
        "<b>Send the active sounds' initializers when a setup opens.</b>  When ticked, each input's "
        "active output sends its patches' initializers once the setup is open, so the first note has "
        "the right sound. Untick it if you set your synths by hand."));
    form->addRow(QStringLiteral("Send the active sounds' initializers when a setup opens"),
                 _initializersOnOpenCheckBox);

    _middleCNameComboBox = new QComboBox(this);
    _middleCNameComboBox->addItems({QStringLiteral("C3"), QStringLiteral("C4")});
    _middleCNameComboBox->setToolTip(QStringLiteral("The name of MIDI note 60."));
    _middleCNameComboBox->setWhatsThis(
        QStringLiteral("<b>Middle C name.</b>  Whether note names call MIDI note 60 C3 or C4."));
    form->addRow(QStringLiteral("\"Middle C\" (MIDI Note 60) Name"), _middleCNameComboBox);

    _showVelocitiesCheckBox = new QCheckBox(this);
    _showVelocitiesCheckBox->setToolTip(QStringLiteral("Mark played keys with their velocities."));
    _showVelocitiesCheckBox->setWhatsThis(QStringLiteral(
        "<b>Show note velocities.</b>  When ticked, the on-screen keyboards mark each played key with its "
        "velocity."));
    form->addRow(QStringLiteral("On-Screen Keyboards Show Note Velocities"), _showVelocitiesCheckBox);

    _oscRemoteCheckBox = new QCheckBox(this);
    _oscRemoteCheckBox->setToolTip(QStringLiteral("Let a tablet or foot controller switch sounds over OSC."));
    _oscRemoteCheckBox->setWhatsThis(QStringLiteral(
        "<b>Remote control over OSC.</b>  When ticked, Quorvell listens for OSC messages on the port and "
        "address below: a tablet or foot controller can switch sounds, mute patches, call a panic and "
        "see what plays."));
    form->addRow(QStringLiteral("Remote Control Over OSC"), _oscRemoteCheckBox);
    _oscPortSpinBox = new QSpinBox(this);
    _oscPortSpinBox->setRange(1, 65535);
    _oscPortSpinBox->setToolTip(QStringLiteral("The UDP port the OSC remote listens on."));
    form->addRow(QStringLiteral("OSC Port"), _oscPortSpinBox);
    _oscBindAddressEdit = new QLineEdit(this);
    _oscBindAddressEdit->setToolTip(
        QStringLiteral("127.0.0.1: this computer only; 0.0.0.0: every network it is on."));
    form->addRow(QStringLiteral("OSC Listening Address"), _oscBindAddressEdit);
}

void GeneralOptionsPrefsWidget::setUIValuesFromPrefs()
{
    _loadMostRecentCheckBox->setChecked(
        getBoolPrefValue(PrefKeys::LoadMostRecentFileAtStart, PrefKeys::LoadMostRecentFileAtStartDefault));
    _initializersOnOpenCheckBox->setChecked(getBoolPrefValue(
        PrefKeys::SendInitializersWhenSetupOpens, PrefKeys::SendInitializersWhenSetupOpensDefault));
    _showVelocitiesCheckBox->setChecked(
        getBoolPrefValue(PrefKeys::KeyboardShowNoteVelocities, PrefKeys::KeyboardShowNoteVelocitiesDefault));
    const int middleC = _middleCNameComboBox->findText(
        getStringPrefValue(PrefKeys::MiddleCName, PrefKeys::MiddleCNameDefault),
        Qt::MatchExactly | Qt::MatchCaseSensitive);
    setIndexOrDefault(_middleCNameComboBox, middleC,
                      _middleCNameComboBox->findText(PrefKeys::MiddleCNameDefault));
    setIndexOrDefault(_activationMethodComboBox,
                      getIntPrefValue(PrefKeys::DefaultMIDIOutputActivationMethod,
                                      PrefKeys::DefaultMIDIOutputActivationMethodDefault),
                      PrefKeys::DefaultMIDIOutputActivationMethodDefault);
    setIndexOrDefault(_activationSpecificityComboBox,
                      getIntPrefValue(PrefKeys::DefaultMIDIOutputActivationSpecificity,
                                      PrefKeys::DefaultMIDIOutputActivationSpecificityDefault),
                      PrefKeys::DefaultMIDIOutputActivationSpecificityDefault);
    _oscRemoteCheckBox->setChecked(getBoolPrefValue(PrefKeys::OscRemoteOn, PrefKeys::OscRemoteOnDefault));
    _oscPortSpinBox->setValue(getIntPrefValue(PrefKeys::OscRemotePort, PrefKeys::OscRemotePortDefault));
    _oscBindAddressEdit->setText(
        getStringPrefValue(PrefKeys::OscRemoteBindAddress, PrefKeys::OscRemoteBindAddressDefault));
}

void GeneralOptionsPrefsWidget::setPrefValuesFromUI() const
{
    setBoolPrefValue(PrefKeys::OscRemoteOn, _oscRemoteCheckBox->isChecked());
    setIntPrefValue(PrefKeys::OscRemotePort, _oscPortSpinBox->value());
    const QString address = _oscBindAddressEdit->text().trimmed();
    setStringPrefValue(PrefKeys::OscRemoteBindAddress,
                       address.isEmpty() ? PrefKeys::OscRemoteBindAddressDefault : address);
    setIntPrefValue(PrefKeys::DefaultMIDIOutputActivationMethod, _activationMethodComboBox->currentIndex());
    setIntPrefValue(PrefKeys::DefaultMIDIOutputActivationSpecificity,
                    _activationSpecificityComboBox->currentIndex());
    setBoolPrefValue(PrefKeys::LoadMostRecentFileAtStart, _loadMostRecentCheckBox->isChecked());
    setBoolPrefValue(PrefKeys::SendInitializersWhenSetupOpens, _initializersOnOpenCheckBox->isChecked());
    setStringPrefValue(PrefKeys::MiddleCName, _middleCNameComboBox->currentText());
    setBoolPrefValue(PrefKeys::KeyboardShowNoteVelocities, _showVelocitiesCheckBox->isChecked());
}
