#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

class QComboBox;
class QDialogButtonBox;
class QLabel;

/// Collects a port (and channel) to look for and a port (and channel) to put in its place, for the
/// inputs or the outputs of the current setup. Only ports the setup uses can be looked for; only
/// usable ports can replace them. OK stays disabled while there is nothing to look for or the
/// choice would change nothing (same port, same channel). The caller does the rerouting.
/// GUI thread only.
class RerouteDialog : public QDialog
{
    Q_OBJECT

public:
    RerouteDialog(bool inputSelected, QWidget* parent);

    bool isInputSelected() const;
    bool isOutputSelected() const;
    /// The real name of the port looked for, or "" when no port is in use.
    QString getLookForPortName() const;
    /// The real name of the replacement port.
    QString getReplaceWithPortName() const;
    bool isSpecificSourceChannelSelected() const;
    /// 0 to 15, or -1 for "Any/All".
    int getLookForChannelIndex() const;
    bool isSpecificTargetChannelSelected() const;
    /// 0 to 15, or -1 for "(same)".
    int getReplaceWithChannelIndex() const;
    /// True when OK would change something (see the class comment).
    bool isChoiceAcceptable() const;

    QComboBox* kindComboBox() const { return _kindComboBox; }
    QComboBox* lookForPortComboBox() const { return _lookForPortComboBox; }
    QComboBox* sourceChannelComboBox() const { return _sourceChannelComboBox; }
    QComboBox* replaceWithPortComboBox() const { return _replaceWithPortComboBox; }
    QComboBox* targetChannelComboBox() const { return _targetChannelComboBox; }
    QDialogButtonBox* buttonBox() const { return _buttonBox; }

private slots:
    void _inputOrOutputActivatedSLOT(const QString& text);
    void _lookForPortActivatedSLOT(const QString& text);
    void _sourceChannelActivatedSLOT(int index);
    void _updateOkEnablednessSLOT();

private:
    void _buildUI(bool inputSelected);
    void _buildChannelComboBoxes();
    void _buildLookForAndReplaceWithComboBoxes();
    void _buildReplaceWithComboBox();
    void _getPortNamesAndAliases(QStringList* names, QStringList* aliases, bool inUseOnly) const;
    void _makeConnections();

    QComboBox* _kindComboBox = nullptr;
    QComboBox* _lookForPortComboBox = nullptr;
    QComboBox* _sourceChannelComboBox = nullptr;
    QComboBox* _replaceWithPortComboBox = nullptr;
    QComboBox* _targetChannelComboBox = nullptr;
    QLabel* _toLabel = nullptr;
    QDialogButtonBox* _buttonBox = nullptr;
};
