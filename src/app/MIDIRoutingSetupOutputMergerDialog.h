#pragma once

#include <QDialog>
#include <QList>
#include <QPointer>

class MIDIRoute;
class MIDIRoutingSetupOutputMerger;
class QComboBox;
class QDialogButtonBox;
class QShowEvent;

/// Asks which input's outputs give patches, which input's outputs take them and how outputs are
/// matched, then runs the merge through the merger it was given (not owned). OK stays disabled
/// while source and target are the same input, which would only double every patch. The dialog
/// stays open on a merge that matches nothing, so the user can change the choices. GUI thread only.
class MIDIRoutingSetupOutputMergerDialog : public QDialog
{
    Q_OBJECT

public:
    MIDIRoutingSetupOutputMergerDialog(MIDIRoutingSetupOutputMerger* merger, QWidget* parent);

    QComboBox* sourceRouteComboBox() const { return _sourceComboBox; }
    QComboBox* targetRouteComboBox() const { return _targetComboBox; }
    QComboBox* matchModeComboBox() const { return _matchModeComboBox; }
    QDialogButtonBox* buttonBox() const { return _buttonBox; }

protected:
    void showEvent(QShowEvent* event) override;

private slots:
    void _okClickedSLOT();
    void _routeChoiceChangedSLOT();

private:
    void _buildUI();
    void _initFromMerger();
    void _makeConnections();
    MIDIRoute* _routeAt(int index) const;

    MIDIRoutingSetupOutputMerger* _merger;
    QList<QPointer<MIDIRoute>> _routes;
    QComboBox* _sourceComboBox = nullptr;
    QComboBox* _targetComboBox = nullptr;
    QComboBox* _matchModeComboBox = nullptr;
    QDialogButtonBox* _buttonBox = nullptr;
};
