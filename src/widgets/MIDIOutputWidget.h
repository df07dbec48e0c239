#pragma once

#include "widgets/MIDIObjectPanel.h"

class ActivationLearnButton;
class ActivityIndicator;
class MIDIObjNameLabel;
class MIDIOutput;
class MIDIPatchTargetStackWidget;
class MIDIRoute;
class NoWheelComboBox;
class QLabel;
class QPushButton;
class VisibilityToggler;

/// One output of the active input: its name, whether it is active, the value or range that
/// activates it (note names for keyswitches, numbers for program changes and controllers), a lamp
/// for outgoing data and, unless folded, the add-patch button and its patches. Its height follows
/// its patches. GUI thread only.
class MIDIOutputWidget : public MIDIObjectPanel
{
    Q_OBJECT

public:
    MIDIOutputWidget(MIDIOutput* output, QWidget* parent);

    MIDIOutput* getMIDIOutput() const;

    // For tests and the stack.
    MIDIPatchTargetStackWidget* getPatchStack() const { return _patchStack; }
    QLabel* getActivationStatusLabel() const { return _statusLabel; }
    NoWheelComboBox* getActivationValueCombo() const { return _valueCombo; }
    NoWheelComboBox* getActivationRangeCombo() const { return _rangeCombo; }
    QPushButton* getAddPatchButton() const { return _addPatchButton; }
    ActivationLearnButton* getLearnButton() const { return _learnButton; }
    QLabel* getLearnPromptLabel() const { return _learnPrompt; }
    VisibilityToggler* getVisibilityToggler() const { return _toggler; }

public slots:
    void showInnards(bool show);

signals:
    void showAllInnardsRequested(bool show);
    void patchWidgetAdded(QWidget* widget);
    void patchDraggedTo(QPoint dragPos);

protected:
    void activatePanel() override;
    bool activatesOnPressOf(QObject* child) const override;
    void fillContextMenu(QMenu* menu) override;
    int numObjectsRemovedBy(bool alsoFollowing) const override;
    QString removalRefusedText() const override;
    void removeObjects(bool alsoFollowing) override;
    QString objectKindName() const override { return QStringLiteral("output"); }

    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private slots:
    void _activeChangedToSLOT(bool active);
    void _reloadValueTextsSLOT();
    void _setWidgetValuesFromData();
    void _prefValueChangedSLOT(const QString& key);
    void _recomputeHeightSLOT();
    void _patchDraggingToPointSLOT(QPoint position);
    void _addPatchClickedSLOT();

private:
    void _buildUI();
    void _makeConnections();

    QPointer<MIDIOutput> _output;
    QPointer<MIDIRoute> _route;
    VisibilityToggler* _toggler = nullptr;
    MIDIObjNameLabel* _nameLabel = nullptr;
    QLabel* _statusLabel = nullptr;
    NoWheelComboBox* _valueCombo = nullptr;
    QLabel* _toLabel = nullptr;
    NoWheelComboBox* _rangeCombo = nullptr;
    QLabel* _learnPrompt = nullptr;
    ActivationLearnButton* _learnButton = nullptr;
    ActivityIndicator* _activity = nullptr;
    QPushButton* _addPatchButton = nullptr;
    MIDIPatchTargetStackWidget* _patchStack = nullptr;
};
