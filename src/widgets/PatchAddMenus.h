#pragma once

class QMenu;

/// The menus behind a patch's add-initializer and add-transform "+" buttons: one entry per
/// registered type (transforms grouped by category), each holding the type's name as its data
/// and showing the type's description in the status bar while hovered. GUI thread only.
class PatchAddMenus
{
public:
    /// A new menu without a parent; the caller deletes it.
    static QMenu* createInitializerMenu(int minimumWidth);
    static QMenu* createTransformMenu(int minimumWidth);
};
