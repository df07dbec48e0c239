#include "model/transforms/PlaceholderTransform.h"

PlaceholderTransform::PlaceholderTransform(const QString& name, bool editable, QObject* parent)
    : MIDIDataTransform(name, parent), _editable(editable)
{
}
