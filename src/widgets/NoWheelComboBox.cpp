#include "widgets/NoWheelComboBox.h"

#include <QWheelEvent>

NoWheelComboBox::NoWheelComboBox(QWidget* parent) : QComboBox(parent)
{
    // Without wheel focus a turn of the wheel over the box does not take the focus either.
    setFocusPolicy(Qt::StrongFocus);
}

void NoWheelComboBox::wheelEvent(QWheelEvent* event)
{
    event->ignore();
}
