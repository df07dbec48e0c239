#include "model/transforms/TransformRegistryEntry.h"

TransformRegistryEntry::TransformRegistryEntry(const QString& name, const QString& categoryName,
                                               const QString& iconPath, const QString& description)
    : QObject(nullptr), _name(name), _categoryName(categoryName), _iconPath(iconPath),
      _description(description)
{
}
