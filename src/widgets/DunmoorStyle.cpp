#include "widgets/DunmoorStyle.h"

#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>

DunmoorStyle::DunmoorStyle()
    : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))),
      _sliderStyle(QStyleFactory::create(QStringLiteral("Windows")))
{
}

DunmoorStyle::~DunmoorStyle() = default;

void DunmoorStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                 const QWidget* widget) const
{
    if (element == PE_IndicatorCheckBox) {
        _drawCheckBox(option, painter);
        return;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

void DunmoorStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                      QPainter* painter, const QWidget* widget) const
{
    if (control == CC_Slider && _sliderStyle) {
        _sliderStyle->drawComplexControl(control, option, painter, widget);
        return;
    }
    QProxyStyle::drawComplexControl(control, option, painter, widget);
}

QRect DunmoorStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                                   SubControl subControl, const QWidget* widget) const
{
    if (control == CC_Slider && _sliderStyle)
        return _sliderStyle->subControlRect(control, option, subControl, widget);
    return QProxyStyle::subControlRect(control, option, subControl, widget);
}

QStyle::SubControl DunmoorStyle::hitTestComplexControl(ComplexControl control,
                                                       const QStyleOptionComplex* option,
                                                       const QPoint& position, const QWidget* widget) const
{
    if (control == CC_Slider && _sliderStyle)
        return _sliderStyle->hitTestComplexControl(control, option, position, widget);
    return QProxyStyle::hitTestComplexControl(control, option, position, widget);
}

int DunmoorStyle::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const
{
    if (_sliderStyle && _isSliderMetric(metric))
        return _sliderStyle->pixelMetric(metric, option, widget);
    return QProxyStyle::pixelMetric(metric, option, widget);
}

bool DunmoorStyle::_isSliderMetric(PixelMetric metric)
{
    switch (metric) {
    case PM_SliderThickness:
    case PM_SliderControlThickness:
    case PM_SliderLength:
    case PM_SliderTickmarkOffset:
    case PM_SliderSpaceAvailable:
        return true;
    default:
        return false;
    }
}

void DunmoorStyle::_drawCheckBox(const QStyleOption* option, QPainter* painter)
{
    const QPalette& palette = option->palette;
    const QRect r = option->rect;
    const bool hovered = option->state & State_MouseOver;

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);

    // The box: a dark well with a black rim; lighter while the pointer is over it.
    painter->setBrush(hovered ? palette.alternateBase() : palette.base());
    painter->setPen(palette.color(QPalette::Shadow));
    painter->drawRect(r.adjusted(0, 0, -1, -1));

    if (hovered) {
        painter->setBrush(Qt::NoBrush);
        painter->setPen(palette.color(QPalette::Highlight).darker(125));
        painter->drawRect(r.adjusted(1, 1, -2, -2));
        painter->setPen(palette.color(QPalette::Highlight).darker(150));
        painter->drawRect(r.adjusted(2, 2, -3, -3));
    }

    const bool on = option->state & State_On;
    if (on || (option->state & State_NoChange)) {
        // A tick of seven three-pixel strokes; a partial check is drawn dimmer.
        const QColor pen = on ? palette.color(QPalette::WindowText) : palette.color(QPalette::Midlight);
        const QColor brush = on ? palette.color(QPalette::WindowText) : palette.color(QPalette::Mid);
        painter->setPen(pen);
        painter->setBrush(brush);
        painter->translate(r.topLeft());
        static constexpr int strokes[7][2] = {{3, 5}, {4, 6}, {5, 7}, {6, 6}, {7, 5}, {8, 4}, {9, 3}};
        for (const auto& stroke : strokes)
            painter->drawLine(stroke[0], stroke[1], stroke[0], stroke[1] + 2);
    }
    painter->restore();
}
