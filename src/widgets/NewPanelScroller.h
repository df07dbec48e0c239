#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QPointer>

class QScrollArea;
class QWidget;

/// Brings a panel just added to a column into view once the column's layout has given it its
/// place and height: after each resize or move of the panel and each layout request or resize of
/// the column's stack (the panel's own parent layouts grow it in several rounds), the area is
/// scrolled again, for a short while after the addition. The panel may be gone by then (a
/// removal, a new setup). GUI thread only.
class NewPanelScroller : public QObject
{
    Q_OBJECT

public:
    /// The areas must outlive this (the view creates this before its columns).
    explicit NewPanelScroller(QObject* parent);

    void scrollIntoViewLater(QWidget* panel, QScrollArea* area);

    static constexpr int kVisibleMargin = 50;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Pending
    {
        QPointer<QWidget> panel;
        QPointer<QWidget> stack;
        QElapsedTimer since;
        bool scrollQueued = false;
    };

    void _queueScroll(QScrollArea* area);
    void _scrollNow(QScrollArea* area);
    void _forget(QScrollArea* area);

    // The panel waiting in each area; one per area, the latest addition.
    QHash<QScrollArea*, Pending> _pending;
};
