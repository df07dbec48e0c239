#include "editors/VelocityMappingWidget.h"

#include "editors/LabeledValueMappingWidget.h"
#include "editors/ValueMapEditorLink.h"
#include "editors/ValueMapMenu.h"
#include "model/edits/ModelEdits.h"
#include "model/transforms/MIDIDataTransform.h"

#include <QVBoxLayout>

VelocityMappingWidget::VelocityMappingWidget(MIDIDataTransform* transform, QWidget* parent)
    : QWidget(parent), _transform(transform)
{
    _layout = new QVBoxLayout(this);
    _layout->setContentsMargins(0, 0, 0, 0);
    _valueMapping = new LabeledValueMappingWidget(0, 127, this, QStringLiteral("In"), QStringLiteral("Out"));
    _layout->addWidget(_valueMapping);
    if (_transform == nullptr)
        return;
    loadValueMapIntoGraph(_transform, _valueMapping);
    connect(_transform, &MIDIDataTransform::mapValueChangedTo, this,
            &VelocityMappingWidget::_mdtValueChangedSLOT);
    connect(_transform, &MIDIDataTransform::lastValueReceived, this,
            &VelocityMappingWidget::_lastValueReceivedSLOT);
    connect(_valueMapping, &LabeledValueMappingWidget::valueChanged, this,
            &VelocityMappingWidget::_valueChangedSLOT);
    connect(_valueMapping, &LabeledValueMappingWidget::contextMenuRequestedAtGlobalPos, this,
            &VelocityMappingWidget::_contextMenuReqSlot);
}

void VelocityMappingWidget::_mdtValueChangedSLOT(BYTE in, BYTE out)
{
    showMapValueInGraph(_valueMapping, in, out);
}

void VelocityMappingWidget::_valueChangedSLOT(int index, int newValue)
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

void VelocityMappingWidget::_contextMenuReqSlot(QPoint globalPos)
{
    doContextMenuForTransformAtGlobalPos(_transform, globalPos, this);
}

void VelocityMappingWidget::_lastValueReceivedSLOT(unsigned char val)
{
    _valueMapping->highlightValue(val);
}
