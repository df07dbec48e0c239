#include "model/transforms/BuiltInTransformRegistryEntry.h"

BuiltInTransformRegistryEntry::BuiltInTransformRegistryEntry(const QString& name, const QString& categoryName,
                                                             const QString& iconPath,
                                                             const QString& description, bool editable,
                                                             TransformFactory factory)
    : TransformRegistryEntry(name, categoryName, iconPath, description), _editable(editable),
      _factory(factory)
{
}

MIDIDataTransform* BuiltInTransformRegistryEntry::createTransformInstance(QObject* parent)
{
    return _factory != nullptr ? _factory(parent) : nullptr;
}

QWidget* BuiltInTransformRegistryEntry::createTransformEditorWidget(MIDIDataTransform* transform,
                                                                    QWidget* parent)
{
    return _editorFactory != nullptr ? _editorFactory(transform, parent) : nullptr;
}
