#pragma once

#include <QApplication>

/// Shows Qt::ArrowCursor for as long as the guard lives. GUI thread only.
class LocalNormalCursor
{
public:
    LocalNormalCursor() { QApplication::setOverrideCursor(Qt::ArrowCursor); }
    ~LocalNormalCursor() { QApplication::restoreOverrideCursor(); }
    LocalNormalCursor(const LocalNormalCursor&) = delete;
    LocalNormalCursor& operator=(const LocalNormalCursor&) = delete;
};
