#include "editors/PitchBendInitializerEditorWidget.h"

#include "editors/EditorFonts.h"
#include "editors/ValueFieldSupport.h"
#include "model/edits/ModelEdits.h"
#include "model/initializers/MIDIPatchInitializer.h"
#include "widgets/ValueEntryLineEdit.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

PitchBendInitializerEditorWidget::PitchBendInitializerEditorWidget(MIDIPatchInitializer* initializer,
                                                                   QWidget* parent)
    : QWidget(parent), _initializer(initializer)
{
    _layout = new QVBoxLayout(this);
    _rowLayout = new QHBoxLayout();
    _label = new QLabel(QStringLiteral("Send Pitch Bend Value Of"), this);
    _slider = new QSlider(Qt::Horizontal, this);
    _slider->setFixedWidth(125);
    _slider->setRange(0, kMaxPitchBend);
    _field = new ValueEntryLineEdit(this);
    _field->setIntMinMax(0, kMaxPitchBend);
    _field->setWidthForNumDigits(5);
    _slider->setToolTip(QStringLiteral("Pitch Bend Value"));
    _field->setToolTip(QStringLiteral("Pitch Bend Value"));
    _rowLayout->addWidget(_label);
    _rowLayout->addWidget(_slider);
    _rowLayout->addWidget(_field);
    _layout->addLayout(_rowLayout);
    _hintLabel =
        new QLabel(QStringLiteral("(8192 is \"zero\", 0 is max bend down, 16383 is max bend up)"), this);
    _hintLabel->setFont(oneSizeSmaller(font()));
    _hintLabel->setAlignment(Qt::AlignCenter);
    _layout->addWidget(_hintLabel);
    if (!_initializer)
        return;
    _int1ChangedToSLOT(_initializer->getInt1());
    connect(_slider, &QSlider::valueChanged, this,
            &PitchBendInitializerEditorWidget::_sliderValueChangedSLOT);
    connect(_field, &QLineEdit::editingFinished, this,
            &PitchBendInitializerEditorWidget::_pbValueEditingFinishedSLOT);
    connect(_initializer, &MIDIPatchInitializer::int1ValueChangedTo, this,
            &PitchBendInitializerEditorWidget::_int1ChangedToSLOT);
    restoreFieldOnFocusOutWhenUnacceptable(_field, [this] {
        if (_initializer)
            _int1ChangedToSLOT(_initializer->getInt1());
    });
}

void PitchBendInitializerEditorWidget::_sliderValueChangedSLOT(int value)
{
    if (_initializer)
        ModelEdits::set(static_cast<MIDIPatchInitializer*>(_initializer), &MIDIPatchInitializer::setInt1,
                        value, QStringLiteral("Parameter"), SettingsEditCommand::kInt1);
}

void PitchBendInitializerEditorWidget::_pbValueEditingFinishedSLOT()
{
    if (!_initializer)
        return;
    if (const auto value = committedFieldValue(_field, 0, kMaxPitchBend))
        ModelEdits::set(static_cast<MIDIPatchInitializer*>(_initializer), &MIDIPatchInitializer::setInt1,
                        *value, QStringLiteral("Parameter"), SettingsEditCommand::kInt1);
    if (_initializer)
        _int1ChangedToSLOT(_initializer->getInt1());
}

void PitchBendInitializerEditorWidget::_int1ChangedToSLOT(int value)
{
    {
        // Shown clamped; the slider must not write its clamped value back.
        const QSignalBlocker blocker(_slider);
        _slider->setValue(qBound(0, value, kMaxPitchBend));
    }
    showValueInField(_field, value, 0, kMaxPitchBend);
}
