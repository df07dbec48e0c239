#include "app/PrefsDialog.h"

#include "app/ColorLabelPrefsWidget.h"
#include "app/GeneralOptionsPrefsWidget.h"
#include "app/MIDIPortPrefsTreeWidget.h"
#include "midi/MIDIPortInfo.h"
#include "persistence/AppPrefs.h"
#include "persistence/PrefKeys.h"

#include <QDialogButtonBox>
#include <QMessageBox>
#include <QPushButton>
#include <QSet>
#include <QTabWidget>
#include <QVBoxLayout>

bool _areAnyValuesEmpty(const QStringList& values)
{
    for (const QString& value : values) {
        if (value.trimmed().isEmpty())
            return true;
    }
    return false;
}

bool _areValuesUnique(const QStringList& values)
{
    return QSet<QString>(values.begin(), values.end()).size() == values.size();
}

PrefsDialog::PrefsDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Quorvell Preferences"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/settings_16x16.png")));
    _buildUI();
    _setUIValuesFromPrefs();
    _setActiveTabFromPrefValue();
    _makeConnections();
}

void PrefsDialog::_buildUI()
{
    auto* layout = new QVBoxLayout(this);
    _tabWidget = new QTabWidget(this);
    layout->addWidget(_tabWidget, 1);

    _inputTree = new MIDIInputPortPrefsTreeWidget(this);
    _outputTree = new MIDIOutputPortPrefsTreeWidget(this);
    _colorLabels = new ColorLabelPrefsWidget(this);
    _options = new GeneralOptionsPrefsWidget(this);
    _addTabWithName(_inputTree, QStringLiteral("MIDI Inputs"),
                    QIcon(QStringLiteral(":/icons/midi_input_12x12.png")));
    _addTabWithName(_outputTree, QStringLiteral("MIDI Outputs"),
                    QIcon(QStringLiteral(":/icons/midi_output_12x12.png")));
    _addTabWithName(_colorLabels, QStringLiteral("Color Labels"),
                    QIcon(QStringLiteral(":/icons/labels_16x16.png")));
    _addTabWithName(_options, QStringLiteral("Options"), QIcon(QStringLiteral(":/icons/settings_16x16.png")));

    _buttonBox = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(_buttonBox);
}

void PrefsDialog::_addTabWithName(QWidget* tab, const QString& title, const QIcon& icon)
{
    _tabIndexesByTitle.insert(title, _tabWidget->addTab(tab, icon, title));
}

void PrefsDialog::_makeConnections()
{
    connect(_colorLabels->defaultsButton(), &QPushButton::clicked, this,
            &PrefsDialog::_defaultColorsClickedSLOT);
    connect(_buttonBox, &QDialogButtonBox::accepted, this, &PrefsDialog::accept);
    connect(_buttonBox, &QDialogButtonBox::rejected, this, &PrefsDialog::reject);
}

void PrefsDialog::_defaultColorsClickedSLOT()
{
    _colorLabels->setToDefaults();
}

void PrefsDialog::_setUIValuesFromPrefs()
{
    _options->setUIValuesFromPrefs();
}

void PrefsDialog::_setActiveTabFromPrefValue()
{
    if (!hasPrefValueFor(PrefKeys::PreferencesDialogActiveTabName))
        return;
    const QString title = getStringPrefValue(PrefKeys::PreferencesDialogActiveTabName, QString());
    if (_tabIndexesByTitle.contains(title))
        _tabWidget->setCurrentIndex(_tabIndexesByTitle.value(title));
}

void PrefsDialog::_setPrefValueForActiveTab()
{
    setStringPrefValue(PrefKeys::PreferencesDialogActiveTabName,
                       _tabWidget->tabText(_tabWidget->currentIndex()));
}

bool PrefsDialog::_arePortUsageSelectionsAcceptable(bool showMessage)
{
    const int inputs = _inputTree->topLevelItemCount();
    const int outputs = _outputTree->topLevelItemCount();
    const bool acceptable = !(inputs > 0 && _inputTree->getPortsToNotUse().size() == inputs) &&
                            !(outputs > 0 && _outputTree->getPortsToNotUse().size() == outputs);
    if (!acceptable && showMessage) {
        QMessageBox::critical(
            this, QStringLiteral("Insufficient Port Usage"),
            QStringLiteral("At least one MIDI input and output port must be selected for use."));
    }
    return acceptable;
}

bool PrefsDialog::_arePortAliasesAcceptable(bool showMessage)
{
    const QStringList inputNames = _inputTree->getDisplayNames();
    const QStringList outputNames = _outputTree->getDisplayNames();
    const bool acceptable = _areValuesUnique(inputNames) && _areValuesUnique(outputNames) &&
                            !_areAnyValuesEmpty(inputNames) && !_areAnyValuesEmpty(outputNames);
    if (!acceptable && showMessage) {
        QMessageBox::critical(
            this, QStringLiteral("Port Display Name Error"),
            QStringLiteral("MIDI input and output port display names must be unique cannot be "
                           "empty."));
    }
    return acceptable;
}

void PrefsDialog::_setPrefValuesFromUI()
{
    MIDIPortInfo* info = MIDIPortInfo::GetInstance();
    const QStringList inputsToNotUse = _inputTree->getPortsToNotUse();
    const QMap<QString, QString> inputAliases = _inputTree->getPortAliases();
    for (auto it = inputAliases.cbegin(); it != inputAliases.cend(); ++it) {
        info->setInputPortAlias(it.key(), it.value());
        info->setUseInputPort(it.key(), !inputsToNotUse.contains(it.key()));
    }
    const QStringList outputsToNotUse = _outputTree->getPortsToNotUse();
    const QMap<QString, QString> outputAliases = _outputTree->getPortAliases();
    for (auto it = outputAliases.cbegin(); it != outputAliases.cend(); ++it) {
        info->setOutputPortAlias(it.key(), it.value());
        info->setUseOutputPort(it.key(), !outputsToNotUse.contains(it.key()));
    }
    // Written now rather than only at exit, so a crash later in the evening loses nothing.
    info->updateAliasesInPrefs();
    info->updatePortUseInPrefs();

    _colorLabels->applyToLabels();
    _options->setPrefValuesFromUI();
}

void PrefsDialog::accept()
{
    if (!_arePortUsageSelectionsAcceptable(true))
        return;
    if (!_arePortAliasesAcceptable(true))
        return;
    _setPrefValuesFromUI();
    _setPrefValueForActiveTab();
    QDialog::accept();
}

void PrefsDialog::reject()
{
    _setPrefValueForActiveTab();
    QDialog::reject();
}
