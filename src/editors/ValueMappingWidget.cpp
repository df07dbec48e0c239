#include "editors/ValueMappingWidget.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QWheelEvent>
#include <cmath>
#include <cstdlib>

// Geometry: every index owns a column 4 pixels wide; going up from the bottom, each pair of pixel
// rows stands for one value. The bottom pixel row belongs to no value.
namespace {
constexpr int kColumnWidth = 4;
constexpr int kRowsPerValue = 2;
} // namespace

ValueMappingWidget::ValueMappingWidget(int minValue, int maxValue, QWidget* parent)
    : QWidget(parent), _minValue(minValue), _maxValue(qMax(minValue, maxValue))
{
    const int count = _maxValue - _minValue + 1;
    setFixedSize(kColumnWidth * count, kRowsPerValue * count);
    setMouseTracking(true);
    for (int i = _minValue; i <= _maxValue; ++i) {
        _columnRects.insert(i, QRect(kColumnWidth * (i - _minValue), 0, kColumnWidth, height()));
        _values.insert(i, i);
    }
}

ValueMappingWidget::~ValueMappingWidget()
{
    delete _background;
}

int ValueMappingWidget::getValueAt(int index) const
{
    return _values.value(index, -1);
}

void ValueMappingWidget::setValueAt(int index, int value)
{
    if (index < _minValue || index > _maxValue)
        return;
    value = qBound(_minValue, value, _maxValue);
    if (_values.value(index) == value)
        return;
    _values[index] = value;
    update();
    emit valueChanged(index, value);
}

void ValueMappingWidget::adjustValueAt(int index, int delta)
{
    if (index < _minValue || index > _maxValue)
        return;
    setValueAt(index, getValueAt(index) + delta);
}

void ValueMappingWidget::adjustAllValuesBy(int delta)
{
    for (int i = _minValue; i <= _maxValue; ++i)
        adjustValueAt(i, delta);
}

void ValueMappingWidget::highlightValue(int index)
{
    _highlightedIndex = index;
    update();
}

std::optional<QPoint> ValueMappingWidget::indexAndValueAt(const QPoint& point) const
{
    const int x = point.x();
    const int y = point.y();
    if (x < 0 || y < 0 || x >= width() || y > height())
        return std::nullopt;
    const int index = _minValue + x / kColumnWidth;
    // Rows h - 3 - 2k and h - 2 - 2k are value minimum + k; the bottom row is no value.
    const int fromBase = height() - 2 - y;
    int value = 0;
    if (fromBase >= 0) {
        const int k = fromBase / kRowsPerValue;
        if (k < _maxValue - _minValue + 1)
            value = _minValue + k;
    }
    return QPoint(index, value);
}

void ValueMappingWidget::_freehandStepTo(int index, int value)
{
    if (_hasLastDrawnPoint) {
        const int x0 = _lastDrawnPoint.x();
        const int y0 = _lastDrawnPoint.y();
        if (std::abs(index - x0) > 1) {
            const int step = index > x0 ? 1 : -1;
            const double slope = double(value - y0) / double(index - x0);
            for (int column = x0, k = 0; column != index; column += step, ++k)
                setValueAt(column, y0 + int(std::trunc(k * step * slope)));
        }
    }
    setValueAt(index, value);
    _lastDrawnPoint = QPoint(index, value);
    _hasLastDrawnPoint = true;
}

void ValueMappingWidget::_applyRamp(const QPoint& from, const QPoint& to)
{
    // A ramp within one pixel column has no slope: only the release point counts.
    if (from.x() == to.x()) {
        if (const auto hit = indexAndValueAt(to))
            setValueAt(hit->x(), hit->y());
        return;
    }
    const double slope = double(to.y() - from.y()) / double(to.x() - from.x());
    const int first = qMin(from.x(), to.x());
    const int last = qMax(from.x(), to.x());
    for (int px = first; px <= last; ++px) {
        const int py = int(std::trunc(0.5 + from.y() + (px - from.x()) * slope));
        if (const auto hit = indexAndValueAt(QPoint(px, py)))
            setValueAt(hit->x(), hit->y());
    }
}

void ValueMappingWidget::mousePressEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    const bool altOnly = event->modifiers() == Qt::AltModifier;
    if (event->button() == Qt::MiddleButton || (event->button() == Qt::LeftButton && altOnly)) {
        _buttonDown = true;
        _drawingRamp = true;
        _rampStart = point;
        _rampEnd = point;
        event->accept();
        return;
    }
    if (event->button() == Qt::LeftButton) {
        _buttonDown = true;
        _rampStart = point;
        _hasLastDrawnPoint = false;
        if (const auto hit = indexAndValueAt(point))
            _freehandStepTo(hit->x(), hit->y());
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

void ValueMappingWidget::mouseMoveEvent(QMouseEvent* event)
{
    // A move with no button held means the release went elsewhere.
    if (_buttonDown && !(event->buttons() & (Qt::LeftButton | Qt::MiddleButton)))
        _endStrokeWithoutRelease();
    const QPoint point = event->position().toPoint();
    const auto hit = indexAndValueAt(point);
    emit mouseHoveredOverValue(hit ? hit->x() : 0, hit ? hit->y() : 0);
    if (_buttonDown && !_drawingRamp && hit)
        _freehandStepTo(hit->x(), hit->y());
    if (_drawingRamp) {
        _rampEnd = point;
        update();
    }
}

void ValueMappingWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (!_buttonDown) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    if (_drawingRamp)
        _applyRamp(_rampStart, event->position().toPoint());
    _buttonDown = false;
    _drawingRamp = false;
    _hasLastDrawnPoint = false;
    update();
}

void ValueMappingWidget::_endStrokeWithoutRelease()
{
    if (!_buttonDown)
        return;
    _buttonDown = false;
    _drawingRamp = false;
    _hasLastDrawnPoint = false;
    update();
}

void ValueMappingWidget::focusOutEvent(QFocusEvent* event)
{
    _endStrokeWithoutRelease();
    QWidget::focusOutEvent(event);
}

void ValueMappingWidget::hideEvent(QHideEvent* event)
{
    _endStrokeWithoutRelease();
    QWidget::hideEvent(event);
}

void ValueMappingWidget::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange && !isActiveWindow())
        _endStrokeWithoutRelease();
    QWidget::changeEvent(event);
}

void ValueMappingWidget::wheelEvent(QWheelEvent* event)
{
    const int steps = (event->angleDelta().y() / 8) / 15;
    if (event->modifiers() & Qt::ShiftModifier) {
        adjustAllValuesBy(steps);
    } else if (const auto hit = indexAndValueAt(event->position().toPoint())) {
        adjustValueAt(hit->x(), steps);
    }
    event->accept();
}

void ValueMappingWidget::enterEvent(QEnterEvent* /*event*/)
{
    emit mouseEntered();
}

void ValueMappingWidget::leaveEvent(QEvent* /*event*/)
{
    emit mouseExited();
}

void ValueMappingWidget::_makeBackground()
{
    _background = new QPixmap(size());
    _background->fill(Qt::transparent);
    QPainter painter(_background);
    const QColor track = palette().color(QPalette::Mid);
    painter.setPen(track);
    painter.setBrush(track);
    for (const QRect& column : std::as_const(_columnRects))
        painter.drawRect(column.adjusted(0, 0, -2, -2));
}

void ValueMappingWidget::paintEvent(QPaintEvent* /*event*/)
{
    if (_background == nullptr)
        _makeBackground();
    QPainter painter(this);
    painter.drawPixmap(0, 0, *_background);
    const int h = height();
    auto barFor = [&](int index) {
        QRect bar = _columnRects.value(index).adjusted(0, 0, -2, -2);
        bar.setTop(h - kRowsPerValue * (_values.value(index) - _minValue) - 2);
        return bar;
    };
    const QColor light = palette().color(QPalette::Light);
    for (auto it = _columnRects.cbegin(); it != _columnRects.cend(); ++it)
        painter.fillRect(barFor(it.key()), light);
    if (_columnRects.contains(_highlightedIndex))
        painter.fillRect(barFor(_highlightedIndex), palette().color(QPalette::Highlight));
    if (_drawingRamp) {
        painter.setPen(palette().color(QPalette::Highlight));
        painter.drawLine(_rampStart, _rampEnd);
    }
}
