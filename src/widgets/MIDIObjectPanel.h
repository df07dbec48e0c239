#pragma once

#include <QFrame>
#include <QPointer>

class ColorLabeledMIDIObject;
class MIDIObjNameLabel;
class QMenu;

/// What the input, output and patch panels share: the colour label strip and its menu, the
/// context menu opened by the mouse or the keyboard, keyboard use (focus, Enter activates, F2
/// renames, Delete removes), presses on child controls that still activate the panel, accessible
/// names built from each control's tool tip and the object's name, and removals that run after
/// the menu has closed and ask first when they remove more than one object.
/// GUI thread only.
class MIDIObjectPanel : public QFrame
{
    Q_OBJECT

public:
    MIDIObjectPanel(ColorLabeledMIDIObject* object, QWidget* parent);
    ~MIDIObjectPanel() override;

    /// Opens the context menu as a request at `pos` (panel coordinates) would; returns once it closed.
    void openContextMenuAt(const QPoint& pos);

    /// Asks for the removal the Delete key or the "Remove" entry asks for, after a zero-delay
    /// timer: `alsoFollowing` takes the siblings after this object too (after a confirmation
    /// when that is more than one object).
    void requestRemoval(bool alsoFollowing);

signals:
    /// Emitted when a removal asked for more than one object and the user agreed or declined;
    /// for tests and the status bar.
    void bulkRemovalAnswered(bool confirmed);

protected:
    /// Makes the object the active one of its list (inputs and outputs); patches do nothing.
    virtual void activatePanel() = 0;
    /// Whether a press on this child control activates the panel (by default every one does).
    virtual bool activatesOnPressOf(QObject* child) const
    {
        Q_UNUSED(child);
        return true;
    }
    /// The entries of the context menu (the colour submenu comes from addColorLabelMenu()).
    virtual void fillContextMenu(QMenu* menu) = 0;
    /// How many objects a removal would take (0: removal not offered).
    virtual int numObjectsRemovedBy(bool alsoFollowing) const = 0;
    /// Removes through the model (which ends the notes they hold).
    virtual void removeObjects(bool alsoFollowing) = 0;
    /// "input", "output" or "patch".
    virtual QString objectKindName() const = 0;

    ColorLabeledMIDIObject* panelObject() const;
    void setNameLabel(MIDIObjNameLabel* label) { _nameLabel = label; }
    /// Adds the "Set Color Label" submenu acting on this object (and its siblings by modifiers).
    void addColorLabelMenu(QMenu* menu);
    /// Watches presses on every child control (call after building) and names them for
    /// assistive technology.
    void finishBuilding();
    void refreshAccessibleNames();

    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void _colorLabelChangedSLOT();
    void _registryColorChangedSLOT(int index);

private:
    bool _isOwnControl(const QWidget* child) const;
    void _openColorMenuAt(const QPoint& globalPos);
    void _removeNow(bool alsoFollowing);

    QPointer<ColorLabeledMIDIObject> _object;
    MIDIObjNameLabel* _nameLabel = nullptr;
};
