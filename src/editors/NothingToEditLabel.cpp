#include "editors/NothingToEditLabel.h"

#include <QLabel>

QLabel* _createNothingToEditLabelIn(QWidget* parent)
{
    auto* label = new QLabel(QStringLiteral("(nothing to edit)"), parent);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    return label;
}
