#include "app/RecentFilesMenu.h"

#include "app/RecentFileAction.h"
#include "persistence/RecentFilesTracker.h"

#include <QIcon>

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
    if (auto* action = qobject_cast<RecentFileAction*>(sender()))
        emit recentFileSelected(action->getFilePath());
}
