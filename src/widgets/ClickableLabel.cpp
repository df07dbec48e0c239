#include "widgets/ClickableLabel.h"

#include <QMouseEvent>

ClickableLabel::ClickableLabel(QWidget* parent) : QLabel(parent) {}

ClickableLabel::ClickableLabel(const QString& text, QWidget* parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setText(text);
}

void ClickableLabel::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    if (event->modifiers() == Qt::ShiftModifier)
        emit shiftClicked();
    else
        emit clicked();
}
