#include "widgets/ActivityIndicator.h"

#include <QPainter>
#include <QTimer>

ActivityIndicator::ActivityIndicator(QWidget* parent) : QFrame(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    setMidLineWidth(0);
    _onColor = palette().color(QPalette::Highlight);
    _offColor = palette().color(QPalette::Window);
}

void ActivityIndicator::blink()
{
    _setOn(true);
    QTimer::singleShot(100, this, [this] { _setOn(false); });
}

void ActivityIndicator::_setOn(bool on)
{
    _on = on;
    update();
}

void ActivityIndicator::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.fillRect(_innerRect, _on ? _onColor : _offColor);
}

void ActivityIndicator::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    const int inset = lineWidth();
    _innerRect = rect().adjusted(inset, inset, -inset, -inset);
}
