#include "editors/BuiltInTransformEditors.h"

#include "editors/TransformEditorFactories.h"
#include "model/transforms/BuiltInTransformRegistryEntry.h"
#include "model/transforms/BuiltInTransforms.h"
#include "model/transforms/TransformRegistry.h"
#include "model/transforms/TransformTypeNames.h"

namespace {

struct EditorFactoryForName
{
    const QString& name;
    TransformEditorFactory factory;
};

const EditorFactoryForName kEditorFactories[] = {
    {TransformTypeNames::Transpose, &createNoteTransposerEditor},
    {TransformTypeNames::ConvergeOnNote, &createConvergeOnNoteEditor},
    {TransformTypeNames::VelocityMap, &createVelocityMappingEditor},
    {TransformTypeNames::VelocityToCC, &createVelocityToCCEditor},
    {TransformTypeNames::VelocityFromCC, &createVelocityFromCCEditor},
    {TransformTypeNames::MakeMonophonic, &createMakeMonophonicEditor},
    {TransformTypeNames::NoteFilter, &createNoteFilterEditor},
    {TransformTypeNames::VelocityFilter, &createVelocityFilterEditor},
    {TransformTypeNames::VelocityVariation, &createVelocityVariationEditor},
    {TransformTypeNames::IgnoreAllNotes, &createNoteBlockerEditor},
    {TransformTypeNames::ChangeCCNumber, &createCCNumberChangerEditor},
    {TransformTypeNames::CCMap, &createCCMappingEditor},
    {TransformTypeNames::CCCopy, &createCCCopyEditor},
    {TransformTypeNames::IgnoreCC, &createIgnoreCCEditor},
    {TransformTypeNames::IgnoreAllControllers, &createCCBlockerEditor},
    {TransformTypeNames::InvertPitchChange, &createPitchChangeInverterEditor},
    {TransformTypeNames::PitchChangeToCC, &createPitchChangeToCCEditor},
    {TransformTypeNames::IgnorePitchChange, &createIgnorePitchChangeEditor},
    {TransformTypeNames::ChannelAftertouchToCC, &createChannelAftertouchToCCEditor},
    {TransformTypeNames::IgnoreChannelAftertouch, &createIgnoreChannelAftertouchEditor},
    {TransformTypeNames::Inspector, &createMessageInspectorEditor},
};

} // namespace

void registerBuiltInTransformEditors()
{
    registerBuiltInTransforms();
    TransformRegistry* registry = TransformRegistry::GetInstance();
    for (const EditorFactoryForName& item : kEditorFactories) {
        auto* entry = qobject_cast<BuiltInTransformRegistryEntry*>(
            registry->getRegistryEntryForTransformNamed(item.name));
        if (entry != nullptr)
            entry->setEditorFactory(item.factory);
    }
}
