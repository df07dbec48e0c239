#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>

class MIDIDataTransform;
class MIDIDataTransformEditorDialog;
class MIDIPatchTarget;
class QWidget;

/// Keeps track of the open transform editors: at most one per transform, placed where the
/// transform's editor was last left (kept on screen), closed when the transform, its patch, its
/// output or its input goes, and all closed on quit. A singleton; GUI thread only.
///
/// The main window calls setMainWindow(this) once it exists, so that the editors become its tool
/// windows, and closeAllTransformEditors() when it closes.
class TransformDialogManager : public QObject
{
    Q_OBJECT

public:
    static TransformDialogManager* GetInstance();

    /// The window whose tool windows the editors are; may be null (the editors are then top-level
    /// tool windows). Editors already open keep their parent.
    void setMainWindow(QWidget* mainWindow);
    QWidget* getMainWindow() const { return _mainWindow; }

    bool hasEditorForTransform(MIDIDataTransform* mdt) const;
    /// The open editor of the transform, or null.
    MIDIDataTransformEditorDialog* getEditorForTransform(MIDIDataTransform* mdt) const;
    int getNumOpenEditors() const { return _dialogs.size(); }

public slots:
    /// Raises the transform's editor, opening it first when there is none.
    void editMIDIDataTransform(MIDIDataTransform* mdt);
    /// Closes every open editor, remembering where each was.
    void closeAllTransformEditors();

private slots:
    void _mdtDestroyedSLOT(QObject* mdt);
    void _dialogClosedSLOT(MIDIDataTransform* transformObj);

private:
    TransformDialogManager() = default;
    /// Takes the dialog out of the books, hides it, detaches it and deletes it later. Runs once
    /// per dialog however it is reached, and never calls back into the dialog's close path.
    void _closeDialogFor(MIDIDataTransform* mdt, bool storePosition);
    void _placeOnScreen(MIDIDataTransformEditorDialog* dialog, MIDIDataTransform* mdt);

    static TransformDialogManager* _instance;
    QHash<MIDIDataTransform*, MIDIDataTransformEditorDialog*> _dialogs;
    QPointer<QWidget> _mainWindow;
};

/// The singleton's editMIDIDataTransform.
void editMIDIDataTransform(MIDIDataTransform* mdt);
/// Opens (or raises) the editor of every transform of the patch, in chain order.
void editAllMIDIDataTransforms(MIDIPatchTarget* patch);
/// Opens (or raises) the editor of the transform and of every transform after it, when the
/// transform belongs to the patch.
void editMIDIThisAndRemainingDataTransforms(MIDIPatchTarget* patch, MIDIDataTransform* mdt);
