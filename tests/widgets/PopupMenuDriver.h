#pragma once

// Choosing entries of popup menus the way a player does: the menu is found once it is up (the code
// under test sits in the menu's own event loop), each submenu is opened by clicking its title, and
// the last entry is clicked with the modifier keys held.

#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QMenu>
#include <QPointer>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <memory>

namespace PopupMenuDriver {

inline QString plainText(QString text)
{
    return text.replace(QStringLiteral("&&"), QStringLiteral("\x01"))
        .remove(QLatin1Char('&'))
        .replace(QLatin1Char('\x01'), QLatin1Char('&'));
}

inline QAction* actionTitled(QMenu* menu, const QString& text)
{
    for (QAction* action : menu->actions()) {
        if (plainText(action->text()) == text)
            return action;
    }
    return nullptr;
}

/// What happened to a choice: the texts of the top menu's entries, and whether it was made.
struct Choice
{
    QStringList topEntries;
    bool chosen = false;
    bool menuSeen = false;
};

/// Waits for the next popup menu and clicks through `path` (submenu titles, then the entry) with
/// `modifiers` on the last click. An empty path closes the menu with Escape after noting its
/// entries. Keep the result alive until the menu has been handled.
inline std::shared_ptr<Choice> choose(const QStringList& path,
                                      Qt::KeyboardModifiers modifiers = Qt::NoModifier, int timeoutMs = 10000)
{
    auto result = std::make_shared<Choice>();
    auto* timer = new QTimer(qApp);
    timer->setInterval(20);
    const QDeadlineTimer deadline(timeoutMs);
    auto step = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, timer, [=] {
        if (deadline.hasExpired()) {
            timer->stop();
            timer->deleteLater();
            if (auto* open = qobject_cast<QMenu*>(QApplication::activePopupWidget()))
                open->close();
            return;
        }
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu || !menu->isVisible())
            return;
        if (*step == 0) {
            result->menuSeen = true;
            for (QAction* action : menu->actions()) {
                if (!action->isSeparator())
                    result->topEntries << plainText(action->text());
            }
        }
        if (path.isEmpty()) {
            timer->stop();
            timer->deleteLater();
            QTest::keyClick(menu, Qt::Key_Escape);
            return;
        }
        QAction* action = actionTitled(menu, path.at(*step));
        if (!action) {
            // Not this menu (yet): a submenu still opening, or the entry is missing.
            if (*step > 0)
                return;
            timer->stop();
            timer->deleteLater();
            menu->close();
            return;
        }
        const bool last = *step == path.size() - 1;
        const QPoint where = menu->actionGeometry(action).center();
        if (!last) {
            if (action->menu() && action->menu()->isVisible())
                return;
            QTest::mouseMove(menu, where);
            QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, where);
            if (action->menu())
                ++*step;
            return;
        }
        timer->stop();
        timer->deleteLater();
        result->chosen = true;
        QTest::mouseClick(menu, Qt::LeftButton, modifiers, where);
    });
    timer->start();
    return result;
}

} // namespace PopupMenuDriver
