#include "editors/BuiltInTransformEditors.h"

#include "editors/TransformEditorFactories.h"
#include "model/transforms/BuiltInTransformRegistryEntry.h"
#include "model/transforms/BuiltInTransforms.h"
#include "model/transforms/TransformRegistry.h"

namespace {

struct EditorFactoryForName
{
    const char* name;
    TransformEditorFactory factory;
};

const EditorFactoryForName kEditorFactories[] = {
    {"Transpose", &createNoteTransposerEditor},
    {"Converge On Note", &createConvergeOnNoteEditor},
    {"Velocity Map", &createVelocityMappingEditor},
    {"Velocity To CC", &createVelocityToCCEditor},
    {"Velocity From CC", &createVelocityFromCCEditor},
    {"Make Monophonic", &createMakeMonophonicEditor},
    {"Note Filter", &createNoteFilterEditor},
    {"Velocity Filter", &createVelocityFilterEditor},
    {"Velocity Variation", &createVelocityVariationEditor},
    {"Ignore All Notes", &createNoteBlockerEditor},
    {"Change CC#", &createCCNumberChangerEditor},
    {"CC Map", &createCCMappingEditor},
    {"CC Copy", &createCCCopyEditor},
    {"Ignore CC", &createIgnoreCCEditor},
    {"Ignore All Controllers", &createCCBlockerEditor},
    {"Invert Pitch Change", &createPitchChangeInverterEditor},
    {"Pitch Change To CC", &createPitchChangeToCCEditor},
    {"Ignore Pitch Change", &createIgnorePitchChangeEditor},
    {"Channel Aftertouch To CC", &createChannelAftertouchToCCEditor},
    {"Ignore Channel Aftertouch", &createIgnoreChannelAftertouchEditor},
    {"Inspector", &createMessageInspectorEditor},
};

} // namespace

void registerBuiltInTransformEditors()
{
    registerBuiltInTransforms();
    TransformRegistry* registry = TransformRegistry::GetInstance();
    for (const EditorFactoryForName& item : kEditorFactories) {
        auto* entry = qobject_cast<BuiltInTransformRegistryEntry*>(
            registry->getRegistryEntryForTransformNamed(QString::fromLatin1(item.name)));
        if (entry != nullptr)
            entry->setEditorFactory(item.factory);
    }
}
