#pragma once

#include <QMap>
#include <QPoint>
#include <QRect>
#include <QWidget>
#include <optional>

class QPixmap;

/// The bare drawing surface of a value map: one thin vertical bar per input value whose height is
/// the output value. The left button draws freehand (Alt + left or the middle button draws a
/// straight ramp), the wheel nudges one value (with Shift every value). Every change the user makes
/// is announced with valueChanged; setValueAt announces too, so the owner keeps its model in step.
/// GUI thread only.
class ValueMappingWidget : public QWidget
{
    Q_OBJECT

public:
    ValueMappingWidget(int minValue, int maxValue, QWidget* parent);
    ~ValueMappingWidget() override;

    /// The value at the index, or -1 outside the range.
    int getValueAt(int index) const;
    /// Ignored outside the range; the value is clamped to the range. When it differs from the
    /// stored one it is stored, the widget repaints and valueChanged is emitted.
    void setValueAt(int index, int value);
    void adjustValueAt(int index, int delta);
    void adjustAllValuesBy(int delta);
    /// Draws the column in the highlight colour (-1 for none).
    void highlightValue(int index);
    int getHighlightedIndex() const { return _highlightedIndex; }
    int getMinValue() const { return _minValue; }
    int getMaxValue() const { return _maxValue; }

    /// The index and value under a point of the widget, or nothing outside the graph.
    std::optional<QPoint> indexAndValueAt(const QPoint& point) const;

signals:
    void valueChanged(int index, int newValue);
    void mouseHoveredOverValue(int x, int y);
    void mouseEntered();
    void mouseExited();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    /// Ends a stroke or ramp whose mouse release never came (another window took the grab, the
    /// window lost focus or was hidden): nothing more is drawn until the next press; a ramp not
    /// yet released is dropped.
    void _endStrokeWithoutRelease();
    void _freehandStepTo(int index, int value);
    void _applyRamp(const QPoint& from, const QPoint& to);
    void _makeBackground();

    QPixmap* _background = nullptr;
    int _minValue;
    int _maxValue;
    bool _buttonDown = false;
    bool _drawingRamp = false;
    int _highlightedIndex = -1;
    QMap<int, QRect> _columnRects;
    QMap<int, int> _values;
    QPoint _rampStart;
    QPoint _rampEnd;
    QPoint _lastDrawnPoint;
    bool _hasLastDrawnPoint = false;
};
