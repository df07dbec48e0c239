#include "app/RerouteDialog.h"

#include "midi/MIDIPortInfo.h"
#include "widgets/MIDIPortChannelUsageMole.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kInput = QStringLiteral("Input");
const QString kOutput = QStringLiteral("Output");
const QString kAnyAll = QStringLiteral("Any/All");
const QString kSame = QStringLiteral("(same)");

QLabel* plainLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}

} // namespace

RerouteDialog::RerouteDialog(bool inputSelected, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Reroute MIDI Port/Channel"));
    _buildUI(inputSelected);
    setFixedHeight(sizeHint().height());
    _makeConnections();
    _updateOkEnablednessSLOT();
}

void RerouteDialog::_buildUI(bool inputSelected)
{
    auto* layout = new QVBoxLayout(this);

    auto* kindRow = new QHBoxLayout();
    _kindComboBox = new QComboBox(this);
    _kindComboBox->addItems({kInput, kOutput});
    _kindComboBox->setCurrentIndex(inputSelected ? 0 : 1);
    _kindComboBox->setToolTip(QStringLiteral("Reroute the ports of inputs or of patches."));
    _kindComboBox->setWhatsThis(QStringLiteral("<b>Reroute input or output.</b>  Choose whether the inputs' "
                                               "ports or the patches' output ports are rerouted."));
    kindRow->addWidget(plainLabel(QStringLiteral("Reroute"), this), 0, Qt::AlignVCenter);
    kindRow->addWidget(_kindComboBox, 0, Qt::AlignVCenter);
    kindRow->addStretch();
    layout->addLayout(kindRow);

    _lookForPortComboBox = new QComboBox(this);
    _lookForPortComboBox->setMinimumWidth(200);
    _lookForPortComboBox->setToolTip(QStringLiteral("The port to look for (only ports the setup uses)."));
    _lookForPortComboBox->setWhatsThis(
        QStringLiteral("<b>Port to look for.</b>  Every use of this port in the "
                       "setup is moved to the port below."));
    _replaceWithPortComboBox = new QComboBox(this);
    _replaceWithPortComboBox->setMinimumWidth(200);
    _replaceWithPortComboBox->setToolTip(QStringLiteral("The port to use instead."));
    _replaceWithPortComboBox->setWhatsThis(
        QStringLiteral("<b>Replacement port.</b>  The port that takes over the uses of the port above."));
    _sourceChannelComboBox = new QComboBox(this);
    _sourceChannelComboBox->setToolTip(QStringLiteral("Look for this channel only, or any channel."));
    _targetChannelComboBox = new QComboBox(this);
    _targetChannelComboBox->setToolTip(QStringLiteral("Move to this channel, or keep each channel."));
    _buildChannelComboBoxes();

    auto* lookForRow = new QHBoxLayout();
    _toLabel = plainLabel(QStringLiteral("To"), this);
    _toLabel->setFixedWidth(_toLabel->sizeHint().width());
    lookForRow->addWidget(plainLabel(QStringLiteral("Port"), this), 0, Qt::AlignVCenter);
    lookForRow->addWidget(_lookForPortComboBox, 1, Qt::AlignVCenter);
    lookForRow->addWidget(plainLabel(QStringLiteral("Channel"), this), 0, Qt::AlignVCenter);
    lookForRow->addWidget(_sourceChannelComboBox, 0, Qt::AlignVCenter);
    lookForRow->addWidget(_toLabel, 0, Qt::AlignVCenter);
    layout->addLayout(lookForRow);

    auto* replaceRow = new QHBoxLayout();
    auto* spacerLabel = new QLabel(this);
    spacerLabel->setFixedWidth(_toLabel->sizeHint().width());
    replaceRow->addWidget(plainLabel(QStringLiteral("Port"), this), 0, Qt::AlignVCenter);
    replaceRow->addWidget(_replaceWithPortComboBox, 1, Qt::AlignVCenter);
    replaceRow->addWidget(plainLabel(QStringLiteral("Channel"), this), 0, Qt::AlignVCenter);
    replaceRow->addWidget(_targetChannelComboBox, 0, Qt::AlignVCenter);
    replaceRow->addWidget(spacerLabel, 0, Qt::AlignVCenter);
    layout->addLayout(replaceRow);

    _buttonBox = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(_buttonBox);

    _buildLookForAndReplaceWithComboBoxes();
}

void RerouteDialog::_buildChannelComboBoxes()
{
    _sourceChannelComboBox->addItem(kAnyAll);
    _targetChannelComboBox->addItem(kSame);
    for (int channel = 1; channel <= 16; ++channel) {
        _sourceChannelComboBox->addItem(QString::number(channel));
        _targetChannelComboBox->addItem(QString::number(channel));
    }
}

void RerouteDialog::_getPortNamesAndAliases(QStringList* names, QStringList* aliases, bool inUseOnly) const
{
    names->clear();
    aliases->clear();
    MIDIPortInfo* info = MIDIPortInfo::GetInstance();
    const bool input = isInputSelected();
    const QStringList portNames = input ? info->getInputPortNames() : info->getOutputPortNames();
    const MIDIPortChannelUsageMole usage(input ? MIDIPortType::Input : MIDIPortType::Output);
    for (const QString& name : portNames) {
        if (!(input ? info->shouldInputPortBeUsed(name) : info->shouldOutputPortBeUsed(name)))
            continue;
        if (inUseOnly && !usage.isPortBeingUsed(name))
            continue;
        names->append(name);
        aliases->append(input ? info->getInputPortAlias(name) : info->getOutputPortAlias(name));
    }
}

void RerouteDialog::_buildLookForAndReplaceWithComboBoxes()
{
    _lookForPortComboBox->clear();
    QStringList names;
    QStringList aliases;
    _getPortNamesAndAliases(&names, &aliases, true);
    for (int i = 0; i < names.size(); ++i)
        _lookForPortComboBox->addItem(aliases.at(i).isEmpty() ? names.at(i) : aliases.at(i), names.at(i));
    _buildReplaceWithComboBox();
}

void RerouteDialog::_buildReplaceWithComboBox()
{
    _replaceWithPortComboBox->clear();
    QStringList names;
    QStringList aliases;
    _getPortNamesAndAliases(&names, &aliases, false);
    const QString lookFor = getLookForPortName();
    const bool anyChannel = !isSpecificSourceChannelSelected();
    for (int i = 0; i < names.size(); ++i) {
        if (anyChannel && names.at(i) == lookFor)
            continue;
        _replaceWithPortComboBox->addItem(aliases.at(i).isEmpty() ? names.at(i) : aliases.at(i), names.at(i));
    }
    if (_replaceWithPortComboBox->count() == 0) {
        if (_lookForPortComboBox->currentIndex() >= 0)
            _replaceWithPortComboBox->addItem(_lookForPortComboBox->currentText(), lookFor);
    } else {
        _replaceWithPortComboBox->setCurrentIndex(_replaceWithPortComboBox->count() - 1);
    }
    _updateOkEnablednessSLOT();
}

void RerouteDialog::_makeConnections()
{
    // Qt 6 combo boxes announce a chosen text through textActivated.
    connect(_kindComboBox, &QComboBox::textActivated, this, &RerouteDialog::_inputOrOutputActivatedSLOT);
    connect(_lookForPortComboBox, &QComboBox::textActivated, this, &RerouteDialog::_lookForPortActivatedSLOT);
    connect(_sourceChannelComboBox, &QComboBox::activated, this, &RerouteDialog::_sourceChannelActivatedSLOT);
    for (QComboBox* combo :
         {_lookForPortComboBox, _sourceChannelComboBox, _replaceWithPortComboBox, _targetChannelComboBox})
        connect(combo, &QComboBox::currentIndexChanged, this, &RerouteDialog::_updateOkEnablednessSLOT);
    connect(_buttonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(_buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void RerouteDialog::_inputOrOutputActivatedSLOT(const QString&)
{
    _buildLookForAndReplaceWithComboBoxes();
}

void RerouteDialog::_lookForPortActivatedSLOT(const QString&)
{
    _buildReplaceWithComboBox();
}

void RerouteDialog::_sourceChannelActivatedSLOT(int)
{
    _targetChannelComboBox->setCurrentIndex(0);
    _buildReplaceWithComboBox();
}

bool RerouteDialog::isChoiceAcceptable() const
{
    const QString lookFor = getLookForPortName();
    const QString replaceWith = getReplaceWithPortName();
    if (lookFor.isEmpty() || replaceWith.isEmpty())
        return false;
    if (replaceWith != lookFor)
        return true;
    // Same port: only a move to another channel changes anything.
    const int targetChannel = getReplaceWithChannelIndex();
    return targetChannel != -1 && targetChannel != getLookForChannelIndex();
}

void RerouteDialog::_updateOkEnablednessSLOT()
{
    if (!_buttonBox)
        return;
    QPushButton* ok = _buttonBox->button(QDialogButtonBox::Ok);
    const bool acceptable = isChoiceAcceptable();
    ok->setEnabled(acceptable);
    if (acceptable)
        ok->setToolTip(QString());
    else if (getLookForPortName().isEmpty())
        ok->setToolTip(
            QStringLiteral("The setup uses no port of this kind, so there is nothing to reroute."));
    else
        ok->setToolTip(QStringLiteral("This would change nothing: choose another port or channel."));
}

bool RerouteDialog::isInputSelected() const
{
    return _kindComboBox->currentText() == kInput;
}

bool RerouteDialog::isOutputSelected() const
{
    return _kindComboBox->currentText() == kOutput;
}

QString RerouteDialog::getLookForPortName() const
{
    return _lookForPortComboBox->currentData(Qt::UserRole).toString();
}

QString RerouteDialog::getReplaceWithPortName() const
{
    return _replaceWithPortComboBox->currentData(Qt::UserRole).toString();
}

bool RerouteDialog::isSpecificSourceChannelSelected() const
{
    return _sourceChannelComboBox->currentText() != kAnyAll;
}

int RerouteDialog::getLookForChannelIndex() const
{
    return isSpecificSourceChannelSelected() ? _sourceChannelComboBox->currentIndex() - 1 : -1;
}

bool RerouteDialog::isSpecificTargetChannelSelected() const
{
    return _targetChannelComboBox->currentText() != kSame;
}

int RerouteDialog::getReplaceWithChannelIndex() const
{
    return isSpecificTargetChannelSelected() ? _targetChannelComboBox->currentIndex() - 1 : -1;
}
