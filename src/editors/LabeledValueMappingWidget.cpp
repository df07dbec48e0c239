#include "editors/LabeledValueMappingWidget.h"

#include "editors/EditorFonts.h"
#include "editors/ValueMappingWidget.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>

LabeledValueMappingWidget::LabeledValueMappingWidget(int minValue, int maxValue, QWidget* parent,
                                                     const QString& xLabel, const QString& yLabel)
    : QWidget(parent), _xLabelText(xLabel), _yLabelText(yLabel)
{
    _buildUI(minValue, maxValue);
    _makeConnections();
    _showEmptyReadout();
    _fitReadout();
    setFixedSize(sizeHint());
}

void LabeledValueMappingWidget::_buildUI(int minValue, int maxValue)
{
    _layout = new QGridLayout(this);
    _layout->setContentsMargins(0, 0, 0, 0);
    _valueMap = new ValueMappingWidget(minValue, maxValue, this);
    _valueMap->setContextMenuPolicy(Qt::CustomContextMenu);
    _valueMap->setWhatsThis(QStringLiteral(
        "<p><b>Value Mapping.</b>  Used to map input values to output values.<br><br>Use the <b>left "
        "mouse button</b> to draw curves freehand.<br><br>The <b>middle mouse button</b> can be used to "
        "draw linear ramps.<br><br>The <b>mouse wheel</b> can be used to increment or decrement a single "
        "value.  <b>Shift+mouse wheel</b> increments or decrements all values at once.<br><br>Finally, "
        "the <b>right mouse button</b> brings up a context menu of additional options.</p>"));

    auto plainLabel = [this](const QString& text) {
        auto* label = new QLabel(text, this);
        label->setTextFormat(Qt::PlainText);
        return label;
    };
    const QString minText = QString::number(minValue);
    const QString maxText = QString::number(_valueMap->getMaxValue());
    _topValueLabel = plainLabel(maxText);
    _yAxisLabel = plainLabel(_yLabelText);
    _yAxisLabel->setFont(boldTitleFont());
    _bottomValueLabel = plainLabel(minText);
    _xStartLabel = plainLabel(minText);
    _xAxisLabel = plainLabel(_xLabelText);
    _xAxisLabel->setFont(boldTitleFont());
    _xEndLabel = plainLabel(maxText);
    _readoutLabel = plainLabel(QString());

    _layout->addWidget(_valueMap, 0, 2, 3, 3);
    _layout->addWidget(_topValueLabel, 0, 1, Qt::AlignRight | Qt::AlignTop);
    _layout->addWidget(_yAxisLabel, 1, 1, Qt::AlignLeft | Qt::AlignVCenter);
    _layout->addWidget(_bottomValueLabel, 2, 1, Qt::AlignRight | Qt::AlignBottom);
    _layout->addWidget(_xStartLabel, 3, 2, Qt::AlignLeft | Qt::AlignTop);
    _layout->addWidget(_xAxisLabel, 3, 3, Qt::AlignHCenter | Qt::AlignBottom);
    _layout->addWidget(_xEndLabel, 3, 4, Qt::AlignRight | Qt::AlignTop);
    _layout->addWidget(_readoutLabel, 3, 0);
}

void LabeledValueMappingWidget::_makeConnections()
{
    connect(_valueMap, &ValueMappingWidget::mouseEntered, this,
            &LabeledValueMappingWidget::_mouseEnteredValMapSLOT);
    connect(_valueMap, &ValueMappingWidget::mouseExited, this,
            &LabeledValueMappingWidget::_mouseExitedValMapSLOT);
    connect(_valueMap, &ValueMappingWidget::mouseHoveredOverValue, this,
            &LabeledValueMappingWidget::_mouseHoveredOverValSLOT);
    connect(_valueMap, &ValueMappingWidget::valueChanged, this,
            &LabeledValueMappingWidget::_valueChangedSLOT);
    connect(_valueMap, &QWidget::customContextMenuRequested, this,
            &LabeledValueMappingWidget::_customContextMenuReqSLOT);
}

int LabeledValueMappingWidget::getValueAt(int index) const
{
    return _valueMap->getValueAt(index);
}

void LabeledValueMappingWidget::setValueAt(int index, int value)
{
    _valueMap->setValueAt(index, value);
}

void LabeledValueMappingWidget::highlightValue(int index)
{
    _valueMap->highlightValue(index);
}

void LabeledValueMappingWidget::setXLabel(const QString& label)
{
    _xLabelText = label;
    _xAxisLabel->setText(label);
    _fitReadout();
}

void LabeledValueMappingWidget::setYLabel(const QString& label)
{
    _yLabelText = label;
    _yAxisLabel->setText(label);
    _fitReadout();
}

QString LabeledValueMappingWidget::getReadoutText() const
{
    return _readoutLabel->text();
}

void LabeledValueMappingWidget::_fitReadout()
{
    const QString widest = _xLabelText + QStringLiteral(": ") + QString::number(_valueMap->getMaxValue()) +
                           QLatin1Char('\n') + _yLabelText + QStringLiteral(": ") +
                           QString::number(_valueMap->getMaxValue());
    const QFontMetrics metrics(_readoutLabel->font());
    const QSize textSize = metrics.boundingRect(QRect(0, 0, 10000, 10000), 0, widest).size();
    _readoutLabel->setFixedSize(textSize + QSize(2, 2));
}

void LabeledValueMappingWidget::_showEmptyReadout()
{
    _readoutLabel->setText(_xLabelText + QStringLiteral(":\n") + _yLabelText + QLatin1Char(':'));
}

void LabeledValueMappingWidget::_setToolTipFor(int index)
{
    _valueMap->setToolTip(_xLabelText + QStringLiteral(": ") + QString::number(index) + QLatin1Char('\n') +
                          _yLabelText + QStringLiteral(": ") + QString::number(_valueMap->getValueAt(index)));
}

void LabeledValueMappingWidget::_mouseHoveredOverValSLOT(int x, int y)
{
    _readoutLabel->setText(_xLabelText + QStringLiteral(": ") + QString::number(x) + QLatin1Char('\n') +
                           _yLabelText + QStringLiteral(": ") + QString::number(y));
    _setToolTipFor(x);
}

void LabeledValueMappingWidget::_mouseEnteredValMapSLOT()
{
    _showEmptyReadout();
}

void LabeledValueMappingWidget::_mouseExitedValMapSLOT()
{
    _showEmptyReadout();
}

void LabeledValueMappingWidget::_valueChangedSLOT(int index, int newValue)
{
    _setToolTipFor(index);
    emit valueChanged(index, newValue);
}

void LabeledValueMappingWidget::_customContextMenuReqSLOT(QPoint pos)
{
    emit contextMenuRequestedAtGlobalPos(_valueMap->mapToGlobal(pos));
}
