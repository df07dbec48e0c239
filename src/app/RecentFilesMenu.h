#pragma once

#include <QMenu>

/// The "Open Recent" submenu: one entry per file of the recent-file list, most recent first,
/// rebuilt whenever the list changes. Disabled while the list is empty. GUI thread only.
class RecentFilesMenu : public QMenu
{
    Q_OBJECT

public:
    explicit RecentFilesMenu(QWidget* parent = nullptr);

signals:
    void recentFileSelected(const QString& filePath);

private slots:
    void _rebuildSLOT();
    void _actionTriggeredSLOT();

private:
    int _triggersRunning = 0;
    bool _rebuildPending = false;
};
