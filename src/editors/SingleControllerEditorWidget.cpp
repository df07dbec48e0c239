#include "editors/SingleControllerEditorWidget.h"

#include "editors/ControllerCombo.h"
#include "model/edits/ModelEdits.h"
#include "model/transforms/MIDIDataTransform.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>

SingleControllerEditorWidget::SingleControllerEditorWidget(MIDIDataTransform* transform,
                                                           const QString& labelText, RowStyle style,
                                                           QWidget* parent)
    : QWidget(parent), _transform(transform)
{
    _layout = new QHBoxLayout(this);
    _label = new QLabel(labelText, this);
    _ccCombo = createControllerCombo(this);
    const bool centred = style == RowStyle::CentredWithoutMargins;
    if (centred) {
        _layout->setContentsMargins(0, 0, 0, 0);
        _layout->addStretch();
    }
    _layout->addWidget(_label);
    _layout->addWidget(_ccCombo);
    if (centred)
        _layout->addStretch();
    if (_transform)
        showControllerInCombo(_ccCombo, _transform->getByte1());
    connect(_ccCombo, &QComboBox::activated, this, &SingleControllerEditorWidget::_ccNumActivatedSLOT);
}

void SingleControllerEditorWidget::_ccNumActivatedSLOT(int ccNum)
{
    if (_transform && ccNum >= 0)
        ModelEdits::set(static_cast<MIDIDataTransform*>(_transform), &MIDIDataTransform::setByte1,
                        BYTE(ccNum), QStringLiteral("Parameter"), SettingsEditCommand::kByte1);
}
