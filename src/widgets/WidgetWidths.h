#pragma once

#include <QList>

class QWidget;

// Lining up buttons and labels in dialogs. GUI thread only.

/// Gives both widgets a fixed width: the larger of their two size-hint widths.
void fixBothWidthsToWiderOf(QWidget* first, QWidget* second);
/// Gives every widget a fixed width: the largest size-hint width among them. Nothing for an empty list.
void fixAllWidthsToWidestOf(const QList<QWidget*>& widgets);
