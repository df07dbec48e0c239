#pragma once

#include <QPointer>
#include <QWidget>

class MIDIDataTransform;
class QComboBox;
class QHBoxLayout;
class QLabel;

/// One row: a label and a controller chooser bound to byte1 of the transform. The base of the
/// editors that name one controller number. GUI thread only.
class SingleControllerEditorWidget : public QWidget
{
    Q_OBJECT

public:
    enum class RowStyle
    {
        CentredWithoutMargins,
        DefaultMargins
    };

    SingleControllerEditorWidget(MIDIDataTransform* transform, const QString& labelText, RowStyle style,
                                 QWidget* parent);

    QLabel* getLabel() const { return _label; }
    QComboBox* getControllerCombo() const { return _ccCombo; }

protected slots:
    void _ccNumActivatedSLOT(int ccNum);

private:
    QPointer<MIDIDataTransform> _transform;
    QHBoxLayout* _layout = nullptr;
    QLabel* _label = nullptr;
    QComboBox* _ccCombo = nullptr;
};
