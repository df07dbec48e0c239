#include "app/ColorLabelPrefsWidget.h"

#include "widgets/ColorChoice.h"
#include "widgets/ColorChoiceRegistry.h"
#include "widgets/ColorSwatchFrame.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

ColorLabelPrefsWidget::ColorLabelPrefsWidget(QWidget* parent) : QWidget(parent)
{
    _buildUI();
}

void ColorLabelPrefsWidget::_buildUI()
{
    ColorChoiceRegistry* registry = getColorChoiceRegistryInstance();
    const int count = registry->getNumRegisteredColors();
    const int rowsPerGroup = qMax(1, count / 2);

    auto* grid = new QGridLayout();
    for (int index = 0; index < count; ++index) {
        const int row = index % rowsPerGroup;
        const int column = (index / rowsPerGroup) * 3;
        auto* swatch = new ColorSwatchFrame(registry->getColorOfChoiceAtIndex(index), this);
        swatch->setFixedSize(50, 50);
        swatch->setToolTip(QStringLiteral("Click to edit the color; drag onto another swatch to copy it."));
        swatch->setWhatsThis(QStringLiteral(
            "<b>Color Swatch.</b> Click to edit color. Drag onto other color swatches to distribute."));
        auto* nameField = new QLineEdit(registry->getNameOfColorChoiceAtIndex(index), this);
        nameField->setMinimumWidth(100);
        nameField->setToolTip(QStringLiteral("The name of this color label."));
        nameField->setWhatsThis(
            QStringLiteral("<b>Color label name.</b>  The name shown in the color label menus."));
        grid->addWidget(swatch, row, column, Qt::AlignCenter);
        // The name field fills its stretching column (centred vertically) so long names fit.
        grid->addWidget(nameField, row, column + 1, Qt::AlignVCenter);
        grid->setColumnStretch(column + 1, 1);
        grid->setColumnMinimumWidth(column + 1, 100);
        _swatches << swatch;
        _nameFields << nameField;
    }
    grid->setColumnMinimumWidth(2, 50); // the gap before the second group

    auto* layout = new QVBoxLayout(this);
    layout->addSpacing(20);
    auto* gridRow = new QHBoxLayout();
    gridRow->addLayout(grid);
    layout->addLayout(gridRow);
    layout->addSpacing(10);
    _defaultsButton = new QPushButton(QStringLiteral("Set To Defaults"), this);
    _defaultsButton->setDefault(false);
    _defaultsButton->setAutoDefault(false);
    _defaultsButton->setToolTip(QStringLiteral("Set every color and name back to the defaults."));
    _defaultsButton->setWhatsThis(QStringLiteral(
        "<b>Set To Default Color Labels Button.</b>  Click to set colors/names to the defaults."));
    layout->addWidget(_defaultsButton, 0, Qt::AlignLeft);
    layout->addStretch();
}

void ColorLabelPrefsWidget::setToDefaults()
{
    const QList<ColorChoice> defaults = ColorChoiceRegistry::getDefaultColorChoices();
    for (int index = 0; index < defaults.size() && index < _swatches.size(); ++index) {
        _swatches.at(index)->setColor(defaults.at(index).getColor());
        _nameFields.at(index)->setText(defaults.at(index).getName());
    }
}

void ColorLabelPrefsWidget::applyToLabels() const
{
    ColorChoiceRegistry* registry = getColorChoiceRegistryInstance();
    for (int index = 0; index < _swatches.size(); ++index) {
        ColorChoice* choice = registry->getColorChoiceAtIndex(index);
        if (!choice)
            continue;
        choice->setColor(_swatches.at(index)->getColor());
        choice->setName(_nameFields.at(index)->text());
    }
}
