#include "editors/ControllerPairEditorWidget.h"

#include "editors/ControllerCombo.h"
#include "model/edits/ModelEdits.h"
#include "model/transforms/MIDIDataTransform.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>

ControllerPairEditorWidget::ControllerPairEditorWidget(MIDIDataTransform* transform, const QString& labelText,
                                                       QWidget* parent)
    : QWidget(parent), _transform(transform)
{
    _layout = new QHBoxLayout(this);
    _layout->setContentsMargins(0, 0, 0, 0);
    _label = new QLabel(labelText, this);
    _firstCombo = createControllerCombo(this);
    _toLabel = new QLabel(QStringLiteral("To"), this);
    _secondCombo = createControllerCombo(this);
    _layout->addStretch();
    _layout->addWidget(_label);
    _layout->addWidget(_firstCombo);
    _layout->addWidget(_toLabel);
    _layout->addWidget(_secondCombo);
    _layout->addStretch();
    if (_transform) {
        showControllerInCombo(_firstCombo, _transform->getByte1());
        showControllerInCombo(_secondCombo, _transform->getByte2());
    }
    connect(_firstCombo, &QComboBox::activated, this, &ControllerPairEditorWidget::_inputCCNumActivatedSLOT);
}

void ControllerPairEditorWidget::_inputCCNumActivatedSLOT(int ccNum)
{
    if (_transform && ccNum >= 0)
        ModelEdits::set(static_cast<MIDIDataTransform*>(_transform), &MIDIDataTransform::setByte1,
                        BYTE(ccNum), QStringLiteral("Parameter"), SettingsEditCommand::kByte1);
}

void ControllerPairEditorWidget::_setSecondController(int ccNum)
{
    if (_transform && ccNum >= 0)
        ModelEdits::set(static_cast<MIDIDataTransform*>(_transform), &MIDIDataTransform::setByte2,
                        BYTE(ccNum), QStringLiteral("Parameter"), SettingsEditCommand::kByte2);
}
