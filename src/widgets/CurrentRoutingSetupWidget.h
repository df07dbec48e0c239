#pragma once

#include "model/ModelSignalPump.h"

#include <QPointer>
#include <QWidget>

class ArrowKeyPressSignalingScrollArea;
class ClickableLabel;
class CurrentRouteKeyboardWidget;
class DropShadowLabel;
class MIDIOutput;
class MIDIOutputStackWidget;
class MIDIRoute;
class MIDIRouteInputStackWidget;
class MIDIRoutingSetup;
class NewPanelScroller;
class QLabel;
class QPushButton;
class SetupArrowKeyNavigator;
class ShrinkableDropShadowLabel;

/// The main window's central view: the column of inputs, the column of the active input's outputs
/// with their patches, and the on-screen keyboard below. It follows the setup manager and the
/// model, keeps new and newly activated panels in view, walks inputs and outputs with the arrow
/// keys, and hands setup files dropped on it to the window. GUI thread only.
class CurrentRoutingSetupWidget : public QWidget
{
    Q_OBJECT

public:
    explicit CurrentRoutingSetupWidget(QWidget* parent);
    ~CurrentRoutingSetupWidget() override;

    bool isKeyboardVisible() const { return _keyboardVisible; }
    int getKeyboardXScrollAmount() const;

    // For tests and the window.
    MIDIRouteInputStackWidget* getInputStack() const;
    MIDIOutputStackWidget* getOutputStack() const;
    ArrowKeyPressSignalingScrollArea* getInputScrollArea() const { return _inputScrollArea; }
    ArrowKeyPressSignalingScrollArea* getOutputScrollArea() const { return _outputScrollArea; }
    QPushButton* getAddInputButton() const { return _addInputButton; }
    QPushButton* getAddOutputButton() const { return _addOutputButton; }
    QString getOutputHeadingText() const;
    QString getOutputPlaceholderText() const;
    CurrentRouteKeyboardWidget* getKeyboardWidget() const { return _keyboard; }
    ClickableLabel* getKeyboardToggleLabel() const { return _keyboardToggle; }

public slots:
    void toggleKeyboardVisibility();
    void setKeyboardVisible(bool vis);
    void setKeyboardXScrollAmount(int scrollX);

signals:
    void keyboardVisibilityChangedTo(bool visible);
    void setupFileOpenRequested(QString setupFilePath);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private slots:
    void _currentSetupSwitchedToSLOT();
    void _currentSetupClearedSLOT();
    void _activeRouteChangedToSLOT(MIDIRoute* route);
    void _activeRouteNameChangedToSLOT(const QString& name);
    void _activeOutputChangedToSLOT(MIDIOutput* output);
    void _addInputClickedSLOT();
    void _addOutputClickedSLOT();
    void _inputWidgetAddedSLOT(QWidget* widget);
    void _outputWidgetAddedSLOT(QWidget* widget);
    void _patchWidgetAddedSLOT(QWidget* widget);
    void _inputDraggingToPointSLOT(QPoint position);
    void _outputDraggingToPointSLOT(QPoint position);

private:
    void _buildUI();
    void _makeConnections();
    void _buildFromCurrentSetup();
    void _clearColumns();
    void _clearOutputSide();
    void _showOutputsOf(MIDIRoute* route);
    void _disconnectActiveRoute();

    QPointer<MIDIRoutingSetup> _setup;
    QPointer<MIDIRoute> _activeRoute;
    QPointer<MIDIRouteInputStackWidget> _inputStack;
    QPointer<MIDIOutputStackWidget> _outputStack;
    QLabel* _inputPlaceholder = nullptr;
    QLabel* _outputPlaceholder = nullptr;
    QPushButton* _addInputButton = nullptr;
    QPushButton* _addOutputButton = nullptr;
    DropShadowLabel* _inputHeading = nullptr;
    ShrinkableDropShadowLabel* _outputHeading = nullptr;
    ArrowKeyPressSignalingScrollArea* _inputScrollArea = nullptr;
    ArrowKeyPressSignalingScrollArea* _outputScrollArea = nullptr;
    ClickableLabel* _keyboardToggle = nullptr;
    CurrentRouteKeyboardWidget* _keyboard = nullptr;
    bool _keyboardVisible = true;
    NewPanelScroller* _scroller = nullptr;
    SetupArrowKeyNavigator* _navigator = nullptr;
    // Keeps the model's activity signals flowing for as long as the view exists.
    ModelSignalPump::Hold _pumpHold;
};
