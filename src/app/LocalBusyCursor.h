#pragma once

#include <QApplication>

/// Shows Qt::BusyCursor for as long as the guard lives. GUI thread only.
class LocalBusyCursor
{
public:
    LocalBusyCursor() { QApplication::setOverrideCursor(Qt::BusyCursor); }
    ~LocalBusyCursor() { QApplication::restoreOverrideCursor(); }
    LocalBusyCursor(const LocalBusyCursor&) = delete;
    LocalBusyCursor& operator=(const LocalBusyCursor&) = delete;
};
