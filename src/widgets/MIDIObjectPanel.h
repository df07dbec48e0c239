#pragma once

#include "app/StatusManager.h"
#include "model/edits/ModelEdits.h"

#include <QFrame>
#include <QPointer>

class ColorLabeledMIDIObject;
class MIDIObjNameLabel;
class QHBoxLayout;
class QMenu;
class QVBoxLayout;
class VisibilityToggler;

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

    /// A user's name as a menu entry shows it: "&" is shown, not taken as a shortcut marker.
    static QString menuText(QString text);

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
    /// What the status bar says when a removal asked for here removes nothing; empty: nothing.
    virtual QString removalRefusedText() const { return QString(); }
    virtual QString objectKindName() const = 0;

    /// What buildTitleRow() made: the panel's column, its first row (already in the column, for
    /// the panel to add its own controls after the name) and the row's first two controls.
    struct TitleRow
    {
        QVBoxLayout* layout = nullptr;
        QHBoxLayout* row = nullptr;
        VisibilityToggler* toggler = nullptr;
        MIDIObjNameLabel* nameLabel = nullptr;
    };

    ColorLabeledMIDIObject* panelObject() const;
    /// Gives the panel its raised frame and window background, a column with the panels' margins
    /// and a first row holding the fold toggle and the object's name in the bold title font (the
    /// label F2 edits). The texts are the ones that differ between the kinds of panel.
    TitleRow buildTitleRow(const QString& togglerWhatsThis, const QString& nameToolTip,
                           const QString& nameWhatsThis);
    /// Adds the "Remove <name>" entry; Alt held as it is chosen also removes the siblings after
    /// this object. `menuName` is already escaped with menuText().
    void addRemoveEntry(QMenu* menu, const QString& menuName);
    /// How many objects a removal takes from a list of `count` siblings where this object stands
    /// at `index` (-1: not in the list): none when the list is shorter than `minimumCount`, else
    /// this one, or with `alsoFollowing` those after it too (the first one removes only itself).
    static int removalCount(int index, int count, bool alsoFollowing, int minimumCount);
    /// Removes `item` (and with `alsoFollowing` those after it) from `list` as one undo step, and
    /// says in the status bar what went and that Ctrl+Z brings it back. The list's own removal
    /// rules apply (`removeOne`/`removeFrom` name them; the command goes through the same ones).
    template <typename List, typename Item>
    static void removeFromList(List* list, Item* item, bool alsoFollowing, void (List::*)(Item*, bool),
                               void (List::*)(Item*, bool))
    {
        if (!list || !item)
            return;
        QString text;
        if (ModelEdits::remove(item, alsoFollowing, &text) > 0)
            postStatusMessage(QStringLiteral("%1. Ctrl+Z restores it.").arg(text), 8000);
    }
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
