#include "model/transforms/BuiltInTransforms.h"

#include "model/transforms/BuiltInTransformRegistryEntry.h"
#include "model/transforms/TransformFactories.h"
#include "model/transforms/TransformRegistry.h"
#include "model/transforms/TransformTypeNames.h"

namespace {

struct BuiltInTransform
{
    const QString& name;
    const char* category;
    const char* iconPath;
    const char* description;
    bool editable;
    TransformFactory factory;
};

struct CategoryIcon
{
    const char* category;
    const char* iconPath;
};

// Menu order: categories appear in the order of their first entry.
const BuiltInTransform kBuiltInTransforms[] = {
    {TransformTypeNames::Transpose, "Note", ":/icons/transpose_16x16.png",
     "Transpose note by a certain number of semitones.", true, &createNoteTransposer},
    {TransformTypeNames::ConvergeOnNote, "Note", ":/icons/converge_on_note_16x16.png",
     "Change all incoming notes to a single, specified note.", true, &createConvergeOnNote},
    {TransformTypeNames::VelocityMap, "Note", ":/icons/velocity_map_16x16.png", "Remap note velocities.",
     true, &createVelocityMapping},
    {TransformTypeNames::VelocityToCC, "Note", ":/icons/velocity_to_cc_16x16.png",
     "Create new continuous controller (CC) message from note velocity.", true, &createVelocityToCC},
    {TransformTypeNames::VelocityFromCC, "Note", ":/icons/velocity_from_cc_16x16.png",
     "Set note velocity from a continuous controller (CC).", true, &createVelocityFromCC},
    {TransformTypeNames::MakeMonophonic, "Note", ":/icons/make_monophonic_16x16.png",
     "Turn off sounding note when a new note is played.", false, &createMakeMonophonic},
    {TransformTypeNames::NoteFilter, "Note", ":/icons/note_filter_16x16.png",
     "Filter out (ignore) desired notes.", true, &createNoteFilter},
    {TransformTypeNames::VelocityFilter, "Note", ":/icons/velocity_filter_16x16.png",
     "Filter out (ignore) notes above or below a certain velocity.", true, &createVelocityFilter},
    {TransformTypeNames::VelocityVariation, "Note", ":/icons/velocity_variation_16x16.png",
     "Randomly vary note velocities by a specified amount.", true, &createVelocityVariation},
    {TransformTypeNames::IgnoreAllNotes, "Note", ":/icons/ignore_all_notes_16x16.png",
     "Filter out (ignore) all notes.", false, &createNoteBlocker},
    {TransformTypeNames::ChangeCCNumber, "Control", ":/icons/change_cc_num_16x16.png",
     "Change one continuous controller (CC) number to another.", true, &createCCNumberChanger},
    {TransformTypeNames::CCMap, "Control", ":/icons/cc_map_16x16.png",
     "Remap continuous controller (CC) values.", true, &createCCMapping},
    {TransformTypeNames::CCCopy, "Control", ":/icons/cc_copy_16x16.png",
     "Create new continuous controller (CC) message from another.", true, &createCCCopy},
    {TransformTypeNames::IgnoreCC, "Control", ":/icons/ignore_cc_16x16.png",
     "Ignore certain continuous controller (CC) messages.", true, &createIgnoreCC},
    {TransformTypeNames::IgnoreAllControllers, "Control", ":/icons/ignore_all_cc_16x16.png",
     "Filter out (ignore) all continuous controller (CC) messages.", false, &createCCBlocker},
    {TransformTypeNames::InvertPitchChange, "Pitch Change", ":/icons/invert_pitch_change_16x16.png",
     "Invert direction of pitch change messages.", false, &createPitchChangeInverter},
    {TransformTypeNames::PitchChangeToCC, "Pitch Change", ":/icons/pitch_change_to_cc_16x16.png",
     "Create new continuous controller (CC) message from a pitch change message.", true,
     &createPitchChangeToCC},
    {TransformTypeNames::IgnorePitchChange, "Pitch Change", ":/icons/ignore_pitch_change_16x16.png",
     "Ignore pitch change messages.", false, &createIgnorePitchChange},
    {TransformTypeNames::ChannelAftertouchToCC, "Aftertouch", ":/icons/aftertouch_to_cc_16x16.png",
     "Create new continuous controller (CC) message from channel aftertouch pressure.", true,
     &createChannelAftertouchToCC},
    {TransformTypeNames::IgnoreChannelAftertouch, "Aftertouch", ":/icons/ignore_channel_aftertouch_16x16.png",
     "Ignore channel aftertouch messages.", false, &createIgnoreChannelAftertouch},
    {TransformTypeNames::Inspector, "Utility", ":/icons/inspector_16x16.png",
     "Inspect incoming MIDI messages without affecting them.", true, &createMessageInspector},
};

const CategoryIcon kCategoryIcons[] = {
    {"Note", ":/icons/note_16x16.png"},          {"Control", ":/icons/cc_16x16.png"},
    {"Pitch Change", ":/icons/pitch_16x16.png"}, {"Aftertouch", ":/icons/aftertouch_16x16.png"},
    {"Utility", ":/icons/settings_16x16.png"},
};

QString categoryIconPath(const QString& category)
{
    for (const CategoryIcon& icon : kCategoryIcons) {
        if (category == QLatin1String(icon.category))
            return QString::fromLatin1(icon.iconPath);
    }
    return QString();
}

} // namespace

void registerBuiltInTransforms()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;

    TransformRegistry* registry = TransformRegistry::GetInstance();
    for (const BuiltInTransform& type : kBuiltInTransforms) {
        const QString category = QString::fromLatin1(type.category);
        if (!registry->getTransformCategoryNames().contains(category))
            registry->setIconPathForCategoryNamed(category, categoryIconPath(category));
        registry->registerTransform(new BuiltInTransformRegistryEntry(
            type.name, category, QString::fromLatin1(type.iconPath), QString::fromLatin1(type.description),
            type.editable, type.factory));
    }
}
