#pragma once

#include "editors/InitializerValueEditorWidget.h"
#include "model/MIDIMessage.h"

#include <QPointer>

class MIDIPatchTarget;
class NoteNameCombo;
class QLabel;

/// The editor of a "Note On" initializer: the note (byte1) and its velocity (byte2). Every edit is
/// heard at once when the patch is active; the note the previous edit sounded is ended first, and
/// the last one when the editor closes, so editing never leaves notes sounding. GUI thread only.
class NoteOnInitializerEditorWidget : public InitializerValueEditorWidget
{
    Q_OBJECT

public:
    NoteOnInitializerEditorWidget(MIDIPatchInitializer* initializer, QWidget* parent);
    ~NoteOnInitializerEditorWidget() override;

    NoteNameCombo* getNoteCombo() const { return _noteCombo; }

private slots:
    void _noteActivatedSLOT(int note);
    void _velocityEditingFinishedSLOT();

private:
    void _commitByte2(BYTE value) override;
    /// Ends the note the previous edit sounded, if any.
    void _endSoundingNote();
    /// Remembers the note the edit just made sound.
    void _noteSounded();

    QLabel* _sendLabel = nullptr;
    NoteNameCombo* _noteCombo = nullptr;
    QLabel* _velocityLabel = nullptr;
    int _soundingNote = -1;
    // The patch that sounded the note: it ends it even when the initializer has been removed.
    QPointer<MIDIPatchTarget> _soundingPatch;
    midiMessage_t _noteOff;
};
