#pragma once

#include "widgets/NoWheelComboBox.h"

/// Stand-in until the value widgets are merged: the 128 note names.
class NoteNameCombo : public NoWheelComboBox
{
    Q_OBJECT

public:
    explicit NoteNameCombo(QWidget* parent = nullptr);
};
