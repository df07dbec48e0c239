#include "widgets/DropShadowLabel.h"

#include "widgets/DropShadowText.h"

#include <QPainter>

DropShadowLabel::DropShadowLabel(QWidget* parent) : DropShadowLabel(QString(), parent) {}

DropShadowLabel::DropShadowLabel(const QString& text, QWidget* parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setText(text);
}

QSize DropShadowLabel::sizeHint() const
{
    // Room for the shadow: one pixel right, two down.
    return QLabel::sizeHint() + QSize(1, 2);
}

void DropShadowLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paintDropShadowText(this, painter, text());
}
