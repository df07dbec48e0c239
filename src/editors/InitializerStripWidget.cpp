#include "editors/InitializerStripWidget.h"

#include "editors/InitializerWidget.h"
#include "model/initializers/MIDIPatchInitializer.h"
#include "model/routing/MIDIPatchTarget.h"

InitializerStripWidget::InitializerStripWidget(MIDIPatchTarget* patch, QWidget* parent)
    : ReorderWidget(Qt::Horizontal, 0, 1, parent), _patch(patch)
{
    setReorderMode(0);
    setContentsMargins(0, 0, 0, 0);
    setSpacing(2);
    setDropIndicatorThickness(4);
    _fill();
    connect(this, &ReorderWidget::reorderRequested, this, &InitializerStripWidget::_reorderReqSLOT);
    if (!_patch)
        return;
    connect(_patch, &MIDIPatchTarget::midiPatchInitializerAdded, this,
            &InitializerStripWidget::_mpiAddedSLOT);
    connect(_patch, &MIDIPatchTarget::midiPatchInitializerRemoved, this,
            &InitializerStripWidget::_mpiRemovedSLOT);
    connect(_patch, &MIDIPatchTarget::midiPatchInitializerMovedTo, this,
            &InitializerStripWidget::_mpiMovedToSLOT);
}

void InitializerStripWidget::_fill()
{
    clear();
    if (!_patch)
        return;
    for (int i = 0; i < _patch->getNumMIDIPatchInitializers(); ++i)
        addWidget(new InitializerWidget(_patch->getMIDIPatchInitializerAtIndex(i), this));
}

InitializerWidget* InitializerStripWidget::getWidgetForInitializer(MIDIPatchInitializer* mpi) const
{
    for (int i = 0; i < getNumWidgets(); ++i) {
        auto* widget = qobject_cast<InitializerWidget*>(getWidgetAtIndex(i));
        if (widget && widget->getMIDIPatchInitializer() == mpi)
            return widget;
    }
    return nullptr;
}

void InitializerStripWidget::_reorderReqSLOT(QWidget* wid, int newIndex)
{
    auto* widget = qobject_cast<InitializerWidget*>(wid);
    if (_patch && widget && widget->getMIDIPatchInitializer())
        _patch->moveMIDIPatchInitializerToIndex(widget->getMIDIPatchInitializer(), newIndex);
}

void InitializerStripWidget::_mpiAddedSLOT(MIDIPatchInitializer* mpi)
{
    if (mpi && getWidgetForInitializer(mpi) == nullptr)
        addWidget(new InitializerWidget(mpi, this));
}

void InitializerStripWidget::_mpiRemovedSLOT(MIDIPatchInitializer* mpi)
{
    if (InitializerWidget* widget = getWidgetForInitializer(mpi)) {
        removeWidget(widget, true);
        widget->deleteLater();
    }
}

void InitializerStripWidget::_mpiMovedToSLOT(MIDIPatchInitializer* mpi, int newIndex)
{
    if (InitializerWidget* widget = getWidgetForInitializer(mpi))
        moveWidgetToIndex(widget, newIndex);
}
