#include "widgets/DownArrowLabel.h"

#include "widgets/ArrowPixmapProvider.h"

DownArrowLabel::DownArrowLabel(QWidget* parent) : QLabel(parent)
{
    const QPixmap& arrow = ArrowPixmapProvider::GetInstance()->getLittleDownArrowPixmap();
    setFixedSize(arrow.deviceIndependentSize().toSize());
    setPixmap(arrow);
}
