#include "editors/InitializerEditors.h"

#include "model/initializers/InitializerRegistry.h"
#include "model/initializers/InitializerRegistryEntry.h"
#include "model/initializers/InitializerTypeNames.h"

#include <QLabel>

namespace {

// Placeholder editor until the per-type editor widgets exist: says there is nothing to edit.
QWidget* createPlainEditor(MIDIPatchInitializer* /*initializer*/, QWidget* parent)
{
    return new QLabel(QStringLiteral("(nothing to edit)"), parent);
}

} // namespace

void installInitializerEditors()
{
    InitializerRegistry* registry = InitializerRegistry::GetInstance();
    const QString builtInTypes[] = {
        InitializerTypeNames::NoteOn, InitializerTypeNames::NoteOff, InitializerTypeNames::ProgramChange,
        InitializerTypeNames::Volume, InitializerTypeNames::CC,      InitializerTypeNames::PitchBend};
    for (const QString& type : builtInTypes) {
        InitializerRegistryEntry* entry = registry->getRegistryEntryNamed(type);
        if (entry && !entry->hasEditorFactory())
            entry->setEditorFactory(&createPlainEditor);
    }
}

QWidget* createEditorForInitializer(MIDIPatchInitializer* initializer, QWidget* parent)
{
    installInitializerEditors();
    return InitializerRegistry::GetInstance()->createEditorForInitializer(initializer, parent);
}
