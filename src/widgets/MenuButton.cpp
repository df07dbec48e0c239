#include "widgets/MenuButton.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPointer>

MenuButton::MenuButton(QWidget* parent) : MenuButton(QString(), parent) {}

MenuButton::MenuButton(const QString& text, QWidget* parent) : QPushButton(text, parent)
{
    setDefault(false);
    setAutoDefault(false);
}

void MenuButton::mousePressEvent(QMouseEvent* event)
{
    QPushButton::mousePressEvent(event);
    // The listener runs the menu's own event loop, in which this button's panel (and the button)
    // may be deleted: everything needed afterwards is taken now, and nothing of this is used
    // unless it is still there.
    QPointer<MenuButton> self(this);
    auto* release = new QMouseEvent(QEvent::MouseButtonRelease, event->position(), event->scenePosition(),
                                    event->globalPosition(), event->button(), event->buttons(),
                                    event->modifiers(), event->pointingDevice());
    emit menuRequested();
    if (!self) {
        delete release;
        return;
    }
    // The matching release went to the menu: let the button up again.
    QCoreApplication::postEvent(this, release);
}
