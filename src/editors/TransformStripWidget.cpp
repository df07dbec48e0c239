#include "editors/TransformStripWidget.h"

#include "editors/TransformWidget.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/transforms/MIDIDataTransform.h"

TransformStripWidget::TransformStripWidget(MIDIPatchTarget* patch, QWidget* parent)
    : ReorderWidget(Qt::Horizontal, 0, 1, parent), _patch(patch)
{
    setReorderMode(0);
    setContentsMargins(0, 0, 0, 0);
    setSpacing(2);
    setDropIndicatorThickness(4);
    _fill();
    connect(this, &ReorderWidget::reorderRequested, this, &TransformStripWidget::_reorderReqSLOT);
    if (!_patch)
        return;
    connect(_patch, &MIDIPatchTarget::midiDataTransformAdded, this, &TransformStripWidget::_mdtAddedSLOT);
    connect(_patch, &MIDIPatchTarget::midiDataTransformRemoved, this, &TransformStripWidget::_mdtRemovedSLOT);
    connect(_patch, &MIDIPatchTarget::midiDataTransformMovedTo, this, &TransformStripWidget::_mdtMovedToSLOT);
}

void TransformStripWidget::_fill()
{
    clear();
    if (!_patch)
        return;
    for (int i = 0; i < _patch->getNumMIDIDataTransforms(); ++i)
        addWidget(new TransformWidget(_patch->getMIDIDataTransformAtIndex(i), this));
}

TransformWidget* TransformStripWidget::getWidgetForTransform(MIDIDataTransform* mdt) const
{
    for (int i = 0; i < getNumWidgets(); ++i) {
        auto* widget = qobject_cast<TransformWidget*>(getWidgetAtIndex(i));
        if (widget && widget->getMIDIDataTransform() == mdt)
            return widget;
    }
    return nullptr;
}

void TransformStripWidget::_reorderReqSLOT(QWidget* wid, int newIndex)
{
    auto* widget = qobject_cast<TransformWidget*>(wid);
    if (_patch && widget && widget->getMIDIDataTransform())
        _patch->moveMIDIDataTransformToIndex(widget->getMIDIDataTransform(), newIndex);
}

void TransformStripWidget::_mdtAddedSLOT(MIDIDataTransform* mdt)
{
    if (mdt && getWidgetForTransform(mdt) == nullptr)
        addWidget(new TransformWidget(mdt, this));
}

void TransformStripWidget::_mdtRemovedSLOT(MIDIDataTransform* mdt)
{
    if (TransformWidget* widget = getWidgetForTransform(mdt)) {
        removeWidget(widget, true);
        widget->deleteLater();
    }
}

void TransformStripWidget::_mdtMovedToSLOT(MIDIDataTransform* mdt, int newIndex)
{
    if (TransformWidget* widget = getWidgetForTransform(mdt))
        moveWidgetToIndex(widget, newIndex);
}
