#include "widgets/VisibilityToggler.h"

#include "widgets/ArrowPixmapProvider.h"

VisibilityToggler::VisibilityToggler(QWidget* parent) : ClickableLabel(parent)
{
    const QPixmap& down = ArrowPixmapProvider::GetInstance()->getLittleDownArrowPixmap();
    setFixedSize(down.deviceIndependentSize().toSize());
    setPixmap(down);
    setToolTip(QStringLiteral("Collapse"));
    connect(this, &ClickableLabel::clicked, this, &VisibilityToggler::_clickedSLOT);
    connect(this, &ClickableLabel::shiftClicked, this, &VisibilityToggler::_shiftClickedSLOT);
}

void VisibilityToggler::setOpen(bool open)
{
    if (open == _open)
        return;
    _open = open;
    ArrowPixmapProvider* arrows = ArrowPixmapProvider::GetInstance();
    setPixmap(open ? arrows->getLittleDownArrowPixmap() : arrows->getLittleRightArrowPixmap());
    setToolTip(open ? QStringLiteral("Collapse") : QStringLiteral("Expand"));
    emit openChangedTo(open);
}

void VisibilityToggler::_clickedSLOT()
{
    setOpen(!_open);
    emit clicked(_open);
}

void VisibilityToggler::_shiftClickedSLOT()
{
    setOpen(!_open);
    emit shiftClicked(_open);
}
