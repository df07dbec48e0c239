#include "widgets/ShrinkableTextMenuButton.h"

#include "widgets/DownArrowLabel.h"
#include "widgets/ShrinkableLabel.h"

#include <QHBoxLayout>

ShrinkableTextMenuButton::ShrinkableTextMenuButton(QWidget* parent) : MenuButton(parent)
{
    _buildUI();
}

void ShrinkableTextMenuButton::_buildUI()
{
    _layout = new QHBoxLayout(this);
    _layout->setContentsMargins(5, 0, 5, 0);
    _layout->setSpacing(0);
    _label = new ShrinkableLabel(this);
    _label->setTextElideMode(Qt::ElideMiddle);
    _arrow = new DownArrowLabel(this);
    // Presses land on the button, wherever on it they fall.
    _label->setAttribute(Qt::WA_TransparentForMouseEvents);
    _arrow->setAttribute(Qt::WA_TransparentForMouseEvents);
    _layout->addWidget(_label, 1, Qt::AlignVCenter);
    _layout->addWidget(_arrow, 0, Qt::AlignVCenter);
    setFixedHeight(21);
}

void ShrinkableTextMenuButton::setDisplayText(const QString& text)
{
    _label->setText(text);
    updateGeometry();
}

QString ShrinkableTextMenuButton::getDisplayText() const
{
    return _label->getFullText();
}

QSize ShrinkableTextMenuButton::sizeHint() const
{
    return QSize(_layout->sizeHint().width(), 21);
}

QSize ShrinkableTextMenuButton::minimumSizeHint() const
{
    return QSize(_layout->minimumSize().width(), 21);
}
