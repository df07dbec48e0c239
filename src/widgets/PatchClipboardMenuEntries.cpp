#include "widgets/PatchClipboardMenuEntries.h"

#include "model/edits/ModelEdits.h"

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
                            ModelEdits::insert<MIDIPatchTarget>(
                                QStringLiteral("Duplicate"), outputPtr.data(), [outputPtr, patchPtr] {
                                    return outputPtr->duplicateMIDIPatchTarget(patchPtr);
                                });
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
                            ModelEdits::paste<MIDIPatchTarget>(
                                outputPtr.data(), createMIDIPatchTargetListFromClipboard(outputPtr));
                        });
    } else if (doesClipboardHaveMIDIPatchTarget()) {
        const QString clipName = MIDIObjectPanel::menuText(getClipboardMIDIPatchTargetName());
        menu->addAction(QIcon(QStringLiteral(":/icons/generic_add_16x16.png")),
                        QStringLiteral("Add Patch '") + clipName + QLatin1Char('\''), menu, [outputPtr] {
                            if (!outputPtr)
                                return;
                            if (MIDIPatchTarget* added = createMIDIPatchTargetFromClipboard(outputPtr))
                                ModelEdits::paste<MIDIPatchTarget>(outputPtr.data(), {added});
                        });
        menu->addAction(QIcon(QStringLiteral(":/icons/replace_16x16.png")),
                        QStringLiteral("Replace Patch '") + name + QStringLiteral("' with '") + clipName +
                            QLatin1Char('\''),
                        menu, [patchPtr, outputPtr] {
                            // A removal too: after the menu has closed. One step: undo brings the old patch
                            // back.
                            QTimer::singleShot(0, outputPtr, [patchPtr, outputPtr] {
                                if (!patchPtr || !outputPtr || !outputPtr->hasMIDIPatchTarget(patchPtr))
                                    return;
                                MIDIPatchTarget* replacement = createMIDIPatchTargetFromClipboard(outputPtr);
                                if (!replacement)
                                    return;
                                MIDIOutput* output = outputPtr;
                                const int index = output->getIndexOfMIDIPatchTarget(patchPtr);
                                auto* step = new QUndoCommand(
                                    QStringLiteral("Replace ") + ModelEdits::describeObject(patchPtr) +
                                    QStringLiteral(" with \"") + replacement->getName() + QLatin1Char('"'));
                                PatchListCommand::insert(
                                    QStringLiteral("Paste"), output,
                                    [output, replacement, index] {
                                        output->addMIDIPatchTarget(replacement);
                                        output->moveMIDIPatchTargetToIndex(replacement, index);
                                        return replacement;
                                    },
                                    step);
                                PatchListCommand::remove(patchPtr, step);
                                EditStack::push(output, step);
                            });
                        });
    }
}
