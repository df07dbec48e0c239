#pragma once

#include <QApplication>

/// Shows Qt::WaitCursor for as long as the guard lives. GUI thread only.
class LocalWaitCursor
{
public:
    LocalWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~LocalWaitCursor() { QApplication::restoreOverrideCursor(); }
    LocalWaitCursor(const LocalWaitCursor&) = delete;
    LocalWaitCursor& operator=(const LocalWaitCursor&) = delete;
};
