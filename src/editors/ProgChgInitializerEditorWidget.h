#pragma once

#include <QPointer>
#include <QWidget>

class MIDIPatchInitializer;
class NoWheelComboBox;
class QHBoxLayout;
class QLabel;

/// The editor of a "Program Change" initializer: programs shown "1" to "128" (byte1 + 1).
/// GUI thread only.
class ProgChgInitializerEditorWidget : public QWidget
{
    Q_OBJECT

public:
    ProgChgInitializerEditorWidget(MIDIPatchInitializer* initializer, QWidget* parent);

    NoWheelComboBox* getProgramCombo() const { return _programCombo; }

private slots:
    void _pcActivatedSLOT(int index);

private:
    QPointer<MIDIPatchInitializer> _initializer;
    QHBoxLayout* _layout = nullptr;
    QLabel* _label = nullptr;
    NoWheelComboBox* _programCombo = nullptr;
};
