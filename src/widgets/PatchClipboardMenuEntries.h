#pragma once

class MIDIPatchTarget;
class QMenu;
class QString;

/// The copy, duplicate, paste and replace entries of a patch panel's context menu. Each entry
/// holds guarded pointers and does nothing once its patch or output is gone. GUI thread only.
class PatchClipboardMenuEntries
{
public:
    /// `menuName` is the patch's name already escaped for a menu.
    static void addTo(QMenu* menu, MIDIPatchTarget* patch, const QString& menuName);
};
