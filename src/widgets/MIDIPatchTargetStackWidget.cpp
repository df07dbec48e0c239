#include "widgets/MIDIPatchTargetStackWidget.h"
#include "model/edits/ModelEdits.h"

#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"
#include "widgets/MIDIPatchTargetWidget.h"

namespace {
constexpr int kUnfoldedPatchHeight = 111;
constexpr int kFoldedPatchHeight = 33;
} // namespace

MIDIPatchTargetStackWidget::MIDIPatchTargetStackWidget(MIDIOutput* output, QWidget* parent)
    : ReorderWidget(Qt::Vertical, 0, 0, parent), _output(output)
{
    setReorderMode(0);
    setContentsMargins(0, 0, 0, 0);
    setSpacing(1);
    for (int i = 0; i < output->getNumMIDIPatchTargets(); ++i)
        _addWidgetFor(output->getMIDIPatchTargetAtIndex(i));
    connect(output, &MIDIOutput::midiPatchTargetAdded, this, &MIDIPatchTargetStackWidget::_patchAddedSLOT);
    connect(output, &MIDIOutput::midiPatchTargetRemoved, this,
            &MIDIPatchTargetStackWidget::_patchRemovedSLOT);
    connect(output, &MIDIOutput::midiPatchTargetMovedTo, this,
            &MIDIPatchTargetStackWidget::_patchMovedToSLOT);
    connect(this, &ReorderWidget::reorderRequested, this, &MIDIPatchTargetStackWidget::_reorderRequestedSLOT);
    connect(this, &ReorderWidget::widgetListChanged, this, &MIDIPatchTargetStackWidget::_updateHeightSLOT);
    _updateHeightSLOT();
}

MIDIOutput* MIDIPatchTargetStackWidget::getMIDIOutput() const
{
    return _output;
}

MIDIPatchTargetWidget* MIDIPatchTargetStackWidget::getWidgetForPatch(MIDIPatchTarget* patch) const
{
    for (int i = 0; i < getNumWidgets(); ++i) {
        auto* widget = qobject_cast<MIDIPatchTargetWidget*>(getWidgetAtIndex(i));
        if (widget && widget->getMIDIPatchTarget() == patch)
            return widget;
    }
    return nullptr;
}

int MIDIPatchTargetStackWidget::getHeightBasedOnContents() const
{
    int left = 0, top = 0, right = 0, bottom = 0;
    getContentsMargins(&left, &top, &right, &bottom);
    int height = top + bottom;
    const int count = getNumWidgets();
    for (int i = 0; i < count; ++i) {
        if (isDropIndicatorAtIndex(i)) {
            height += getDropIndicatorThickness();
        } else if (auto* widget = qobject_cast<MIDIPatchTargetWidget*>(getWidgetAtIndex(i))) {
            MIDIPatchTarget* patch = widget->getMIDIPatchTarget();
            height += patch && patch->isShowingInnards() ? kUnfoldedPatchHeight : kFoldedPatchHeight;
        }
    }
    if (count >= 2)
        height += getSpacing() * (count - 1);
    return height;
}

void MIDIPatchTargetStackWidget::_updateHeightSLOT()
{
    setFixedHeight(getHeightBasedOnContents());
    emit heightChanged();
}

void MIDIPatchTargetStackWidget::_addWidgetFor(MIDIPatchTarget* patch)
{
    if (!patch || getWidgetForPatch(patch))
        return;
    auto* widget = new MIDIPatchTargetWidget(patch, this);
    connect(widget, &MIDIPatchTargetWidget::showAllInnardsRequested, this,
            &MIDIPatchTargetStackWidget::_showAllInnardsSLOT);
    connect(widget, &MIDIPatchTargetWidget::heightChanged, this,
            &MIDIPatchTargetStackWidget::_updateHeightSLOT);
    insertWidget(widget, _output ? _output->getIndexOfMIDIPatchTarget(patch) : -1);
}

void MIDIPatchTargetStackWidget::_patchAddedSLOT(MIDIPatchTarget* patch)
{
    // A panel for an object new to the model: the view scrolls it into sight.
    const bool known = getWidgetForPatch(patch) != nullptr;
    _addWidgetFor(patch);
    if (QWidget* widget = getWidgetForPatch(patch); widget && !known)
        emit widgetAdded(widget);
}

void MIDIPatchTargetStackWidget::_patchRemovedSLOT(MIDIPatchTarget* patch)
{
    if (MIDIPatchTargetWidget* widget = getWidgetForPatch(patch)) {
        removeWidget(widget, true);
        widget->deleteLater();
    }
}

void MIDIPatchTargetStackWidget::_patchMovedToSLOT(MIDIPatchTarget* patch, int index)
{
    if (MIDIPatchTargetWidget* widget = getWidgetForPatch(patch))
        moveWidgetToIndex(widget, index);
}

void MIDIPatchTargetStackWidget::_reorderRequestedSLOT(QWidget* widget, int index)
{
    auto* patchWidget = qobject_cast<MIDIPatchTargetWidget*>(widget);
    if (_output && patchWidget && patchWidget->getMIDIPatchTarget())
        ModelEdits::move(patchWidget->getMIDIPatchTarget(), index);
}

void MIDIPatchTargetStackWidget::_showAllInnardsSLOT(bool show)
{
    for (int i = 0; i < getNumWidgets(); ++i) {
        if (auto* widget = qobject_cast<MIDIPatchTargetWidget*>(getWidgetAtIndex(i)))
            widget->showInnards(show);
    }
}
