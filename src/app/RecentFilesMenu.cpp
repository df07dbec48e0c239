#include "app/RecentFilesMenu.h"

#include "app/RecentFileAction.h"
#include "persistence/RecentFilesTracker.h"

#include <QIcon>
#include <QPointer>

RecentFilesMenu::RecentFilesMenu(QWidget* parent) : QMenu(QStringLiteral("Open Recent"), parent)
{
    setIcon(QIcon(QStringLiteral(":/icons/open_16x16.png")));
    connect(RecentFilesTracker::GetInstance(), &RecentFilesTracker::recentFileListChanged, this,
            &RecentFilesMenu::_rebuildSLOT);
    // Files come and go while the program runs: the warning marks are brought up to date each
    // time the menu opens.
    connect(this, &QMenu::aboutToShow, this, &RecentFilesMenu::_rebuildSLOT);
    _rebuildSLOT();
}

void RecentFilesMenu::_rebuildSLOT()
{
    // Opening the chosen file changes the list while that entry's triggered signal runs (and the
    // opening runs events meanwhile): the entries are rebuilt once it has returned, not deleted
    // under it.
    if (_triggersRunning > 0) {
        _rebuildPending = true;
        return;
    }
    // Deletes the entries the menu owns.
    clear();
    const QStringList files = RecentFilesTracker::GetInstance()->getRecentFileList();
    for (const QString& file : files) {
        auto* action = new RecentFileAction(file, this);
        connect(action, &QAction::triggered, this, &RecentFilesMenu::_actionTriggeredSLOT);
        addAction(action);
    }
    setEnabled(!files.isEmpty());
}

void RecentFilesMenu::_actionTriggeredSLOT()
{
    auto* action = qobject_cast<RecentFileAction*>(sender());
    if (!action)
        return;
    QPointer<RecentFilesMenu> self(this);
    ++_triggersRunning;
    emit recentFileSelected(action->getFilePath());
    if (!self)
        return;
    if (--_triggersRunning == 0 && _rebuildPending) {
        _rebuildPending = false;
        QMetaObject::invokeMethod(this, &RecentFilesMenu::_rebuildSLOT, Qt::QueuedConnection);
    }
}
