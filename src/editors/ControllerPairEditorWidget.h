#pragma once

#include <QPointer>
#include <QWidget>

class MIDIDataTransform;
class QComboBox;
class QHBoxLayout;
class QLabel;

/// One centred row: a label, a controller chooser bound to byte1, "To", and a second chooser
/// bound to byte2. The base of the "Change CC#" and "CC Copy" editors. GUI thread only.
class ControllerPairEditorWidget : public QWidget
{
    Q_OBJECT

public:
    ControllerPairEditorWidget(MIDIDataTransform* transform, const QString& labelText, QWidget* parent);

    QComboBox* getFirstCombo() const { return _firstCombo; }
    QComboBox* getSecondCombo() const { return _secondCombo; }

protected slots:
    void _inputCCNumActivatedSLOT(int ccNum);

protected:
    /// Commits a choice of the second box.
    void _setSecondController(int ccNum);

private:
    QPointer<MIDIDataTransform> _transform;
    QHBoxLayout* _layout = nullptr;
    QLabel* _label = nullptr;
    QComboBox* _firstCombo = nullptr;
    QLabel* _toLabel = nullptr;
    QComboBox* _secondCombo = nullptr;
};
