#include "widgets/PatchClipboardMenuEntries.h"

#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"
#include "persistence/MIDIObjectClipboard.h"
#include "widgets/MIDIObjectPanel.h"

#include <QMenu>
#include <QPointer>
#include <QTimer>

void PatchClipboardMenuEntries::addTo(QMenu* menu, MIDIPatchTarget* patch, const QString& menuName)
{
    MIDIOutput* output = patch->getParentMIDIOutput();
    if (!output)
        return;
    QPointer<MIDIPatchTarget> patchPtr(patch);
    QPointer<MIDIOutput> outputPtr(output);
    const QString& name = menuName;
    const int numPatches = output->getNumMIDIPatchTargets();

    menu->addAction(QIcon(QStringLiteral(":/icons/copy_16x16.png")), QStringLiteral("Copy ") + name, menu,
                    [patchPtr] {
                        if (patchPtr)
                            putMIDIPatchTargetInClipboard(patchPtr);
                    });
    menu->addAction(QIcon(QStringLiteral(":/icons/duplicate_16x16.png")), QStringLiteral("Duplicate ") + name,
                    menu, [patchPtr, outputPtr] {
                        if (patchPtr && outputPtr && outputPtr->hasMIDIPatchTarget(patchPtr))
                            outputPtr->duplicateMIDIPatchTarget(patchPtr);
                    });
    if (numPatches > 1) {
        menu->addAction(QIcon(QStringLiteral(":/icons/copy_16x16.png")),
                        QStringLiteral("Copy (%1) Patches").arg(numPatches), menu, [outputPtr] {
                            if (outputPtr)
                                putMIDIPatchTargetsInClipboard(outputPtr);
                        });
    }
    if (doesClipboardHaveMIDIPatchTargetList()) {
        menu->addAction(QIcon(QStringLiteral(":/icons/generic_add_16x16.png")),
                        QStringLiteral("Add (%1) Patches").arg(getClipboardMIDIPatchTargetListSize()), menu,
                        [outputPtr] {
                            if (!outputPtr)
                                return;
                            for (MIDIPatchTarget* added : createMIDIPatchTargetListFromClipboard(outputPtr))
                                outputPtr->addMIDIPatchTarget(added);
                        });
    } else if (doesClipboardHaveMIDIPatchTarget()) {
        const QString clipName = MIDIObjectPanel::menuText(getClipboardMIDIPatchTargetName());
        menu->addAction(QIcon(QStringLiteral(":/icons/generic_add_16x16.png")),
                        QStringLiteral("Add Patch '") + clipName + QLatin1Char('\''), menu, [outputPtr] {
                            if (!outputPtr)
                                return;
                            if (MIDIPatchTarget* added = createMIDIPatchTargetFromClipboard(outputPtr))
                                outputPtr->addMIDIPatchTarget(added);
                        });
        menu->addAction(QIcon(QStringLiteral(":/icons/replace_16x16.png")),
                        QStringLiteral("Replace Patch '") + name + QStringLiteral("' with '") + clipName +
                            QLatin1Char('\''),
                        menu, [patchPtr, outputPtr] {
                            // A removal too: after the menu has closed. The output deletes the old patch.
                            QTimer::singleShot(0, outputPtr, [patchPtr, outputPtr] {
                                if (!patchPtr || !outputPtr || !outputPtr->hasMIDIPatchTarget(patchPtr))
                                    return;
                                if (MIDIPatchTarget* replacement =
                                        createMIDIPatchTargetFromClipboard(outputPtr))
                                    outputPtr->replaceMIDIPatchTarget(patchPtr, replacement);
                            });
                        });
    }
}
