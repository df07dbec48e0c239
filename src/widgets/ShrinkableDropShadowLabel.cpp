#include "widgets/ShrinkableDropShadowLabel.h"

#include "widgets/DropShadowText.h"

#include <QPainter>

ShrinkableDropShadowLabel::ShrinkableDropShadowLabel(QWidget* parent) : ShrinkableLabel(parent) {}

ShrinkableDropShadowLabel::ShrinkableDropShadowLabel(const QString& text, QWidget* parent)
    : ShrinkableLabel(text, parent)
{
}

QSize ShrinkableDropShadowLabel::sizeHint() const
{
    // Room for the shadow: one pixel right, two down.
    return ShrinkableLabel::sizeHint() + QSize(1, 2);
}

void ShrinkableDropShadowLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paintDropShadowText(this, painter, text());
}
