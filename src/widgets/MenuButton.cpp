#include "widgets/MenuButton.h"

#include <QCoreApplication>
#include <QMouseEvent>

MenuButton::MenuButton(QWidget* parent) : MenuButton(QString(), parent) {}

MenuButton::MenuButton(const QString& text, QWidget* parent) : QPushButton(text, parent)
{
    setDefault(false);
    setAutoDefault(false);
}

void MenuButton::mousePressEvent(QMouseEvent* event)
{
    QPushButton::mousePressEvent(event);
    emit menuRequested();
    // The matching release goes into the queue, so the button comes up even while the menu a
    // listener opened is running its own event loop.
    QCoreApplication::postEvent(this, new QMouseEvent(QEvent::MouseButtonRelease, event->position(),
                                                      event->scenePosition(), event->globalPosition(),
                                                      event->button(), event->buttons(), event->modifiers(),
                                                      event->pointingDevice()));
}
