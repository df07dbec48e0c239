#pragma once

#include <QDialog>
#include <QIcon>
#include <QMap>
#include <QString>
#include <QStringList>

class ColorLabelPrefsWidget;
class GeneralOptionsPrefsWidget;
class MIDIInputPortPrefsTreeWidget;
class MIDIOutputPortPrefsTreeWidget;
class QDialogButtonBox;
class QTabWidget;

/// The preferences: use flags and display names of the MIDI ports, the color labels and the
/// general options. Nothing changes until OK; OK refuses (and keeps the dialog open with the edits)
/// when no input or no output port would be used, or when display names are blank or repeated
/// within one direction. Accepted port settings are written to the preferences at once. The tab
/// last shown is remembered. GUI thread only.
class PrefsDialog : public QDialog
{
    Q_OBJECT

public:
    explicit PrefsDialog(QWidget* parent);

    QTabWidget* tabWidget() const { return _tabWidget; }
    MIDIInputPortPrefsTreeWidget* inputPortTree() const { return _inputTree; }
    MIDIOutputPortPrefsTreeWidget* outputPortTree() const { return _outputTree; }
    ColorLabelPrefsWidget* colorLabelsTab() const { return _colorLabels; }
    GeneralOptionsPrefsWidget* optionsTab() const { return _options; }
    QDialogButtonBox* buttonBox() const { return _buttonBox; }

public slots:
    void accept() override;
    void reject() override;

private slots:
    void _defaultColorsClickedSLOT();

private:
    void _buildUI();
    void _addTabWithName(QWidget* tab, const QString& title, const QIcon& icon);
    void _setUIValuesFromPrefs();
    void _setPrefValuesFromUI();
    void _setActiveTabFromPrefValue();
    void _setPrefValueForActiveTab();
    bool _arePortUsageSelectionsAcceptable(bool showMessage);
    bool _arePortAliasesAcceptable(bool showMessage);
    void _makeConnections();

    QTabWidget* _tabWidget = nullptr;
    QMap<QString, int> _tabIndexesByTitle;
    MIDIInputPortPrefsTreeWidget* _inputTree = nullptr;
    MIDIOutputPortPrefsTreeWidget* _outputTree = nullptr;
    ColorLabelPrefsWidget* _colorLabels = nullptr;
    GeneralOptionsPrefsWidget* _options = nullptr;
    QDialogButtonBox* _buttonBox = nullptr;
};

/// True when some value is empty or only blanks.
bool _areAnyValuesEmpty(const QStringList& values);
/// True when every value occurs exactly once (case-sensitive).
bool _areValuesUnique(const QStringList& values);
