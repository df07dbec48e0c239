#pragma once

#include <QPointer>
#include <QWidget>

class MIDIPatchInitializer;
class QHBoxLayout;
class QLabel;
class QSlider;
class QVBoxLayout;
class ValueEntryLineEdit;

/// The editor of a "Pitch Bend" initializer: the bend value (int1, 0 to 16383, centre 8192) as
/// slider and field, with a hint line. A stored value outside that range is shown clamped and
/// kept until the user sets another. GUI thread only.
class PitchBendInitializerEditorWidget : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kMaxPitchBend = 16383;

    PitchBendInitializerEditorWidget(MIDIPatchInitializer* initializer, QWidget* parent);

    QSlider* getSlider() const { return _slider; }
    ValueEntryLineEdit* getValueField() const { return _field; }

private slots:
    void _pbValueEditingFinishedSLOT();
    void _int1ChangedToSLOT(int value);
    void _sliderValueChangedSLOT(int value);

private:
    QPointer<MIDIPatchInitializer> _initializer;
    QVBoxLayout* _layout = nullptr;
    QHBoxLayout* _rowLayout = nullptr;
    QLabel* _label = nullptr;
    QSlider* _slider = nullptr;
    ValueEntryLineEdit* _field = nullptr;
    QLabel* _hintLabel = nullptr;
};
