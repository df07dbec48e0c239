#include "model/initializers/OldInitializerAttributes.h"

#include "model/initializers/InitializerRegistry.h"
#include "model/initializers/NoteOffInitializer.h"
#include "model/initializers/NoteOnInitializer.h"
#include "model/initializers/ProgChgInitializer.h"
#include "model/initializers/VolumeInitializer.h"

#include <optional>

namespace {

// The value of an old initialization pair, when the pair asks for a message and its value is a
// valid 7-bit number.
std::optional<BYTE> oldInitValue(const QDomElement& element, const QString& flagName,
                                 const QString& valueName)
{
    if (!element.hasAttribute(flagName) || element.attribute(flagName).toInt() == 0)
        return std::nullopt;
    if (!element.hasAttribute(valueName))
        return std::nullopt;
    const int value = element.attribute(valueName).toInt();
    if (value < 0 || value > 127)
        return std::nullopt;
    return static_cast<BYTE>(value);
}

} // namespace

QList<MIDIPatchInitializer*> createInitializersFromOldPatchAttributes(const QDomElement& patchElement,
                                                                      QObject* parent)
{
    QList<MIDIPatchInitializer*> initializers;
    if (auto program = oldInitValue(patchElement, QStringLiteral("needsInitProgramChange"),
                                    QStringLiteral("initProgramChange")))
        initializers.append(createPCInitializer(*program, parent));
    if (auto note = oldInitValue(patchElement, QStringLiteral("needsInitKeyswitch"),
                                 QStringLiteral("initKeyswitch"))) {
        initializers.append(createNoteOnInitializer(*note, 127, parent));
        initializers.append(createNoteOffInitializer(*note, parent));
    }
    if (auto volume =
            oldInitValue(patchElement, QStringLiteral("needsInitVolume"), QStringLiteral("initVolume")))
        initializers.append(createVolumeInitializer(*volume, parent));
    return initializers;
}
