#include "editors/ControllerCombo.h"

#include "widgets/NoWheelComboBox.h"

#include <QSignalBlocker>

namespace {
constexpr int kOfferedControllers = 120;
}

QComboBox* createControllerCombo(QWidget* parent)
{
    auto* combo = new NoWheelComboBox(parent);
    for (int cc = 0; cc < kOfferedControllers; ++cc)
        combo->addItem(QStringLiteral("CC") + QString::number(cc));
    combo->setMaxVisibleItems(20);
    combo->setToolTip(QStringLiteral("Controller Number"));
    return combo;
}

void showControllerInCombo(QComboBox* combo, BYTE controller)
{
    const QSignalBlocker blocker(combo);
    combo->setCurrentIndex(controller < kOfferedControllers ? int(controller) : -1);
}
