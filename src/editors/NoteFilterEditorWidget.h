#pragma once

#include "midi/MIDITypes.h"
#include "widgets/AllNotesKeyboardWidget.h"
#include "widgets/KeyWidget.h"

#include <QPointer>

class MIDIDataTransform;
class NoteFilter;

/// The editor of a "Note Filter" transform: a keyboard whose keys show disabled while their note
/// is filtered out. Clicking a key toggles it; dragging across keys toggles every key passed, each
/// once. The keys played through the filter show pressed. GUI thread only.
class NoteFilterEditorWidget : public AllNotesKeyboardWidget
{
    Q_OBJECT

public:
    NoteFilterEditorWidget(MIDIDataTransform* transform, QWidget* parent);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private slots:
    void _notePressedSLOT(int noteNum, int velocity_notUsed);
    void _mapValueChangedToSLOT(BYTE noteNum, BYTE newValue);
    void _noteOnReceivedSLOT(int noteNum, int velocity);
    void _noteOffReceivedSLOT(int noteNum);

private:
    QPointer<NoteFilter> _transform;
    /// The note toggled last in the current press and drag; -1 before the first.
    int _lastToggledNote = -1;
};
