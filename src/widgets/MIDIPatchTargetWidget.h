#pragma once

#include "midi/MIDITypes.h"
#include "widgets/MIDIObjectPanel.h"

class ClickableLabel;
class InitializerStripWidget;
class MenuButton;
class MIDIObjNameLabel;
class MIDIPatchTarget;
class MIDIPortChannelSelector;
class QLabel;
class QPushButton;
class TransformStripWidget;
class ValueEntryLineEdit;
class VisibilityToggler;

/// One patch inside an output panel: name and mute button and, unless folded, its port and
/// channel, its delay, and its initializer and transform strips with their add menus. Mute and
/// the port selector take modifiers acting on many patches at once (Shift: the whole output;
/// Alt: this and the later ones; Control: solo, or reroute from the current port).
/// GUI thread only.
class MIDIPatchTargetWidget : public MIDIObjectPanel
{
    Q_OBJECT

public:
    MIDIPatchTargetWidget(MIDIPatchTarget* patch, QWidget* parent);

    MIDIPatchTarget* getMIDIPatchTarget() const;

    // For tests.
    QPushButton* getMuteButton() const { return _muteButton; }
    MIDIPortChannelSelector* getPortChannelSelector() const { return _selector; }
    ClickableLabel* getDelayTypeLabel() const { return _delayTypeLabel; }
    ValueEntryLineEdit* getDelayEdit() const { return _delayEdit; }
    MenuButton* getAddInitializerButton() const { return _addInitializerButton; }
    MenuButton* getAddTransformButton() const { return _addTransformButton; }
    VisibilityToggler* getVisibilityToggler() const { return _toggler; }

    /// The add menus as they would pop up now, without a parent (the caller deletes them).
    QMenu* createAddInitializerMenu();
    QMenu* createAddTransformMenu();
    /// Adds what a chosen entry of those menus names, and opens its editor where it has one.
    void addInitializerNamed(const QString& name);
    void addTransformNamed(const QString& name);

public slots:
    void showInnards(bool show);

signals:
    void showAllInnardsRequested(bool show);
    void heightChanged();

protected:
    void activatePanel() override {}
    void fillContextMenu(QMenu* menu) override;
    int numObjectsRemovedBy(bool alsoFollowing) const override;
    QString removalRefusedText() const override;
    void removeObjects(bool alsoFollowing) override;
    QString objectKindName() const override { return QStringLiteral("patch"); }
    void mousePressEvent(QMouseEvent* event) override;

private slots:
    void _setWidgetValuesFromData();
    void _mutedChangedToSLOT(bool muted);
    void _delayTypeChangedSLOT();
    void _muteClickedSLOT();
    void _delayEditFinishedSLOT();
    void _portAndChannelChosenSLOT(QString portName, BYTE channel, Qt::KeyboardModifiers modifiers);
    void _addInitializerMenuRequestedSLOT();
    void _addTransformMenuRequestedSLOT();

private:
    void _buildUI();
    void _makeConnections();
    void _showDelayError();

    QPointer<MIDIPatchTarget> _patch;
    VisibilityToggler* _toggler = nullptr;
    MIDIObjNameLabel* _nameLabel = nullptr;
    QPushButton* _muteButton = nullptr;
    MIDIPortChannelSelector* _selector = nullptr;
    ClickableLabel* _delayTypeLabel = nullptr;
    ValueEntryLineEdit* _delayEdit = nullptr;
    MenuButton* _addInitializerButton = nullptr;
    MenuButton* _addTransformButton = nullptr;
    InitializerStripWidget* _initializerStrip = nullptr;
    TransformStripWidget* _transformStrip = nullptr;
    QList<QWidget*> _innards;
};
