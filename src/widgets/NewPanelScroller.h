#pragma once

#include <QObject>
#include <QPointer>

class QScrollArea;
class QWidget;

/// Brings a panel just added to a column into view once the column's layout has given it its
/// place and height. The panel may be gone by then (a removal, a new setup). GUI thread only.
class NewPanelScroller : public QObject
{
    Q_OBJECT

public:
    explicit NewPanelScroller(QObject* parent);

    void scrollIntoViewLater(QWidget* panel, QScrollArea* area);

    static constexpr int kVisibleMargin = 50;
};
