#pragma once

#include <QPointer>
#include <QWidget>

class MIDIDataTransform;
class NoteNameCombo;
class QHBoxLayout;
class QLabel;

/// The editor of a "Converge On Note" transform: the note every note becomes (byte1).
/// GUI thread only.
class ConvergeOnNoteEditorWidget : public QWidget
{
    Q_OBJECT

public:
    ConvergeOnNoteEditorWidget(MIDIDataTransform* transform, QWidget* parent);

    NoteNameCombo* getNoteCombo() const { return _noteCombo; }

private slots:
    void _noteActivatedSLOT(int note);

private:
    QPointer<MIDIDataTransform> _transform;
    QHBoxLayout* _layout = nullptr;
    QLabel* _label = nullptr;
    NoteNameCombo* _noteCombo = nullptr;
};
