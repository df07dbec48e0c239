#pragma once

#include <QPointer>
#include <QWidget>

class MIDIPatchInitializer;
class NoteNameCombo;
class QHBoxLayout;
class QLabel;

/// The editor of a "Note Off" initializer: the note to turn off (byte1). GUI thread only.
class NoteOffInitializerEditorWidget : public QWidget
{
    Q_OBJECT

public:
    NoteOffInitializerEditorWidget(MIDIPatchInitializer* initializer, QWidget* parent);

    NoteNameCombo* getNoteCombo() const { return _noteCombo; }

private slots:
    void _noteActivatedSLOT(int note);

private:
    QPointer<MIDIPatchInitializer> _initializer;
    QHBoxLayout* _layout = nullptr;
    QLabel* _label = nullptr;
    NoteNameCombo* _noteCombo = nullptr;
};
