#include "model/initializers/InitializerRegistryEntry.h"

InitializerRegistryEntry::InitializerRegistryEntry(QString name, QString iconPath, QString description)
    : QObject(nullptr), _name(std::move(name)), _iconPath(std::move(iconPath)),
      _description(std::move(description))
{
}

QWidget* InitializerRegistryEntry::createInitializerEditorWidget(MIDIPatchInitializer* initializer,
                                                                 QWidget* parent)
{
    return _editorFactory ? _editorFactory(initializer, parent) : nullptr;
}

void InitializerRegistryEntry::setEditorFactory(EditorFactory factory)
{
    _editorFactory = std::move(factory);
}
