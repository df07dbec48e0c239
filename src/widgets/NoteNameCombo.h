#pragma once

#include "widgets/NoWheelComboBox.h"

/// A choice of note, 0 to 127, by name ("C4"), 21 pixels high like the menu buttons. Follows the
/// "MiddleCName" preference, keeping the chosen note. GUI thread only.
class NoteNameCombo : public NoWheelComboBox
{
    Q_OBJECT

public:
    explicit NoteNameCombo(QWidget* parent);

private slots:
    void _prefValueChangedSLOT(const QString& prefKey);

private:
    void _setNames();
};
