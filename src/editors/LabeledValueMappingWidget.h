#pragma once

#include <QString>
#include <QWidget>

class QGridLayout;
class QLabel;
class ValueMappingWidget;

/// A value map graph framed with its axis labels, the numbers at the ends of both axes and a
/// read-out of the column and value under the mouse. GUI thread only.
class LabeledValueMappingWidget : public QWidget
{
    Q_OBJECT

public:
    LabeledValueMappingWidget(int minValue, int maxValue, QWidget* parent, const QString& xLabel,
                              const QString& yLabel);

    int getValueAt(int index) const;
    void setValueAt(int index, int value);
    void highlightValue(int index);
    void setXLabel(const QString& label);
    void setYLabel(const QString& label);

    /// The graph itself (for tests and for the editors' own connections).
    ValueMappingWidget* getValueMappingWidget() const { return _valueMap; }
    /// The text of the mouse position read-out.
    QString getReadoutText() const;

signals:
    void valueChanged(int index, int newValue);
    void contextMenuRequestedAtGlobalPos(QPoint globalPos);

protected slots:
    void _mouseHoveredOverValSLOT(int x, int y);

private slots:
    void _mouseEnteredValMapSLOT();
    void _mouseExitedValMapSLOT();
    void _valueChangedSLOT(int index, int newValue);
    void _customContextMenuReqSLOT(QPoint pos);

private:
    void _buildUI(int minValue, int maxValue);
    void _makeConnections();
    void _showEmptyReadout();
    void _fitReadout();
    void _setToolTipFor(int index);

    QString _xLabelText;
    QString _yLabelText;
    QGridLayout* _layout = nullptr;
    ValueMappingWidget* _valueMap = nullptr;
    QLabel* _topValueLabel = nullptr;
    QLabel* _yAxisLabel = nullptr;
    QLabel* _bottomValueLabel = nullptr;
    QLabel* _xStartLabel = nullptr;
    QLabel* _xAxisLabel = nullptr;
    QLabel* _xEndLabel = nullptr;
    QLabel* _readoutLabel = nullptr;
};
