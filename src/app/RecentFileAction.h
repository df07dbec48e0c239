#pragma once

#include <QAction>

/// One entry of the recent-files menu: shows the file name (with "&" doubled so it is not taken
/// for a mnemonic) and holds the full path. A missing file gets the warning icon and says so in
/// its status tip. GUI thread only.
class RecentFileAction : public QAction
{
    Q_OBJECT

public:
    RecentFileAction(const QString& filePath, QObject* parent);

    QString getFilePath() const { return _filePath; }
    bool fileExists() const { return _exists; }

private:
    QString _filePath;
    bool _exists = false;
};
