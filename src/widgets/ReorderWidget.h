#pragma once

#include <QList>
#include <QPixmap>
#include <QPoint>
#include <QPointer>
#include <QWidget>

class QBoxLayout;
class QLabel;
class QLayoutItem;

/// A row or column of widgets that the user reorders by dragging one with the left button. A
/// drag starts once the pointer has moved the platform's start-drag distance from the press, so a
/// click never reorders anything. While dragging, a picture of the widget follows the pointer and
/// a highlight-coloured bar marks where it will land. In reorder mode 1 the box moves the widget
/// itself; in mode 0 it only asks through reorderRequested() and the listener (a view following
/// its model) calls moveWidgetToIndex() when the model has moved. Escape during a drag drops it
/// and leaves everything where it was. GUI thread only.
class ReorderWidget : public QWidget
{
    Q_OBJECT

public:
    /// A stretch factor of -1 puts a zero-sized spacer at that end instead of a stretch.
    ReorderWidget(Qt::Orientation orientation, int leadingStretch, int trailingStretch,
                  QWidget* parent = nullptr);
    ~ReorderWidget() override;

    void addWidget(QWidget* widget);
    /// Outside 0..count-1 the index means the end. A widget already in the box is left alone.
    void insertWidget(QWidget* widget, int index);
    /// Hides and takes out the widget; unparent says whether it loses this box as its parent.
    void removeWidget(QWidget* widget, bool unparent);

    int getNumWidgets() const { return int(_widgets.size()); }
    QWidget* getWidgetAtIndex(int index) const;
    int getWidgetIndex(QWidget* widget) const;
    bool hasWidget(QWidget* widget) const;
    bool isDropIndicatorWidget(QWidget* widget) const;
    bool isDropIndicatorAtIndex(int index) const;
    bool isReorderInProgress() const { return _reorderInProgress; }

    int getReorderMode() const { return _reorderMode; }
    /// 1: the box moves the dragged widget; 0: it only requests the move. Other values are ignored.
    void setReorderMode(int mode);
    Qt::Orientation getOrientation() const { return _orientation; }
    int getDropIndicatorThickness() const { return _dropIndicatorThickness; }
    void setDropIndicatorThickness(int thickness);
    int getSpacing() const;
    void setSpacing(int spacing);
    void getContentsMargins(int* left, int* top, int* right, int* bottom) const;
    void setContentsMargins(int left, int top, int right, int bottom);

public slots:
    /// Takes out every widget and deletes each later.
    void clear();
    void moveWidgetToIndex(QWidget* widget, int index);
    void moveWidgetToIndex(int widgetIndex, int index);

signals:
    void widgetListChanged();
    void widgetAdded(QWidget* widAdded);
    void reorderRequested(QWidget* widgetToReorder, int newPosition);
    void widgetMovedToIndex(QWidget* widgetReordered, int newPosition);
    void widgetMovedToIndex(int oldPosition, int newPosition);
    void draggingToPoint(QPoint position);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void _managedWidgetDestroyedSLOT(QObject* object);

private:
    QWidget* _managedWidgetAt(const QPoint& point) const;
    int _alongAxis(const QPoint& point) const;
    int _dropIndex(const QPoint& point) const;
    void _startReorder();
    void _followPointer();
    void _finishReorder();
    void _cancelReorder();
    void _endDragLook();
    void _forgetArmedWidget();

    int _reorderMode = 1;
    Qt::Orientation _orientation;
    QPointer<QWidget> _draggingWidget; // armed by a press, cleared on release and on removal
    QPoint _pressPoint{-1, -1};
    int _grabOffset = -1;
    QPoint _currentPoint;
    bool _reorderInProgress = false;
    QPixmap _dragPixmap;
    QPointer<QLabel> _dragLabel;
    QLabel* _dropIndicator = nullptr;
    int _dropIndicatorThickness = 7;
    QBoxLayout* _layout = nullptr;
    QLayoutItem* _leadingItem = nullptr;
    QLayoutItem* _trailingItem = nullptr;
    QList<QWidget*> _widgets;
    QList<int> _centerLines;
};
