#include "editors/ValueMapMenu.h"

#include "model/edits/ModelEdits.h"
#include "model/transforms/MIDIDataTransform.h"
#include "model/transforms/ValueMapClipboard.h"

#include <QIcon>
#include <QMenu>
#include <QPointer>

void doContextMenuForTransformAtGlobalPos(MIDIDataTransform* transform, const QPoint& globalPos,
                                          QWidget* parent)
{
    if (transform == nullptr)
        return;
    QPointer<QMenu> menu = new QMenu(parent);
    // Each entry is connected to the transform itself, so a transform deleted while the menu
    // runs takes its connections with it and nothing writes through a dangling pointer.
    // Every entry but Copy changes the map: one undo step each.
    auto addEntry = [&](const char* icon, const char* text, void (MIDIDataTransform::*operation)()) {
        QAction* action = menu->addAction(QIcon(QString::fromLatin1(icon)), QString::fromLatin1(text));
        const bool edits = operation != &MIDIDataTransform::copyValueMapToClipboard;
        const QString what = QString::fromLatin1(text) + QStringLiteral(" Map");
        QObject::connect(action, &QAction::triggered, transform, [transform, operation, edits, what] {
            if (edits)
                ModelEdits::act(transform, operation, what);
            else
                (transform->*operation)();
        });
        return action;
    };
    addEntry(":/icons/default_map_16x16.png", "Set To Default", &MIDIDataTransform::setMappingToDefault);
    menu->addSeparator();
    addEntry(":/icons/sine_ramp_16x16.png", "Sine Ramp Up", &MIDIDataTransform::setMappingToSineRampUp);
    menu->addSeparator();
    addEntry(":/icons/reverse_16x16.png", "Reverse", &MIDIDataTransform::reverseMapping);
    addEntry(":/icons/invert_16x16.png", "Invert", &MIDIDataTransform::invertMapping);
    menu->addSeparator();
    addEntry(":/icons/ceiling_16x16.png", "Ceiling", &MIDIDataTransform::setAllMappingValuesToMax);
    addEntry(":/icons/floor_16x16.png", "Floor", &MIDIDataTransform::setAllMappingValuesToMin);
    menu->addSeparator();
    addEntry(":/icons/copy_16x16.png", "Copy", &MIDIDataTransform::copyValueMapToClipboard);
    QAction* paste =
        addEntry(":/icons/paste_16x16.png", "Paste", &MIDIDataTransform::pasteValueMapFromClipboard);
    paste->setEnabled(doesClipboardHaveValueMap());
    menu->exec(globalPos);
    delete menu.data();
}
