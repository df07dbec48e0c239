#include "editors/InitializerEditors.h"

#include "editors/CCInitializerEditorWidget.h"
#include "editors/NoteOffInitializerEditorWidget.h"
#include "editors/NoteOnInitializerEditorWidget.h"
#include "editors/PitchBendInitializerEditorWidget.h"
#include "editors/ProgChgInitializerEditorWidget.h"
#include "editors/VolumeInitializerEditorWidget.h"
#include "model/initializers/InitializerRegistry.h"
#include "model/initializers/InitializerRegistryEntry.h"
#include "model/initializers/InitializerTypeNames.h"

namespace {

template <typename Editor> QWidget* createEditor(MIDIPatchInitializer* initializer, QWidget* parent)
{
    return new Editor(initializer, parent);
}

} // namespace

void installInitializerEditors()
{
    InitializerRegistry* registry = InitializerRegistry::GetInstance();
    const std::pair<QString, InitializerRegistryEntry::EditorFactory> editors[] = {
        {InitializerTypeNames::NoteOn, &createEditor<NoteOnInitializerEditorWidget>},
        {InitializerTypeNames::NoteOff, &createEditor<NoteOffInitializerEditorWidget>},
        {InitializerTypeNames::ProgramChange, &createEditor<ProgChgInitializerEditorWidget>},
        {InitializerTypeNames::Volume, &createEditor<VolumeInitializerEditorWidget>},
        {InitializerTypeNames::CC, &createEditor<CCInitializerEditorWidget>},
        {InitializerTypeNames::PitchBend, &createEditor<PitchBendInitializerEditorWidget>},
    };
    for (const auto& [type, factory] : editors) {
        InitializerRegistryEntry* entry = registry->getRegistryEntryNamed(type);
        if (entry && !entry->hasEditorFactory())
            entry->setEditorFactory(factory);
    }
}

QWidget* createEditorForInitializer(MIDIPatchInitializer* initializer, QWidget* parent)
{
    installInitializerEditors();
    return InitializerRegistry::GetInstance()->createEditorForInitializer(initializer, parent);
}
