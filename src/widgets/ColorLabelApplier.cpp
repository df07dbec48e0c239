#include "widgets/ColorLabelApplier.h"

#include "model/edits/ModelEdits.h"

#include <QPointer>

#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "widgets/ColorChoiceRegistry.h"

#include <QPainter>
#include <QWidget>

namespace {

// Applies to the siblings of the object from `from` on (null: all of them); false when the object
// has no container to ask.
bool applyToSiblings(ColorLabeledMIDIObject* object, int index, bool fromThisOne)
{
    if (auto* route = qobject_cast<MIDIRoute*>(object)) {
        MIDIRoutingSetup* setup = route->getParentRoutingSetup();
        if (!setup)
            return false;
        MIDIRoute* from = fromThisOne ? route : nullptr;
        index >= 0 ? setup->setColorLabelsForRoutes(index, from) : setup->clearColorLabelsForRoutes(from);
        return true;
    }
    if (auto* output = qobject_cast<MIDIOutput*>(object)) {
        MIDIRoute* route = output->getParentMIDIRoute();
        if (!route)
            return false;
        MIDIOutput* from = fromThisOne ? output : nullptr;
        index >= 0 ? route->setColorLabelsForOutputs(index, from) : route->clearColorLabelsForOutputs(from);
        return true;
    }
    if (auto* patch = qobject_cast<MIDIPatchTarget*>(object)) {
        MIDIOutput* output = patch->getParentMIDIOutput();
        if (!output)
            return false;
        MIDIPatchTarget* from = fromThisOne ? patch : nullptr;
        index >= 0 ? output->setColorLabelsForPatches(index, from) : output->clearColorLabelsForPatches(from);
        return true;
    }
    return false;
}

} // namespace

void ColorLabelApplier::apply(ColorLabeledMIDIObject* object, int index, Qt::KeyboardModifiers modifiers)
{
    if (!object)
        return;
    // One step; over the object's container when the modifiers reach its siblings.
    BaseMIDIObject* scope = object;
    if ((modifiers == Qt::ShiftModifier || modifiers == Qt::AltModifier) && object->parent())
        if (auto* container = qobject_cast<BaseMIDIObject*>(object->parent()))
            scope = container;
    QPointer<ColorLabeledMIDIObject> target(object);
    ModelEdits::changeSettings(QStringLiteral("Set Color Label of ") + ModelEdits::describeObject(object),
                               scope, [target, index, modifiers] {
                                   ColorLabeledMIDIObject* object = target;
                                   if (!object)
                                       return;
                                   if (modifiers == Qt::ShiftModifier &&
                                       applyToSiblings(object, index, false))
                                       return;
                                   if (modifiers == Qt::AltModifier && applyToSiblings(object, index, true))
                                       return;
                                   index >= 0 ? object->setColorLabel(index) : object->clearColorLabel();
                               });
}

void ColorLabelApplier::paintStrip(QPainter* painter, const QWidget* widget, int frameWidth, int labelIndex)
{
    if (!painter || !widget || labelIndex < 0)
        return;
    const QColor color = getColorChoiceRegistryInstance()->getColorOfChoiceAtIndex(labelIndex);
    if (!color.isValid())
        return;
    const QRect strip(frameWidth, frameWidth, frameWidth + 6, widget->height() - frameWidth - 2);
    painter->save();
    painter->setPen(color);
    painter->setBrush(color);
    painter->drawRect(strip);
    painter->restore();
}
