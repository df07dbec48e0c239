#include "editors/TransformDialogManager.h"

#include "editors/MIDIDataTransformEditorDialog.h"
#include "editors/ModelObjectWatch.h"
#include "editors/WindowPlacement.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/transforms/MIDIDataTransform.h"

#include <QCoreApplication>

TransformDialogManager* TransformDialogManager::_instance = nullptr;

TransformDialogManager* TransformDialogManager::GetInstance()
{
    if (_instance == nullptr) {
        _instance = new TransformDialogManager();
        // However the program ends, no editor outlives the event loop.
        if (QCoreApplication::instance() != nullptr)
            connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, _instance,
                    &TransformDialogManager::closeAllTransformEditors);
    }
    return _instance;
}

void TransformDialogManager::setMainWindow(QWidget* mainWindow)
{
    _mainWindow = mainWindow;
}

bool TransformDialogManager::hasEditorForTransform(MIDIDataTransform* mdt) const
{
    return _dialogs.contains(mdt);
}

MIDIDataTransformEditorDialog* TransformDialogManager::getEditorForTransform(MIDIDataTransform* mdt) const
{
    return _dialogs.value(mdt, nullptr);
}

void TransformDialogManager::editMIDIDataTransform(MIDIDataTransform* mdt)
{
    if (mdt == nullptr)
        return;
    if (MIDIDataTransformEditorDialog* open = _dialogs.value(mdt, nullptr)) {
        open->raise();
        open->activateWindow();
        return;
    }
    auto* dialog = new MIDIDataTransformEditorDialog(mdt, _mainWindow);
    dialog->setFixedSize(dialog->sizeHint());
    _dialogs.insert(mdt, dialog);
    connect(mdt, &QObject::destroyed, this, &TransformDialogManager::_mdtDestroyedSLOT);
    connect(dialog, &MIDIDataTransformEditorDialog::dialogClosed, this,
            &TransformDialogManager::_dialogClosedSLOT);
    connect(dialog, &MIDIDataTransformEditorDialog::closeAllRequested, this,
            &TransformDialogManager::closeAllTransformEditors);
    // Removal of the transform, its patch, output or input closes the editor before anything
    // is deleted.
    auto* watch = new ModelObjectWatch(mdt, dialog);
    connect(watch, &ModelObjectWatch::objectGoing, this, [this, mdt] { _closeDialogFor(mdt, false); });
    _placeOnScreen(dialog, mdt);
    dialog->show();
    dialog->raise();
}

void TransformDialogManager::_placeOnScreen(MIDIDataTransformEditorDialog* dialog, MIDIDataTransform* mdt)
{
    if (!mdt->hasEditorPosition())
        return;
    const QPoint stored = mdt->getEditorPosition();
    const QPoint onScreen = clampedWindowPosition(stored, dialog->frameSize().expandedTo(dialog->size()));
    dialog->move(onScreen);
    // Placing the editor is not a move by the user: keep the stored position as it was.
    mdt->setEditorPosition(stored);
}

void TransformDialogManager::closeAllTransformEditors()
{
    const QList<MIDIDataTransform*> transforms = _dialogs.keys();
    for (MIDIDataTransform* mdt : transforms)
        _closeDialogFor(mdt, true);
}

void TransformDialogManager::_mdtDestroyedSLOT(QObject* mdt)
{
    _closeDialogFor(static_cast<MIDIDataTransform*>(mdt), false);
}

void TransformDialogManager::_dialogClosedSLOT(MIDIDataTransform* transformObj)
{
    _closeDialogFor(transformObj, true);
}

void TransformDialogManager::_closeDialogFor(MIDIDataTransform* mdt, bool storePosition)
{
    MIDIDataTransformEditorDialog* dialog = _dialogs.take(mdt);
    if (dialog == nullptr)
        return;
    disconnect(mdt, &QObject::destroyed, this, &TransformDialogManager::_mdtDestroyedSLOT);
    disconnect(dialog, nullptr, this, nullptr);
    if (storePosition && dialog->getMIDIDataTransform() && dialog->isVisible())
        mdt->setEditorPosition(dialog->pos());
    dialog->forgetTransform();
    dialog->hide();
    dialog->setParent(nullptr);
    dialog->deleteLater();
}

void editMIDIDataTransform(MIDIDataTransform* mdt)
{
    TransformDialogManager::GetInstance()->editMIDIDataTransform(mdt);
}

void editAllMIDIDataTransforms(MIDIPatchTarget* patch)
{
    if (patch == nullptr)
        return;
    for (int i = 0; i < patch->getNumMIDIDataTransforms(); ++i)
        editMIDIDataTransform(patch->getMIDIDataTransformAtIndex(i));
}

void editMIDIThisAndRemainingDataTransforms(MIDIPatchTarget* patch, MIDIDataTransform* mdt)
{
    if (patch == nullptr)
        return;
    const int first = patch->getIndexOfMIDIDataTransform(mdt);
    if (first < 0)
        return;
    for (int i = first; i < patch->getNumMIDIDataTransforms(); ++i)
        editMIDIDataTransform(patch->getMIDIDataTransformAtIndex(i));
}
