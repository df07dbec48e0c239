#include "editors/ValueMapEditorLink.h"

#include "editors/LabeledValueMappingWidget.h"
#include "model/transforms/MIDIDataTransform.h"

#include <QSignalBlocker>

void loadValueMapIntoGraph(MIDIDataTransform* transform, LabeledValueMappingWidget* graph)
{
    ValueMapBuffer::Values values;
    transform->copyMapValues(values);
    for (int i = 0; i < 128; ++i)
        showMapValueInGraph(graph, BYTE(i), values[i]);
}

void showMapValueInGraph(LabeledValueMappingWidget* graph, BYTE index, BYTE value)
{
    // The graph's valueChanged is what writes the model; a value that came from the model must
    // not be written back.
    const QSignalBlocker blocker(graph);
    graph->setValueAt(index, value);
}
