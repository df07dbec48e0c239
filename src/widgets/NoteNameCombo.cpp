#include "widgets/NoteNameCombo.h"

#include "model/MIDIMessage.h"

NoteNameCombo::NoteNameCombo(QWidget* parent) : NoWheelComboBox(parent)
{
    for (int note = 0; note < 128; ++note)
        addItem(QString::fromLatin1(getMIDINoteName(BYTE(note))));
    setFixedHeight(21);
}
