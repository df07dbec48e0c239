#pragma once

#include <QProxyStyle>
#include <memory>

/// The application style: "Fusion" with two drawing operations of its own. Sliders (CC_Slider)
/// are drawn, laid out and hit-tested by the plain "Windows" style, whose flat groove and square
/// handle read better on the dark palette; the check box indicator is drawn by drawCheckBox()
/// below. Everything else is Fusion's. GUI thread only.
class DunmoorStyle : public QProxyStyle
{
    Q_OBJECT

public:
    DunmoorStyle();
    ~DunmoorStyle() override;

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget = nullptr) const override;

    // Slider geometry comes from the style that draws sliders, so that the handle the user sees
    // is the handle the user grabs.
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl subControl,
                         const QWidget* widget = nullptr) const override;
    SubControl hitTestComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                     const QPoint& position, const QWidget* widget = nullptr) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;

private:
    static void _drawCheckBox(const QStyleOption* option, QPainter* painter);
    static bool _isSliderMetric(PixelMetric metric);

    std::unique_ptr<QStyle> _sliderStyle; // "Windows", or none when this Qt lacks it
};
