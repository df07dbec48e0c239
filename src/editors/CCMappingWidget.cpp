#include "editors/CCMappingWidget.h"

#include "editors/ControllerCombo.h"
#include "editors/LabeledValueMappingWidget.h"
#include "editors/ValueMapEditorLink.h"
#include "editors/ValueMapMenu.h"
#include "model/edits/ModelEdits.h"
#include "model/transforms/MIDIDataTransform.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

CCMappingWidget::CCMappingWidget(MIDIDataTransform* transform, QWidget* parent)
    : QWidget(parent), _transform(transform)
{
    _layout = new QVBoxLayout(this);
    _layout->setContentsMargins(0, 0, 0, 0);
    _ccRow = new QHBoxLayout();
    _ccLabel = new QLabel(QStringLiteral("Remap Values For"), this);
    _ccCombo = createControllerCombo(this);
    _ccRow->addWidget(_ccLabel, 0, Qt::AlignVCenter);
    _ccRow->addWidget(_ccCombo, 0, Qt::AlignVCenter);
    _ccRow->addStretch();
    _layout->addLayout(_ccRow);
    _layout->addSpacing(10);
    _valueMapping = new LabeledValueMappingWidget(0, 127, this, QStringLiteral("In"), QStringLiteral("Out"));
    _layout->addWidget(_valueMapping);
    if (_transform == nullptr)
        return;
    showControllerInCombo(_ccCombo, _transform->getByte1());
    loadValueMapIntoGraph(_transform, _valueMapping);
    connect(_transform, &MIDIDataTransform::mapValueChangedTo, this, &CCMappingWidget::_mdtValueChangedSLOT);
    connect(_transform, &MIDIDataTransform::lastValueReceived, this,
            &CCMappingWidget::_lastValueReceivedSLOT);
    connect(_valueMapping, &LabeledValueMappingWidget::valueChanged, this,
            &CCMappingWidget::_valueChangedSLOT);
    connect(_valueMapping, &LabeledValueMappingWidget::contextMenuRequestedAtGlobalPos, this,
            &CCMappingWidget::_contextMenuReqSlot);
    connect(_ccCombo, &QComboBox::activated, this, &CCMappingWidget::_ccSelActivatedSLOT);
}

void CCMappingWidget::_mdtValueChangedSLOT(BYTE in, BYTE out)
{
    showMapValueInGraph(_valueMapping, in, out);
}

void CCMappingWidget::_valueChangedSLOT(int index, int newValue)
{
    if (_transform)
        ModelEdits::changeSettings(
            QStringLiteral("Draw Map of ") + ModelEdits::describeObject(_transform), _transform,
            [t = QPointer<MIDIDataTransform>(_transform), i = BYTE(index), v = BYTE(newValue)] {
                if (t)
                    t->setMapValueAt(i, v);
            },
            SettingsEditCommand::kValueMap);
}

void CCMappingWidget::_contextMenuReqSlot(QPoint globalPos)
{
    doContextMenuForTransformAtGlobalPos(_transform, globalPos, this);
}

void CCMappingWidget::_lastValueReceivedSLOT(unsigned char val)
{
    _valueMapping->highlightValue(val);
}

void CCMappingWidget::_ccSelActivatedSLOT(int newCCNum)
{
    if (_transform && newCCNum >= 0)
        ModelEdits::set(static_cast<MIDIDataTransform*>(_transform), &MIDIDataTransform::setByte1,
                        BYTE(newCCNum), QStringLiteral("Parameter"), SettingsEditCommand::kByte1);
}
