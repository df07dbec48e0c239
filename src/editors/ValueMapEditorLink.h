#pragma once

#include "midi/MIDITypes.h"

class LabeledValueMappingWidget;
class MIDIDataTransform;

// The two-way link between a transform's value map and a graph, shared by the value map editors.
// GUI thread only.

/// Copies the transform's 128 entries into the graph without announcing them back.
void loadValueMapIntoGraph(MIDIDataTransform* transform, LabeledValueMappingWidget* graph);
/// Shows one entry the transform announced, without announcing it back.
void showMapValueInGraph(LabeledValueMappingWidget* graph, BYTE index, BYTE value);
