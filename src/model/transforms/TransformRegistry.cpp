#include "model/transforms/TransformRegistry.h"

#include "model/transforms/MIDIDataTransform.h"
#include "model/transforms/TransformRegistryEntry.h"

TransformRegistry* TransformRegistry::_instance = nullptr;

TransformRegistry* TransformRegistry::GetInstance()
{
    if (_instance == nullptr)
        _instance = new TransformRegistry;
    return _instance;
}

void TransformRegistry::registerTransform(TransformRegistryEntry* entry)
{
    if (entry == nullptr)
        return;
    entry->setParent(this);
    const QString category = entry->getCategoryName();
    if (!_categoryNames.contains(category))
        _categoryNames.append(category);
    QStringList& names = _namesByCategory[category];
    if (!names.contains(entry->getName()))
        names.append(entry->getName());
    _entriesByName.insert(entry->getName(), entry);
}

void TransformRegistry::setIconPathForCategoryNamed(const QString& category, const QString& path)
{
    _categoryIconPaths.insert(category, path);
}

QString TransformRegistry::getIconPathForCategoryNamed(const QString& category) const
{
    return _categoryIconPaths.value(category);
}

QStringList TransformRegistry::getTransformCategoryNames() const
{
    return _categoryNames;
}

QList<TransformRegistryEntry*>
TransformRegistry::getTransformRegEntriesInCategory(const QString& category) const
{
    QList<TransformRegistryEntry*> entries;
    for (const QString& name : _namesByCategory.value(category)) {
        if (TransformRegistryEntry* entry = _entriesByName.value(name))
            entries.append(entry);
    }
    return entries;
}

TransformRegistryEntry* TransformRegistry::getRegistryEntryForTransformNamed(const QString& name) const
{
    return _entriesByName.value(name, nullptr);
}

MIDIDataTransform* TransformRegistry::createInstanceOfTransformNamed(const QString& name, QObject* parent)
{
    TransformRegistryEntry* entry = getRegistryEntryForTransformNamed(name);
    return entry != nullptr ? entry->createTransformInstance(parent) : nullptr;
}

QWidget* TransformRegistry::createEditorForTransform(MIDIDataTransform* transform, QWidget* parent)
{
    if (transform == nullptr)
        return nullptr;
    TransformRegistryEntry* entry = getRegistryEntryForTransformNamed(transform->getName());
    return entry != nullptr ? entry->createTransformEditorWidget(transform, parent) : nullptr;
}

MIDIDataTransform* createMIDIDataTransformOfType(const QString& name, QObject* parent)
{
    return TransformRegistry::GetInstance()->createInstanceOfTransformNamed(name, parent);
}

QWidget* createEditorForTransform(MIDIDataTransform* transform, QWidget* parent)
{
    return TransformRegistry::GetInstance()->createEditorForTransform(transform, parent);
}
