#include "widgets/NoteNameCombo.h"

#include "model/MIDIMessage.h"
#include "persistence/AppPrefsChangeNotifier.h"
#include "persistence/PrefKeys.h"

NoteNameCombo::NoteNameCombo(QWidget* parent) : NoWheelComboBox(parent)
{
    for (int note = 0; note < 128; ++note)
        addItem(QString::fromLatin1(getMIDINoteName(BYTE(note))));
    setFixedHeight(21);
    // Connected after the first note name was read, so the name table has followed the
    // preference before this rebuilds.
    connect(AppPrefsChangeNotifier::GetInstance(), &AppPrefsChangeNotifier::prefValueChanged, this,
            &NoteNameCombo::_prefValueChangedSLOT);
}

void NoteNameCombo::_setNames()
{
    // Renaming in place keeps the current index and sends no change of it.
    for (int note = 0; note < count(); ++note)
        setItemText(note, QString::fromLatin1(getMIDINoteName(BYTE(note))));
}

void NoteNameCombo::_prefValueChangedSLOT(const QString& prefKey)
{
    if (prefKey == PrefKeys::MiddleCName)
        _setNames();
}
