#pragma once

#include "midi/MIDITypes.h"
#include "widgets/MIDIObjectPanel.h"

class ActivityIndicator;
class MIDIObjNameLabel;
class MIDIPortChannelSelector;
class MIDIRoute;
class NoWheelComboBox;
class QLabel;
class VisibilityToggler;

/// One input of the setup in the input column: its name and activity lamp and, unless folded,
/// its port and channel and how it switches its outputs. A press makes it the active input; the
/// port selector's modifiers retarget several inputs at once (Alt: all inputs to the port;
/// Control: every input on this one's old port moves; Control+Alt: the port for this input and
/// those after it with ascending channels). GUI thread only.
class MIDIRouteInputWidget : public MIDIObjectPanel
{
    Q_OBJECT

public:
    MIDIRouteInputWidget(MIDIRoute* route, QWidget* parent);

    MIDIRoute* getMIDIRoute() const;

    // For tests and the stack.
    MIDIPortChannelSelector* getPortChannelSelector() const { return _selector; }
    NoWheelComboBox* getActivationMethodCombo() const { return _methodCombo; }
    NoWheelComboBox* getActivationSpecificityCombo() const { return _specificityCombo; }
    VisibilityToggler* getVisibilityToggler() const { return _toggler; }
    ActivityIndicator* getActivityIndicator() const { return _activity; }

public slots:
    void showInnards(bool show);

signals:
    void showAllInnardsRequested(bool show);

protected:
    void activatePanel() override;
    void fillContextMenu(QMenu* menu) override;
    int numObjectsRemovedBy(bool alsoFollowing) const override;
    void removeObjects(bool alsoFollowing) override;
    QString objectKindName() const override { return QStringLiteral("input"); }

    void mousePressEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private slots:
    void _setWidgetValuesFromData();
    void _activeChangedToSLOT(bool active);
    void _portAndChannelChosenSLOT(QString portName, BYTE channel, Qt::KeyboardModifiers modifiers);
    void _methodActivatedSLOT(int index);
    void _specificityActivatedSLOT(int index);

private:
    void _buildUI();
    void _makeConnections();

    QPointer<MIDIRoute> _route;
    VisibilityToggler* _toggler = nullptr;
    MIDIObjNameLabel* _nameLabel = nullptr;
    ActivityIndicator* _activity = nullptr;
    QLabel* _portIcon = nullptr;
    MIDIPortChannelSelector* _selector = nullptr;
    QLabel* _activationIcon = nullptr;
    NoWheelComboBox* _methodCombo = nullptr;
    NoWheelComboBox* _specificityCombo = nullptr;
    bool _hovered = false;
};
