#include "widgets/ArrowKeyPressSignalingScrollArea.h"

#include <QKeyEvent>

ArrowKeyPressSignalingScrollArea::ArrowKeyPressSignalingScrollArea(QWidget* parent) : QScrollArea(parent)
{
    setFocusPolicy(Qt::StrongFocus);
}

void ArrowKeyPressSignalingScrollArea::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Up:
        emit upArrowKeyPressed();
        break;
    case Qt::Key_Down:
        emit downArrowKeyPressed();
        break;
    case Qt::Key_Left:
        emit leftArrowKeyPressed();
        break;
    case Qt::Key_Right:
        emit rightArrowKeyPressed();
        break;
    default:
        QScrollArea::keyPressEvent(event);
        return;
    }
    event->accept();
}
