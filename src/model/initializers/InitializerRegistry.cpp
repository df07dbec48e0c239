#include "model/initializers/InitializerRegistry.h"

#include "model/initializers/CCInitIRE.h"
#include "model/initializers/NoteOffIRE.h"
#include "model/initializers/NoteOnIRE.h"
#include "model/initializers/PitchBendInitIRE.h"
#include "model/initializers/ProgChgIRE.h"
#include "model/initializers/VolumeInitIRE.h"

InitializerRegistry* InitializerRegistry::_instance = nullptr;

InitializerRegistry* InitializerRegistry::GetInstance()
{
    if (!_instance) {
        _instance = new InitializerRegistry();
        _instance->_registerBuiltIns();
    }
    return _instance;
}

void InitializerRegistry::registerInitializer(InitializerRegistryEntry* entry)
{
    if (!entry || _entries.contains(entry))
        return;
    entry->setParent(this);
    _entries.append(entry);
}

InitializerRegistryEntry* InitializerRegistry::getRegistryEntryAtIndex(int index) const
{
    return (index >= 0 && index < _entries.size()) ? _entries.at(index) : nullptr;
}

InitializerRegistryEntry* InitializerRegistry::getRegistryEntryNamed(const QString& name) const
{
    for (InitializerRegistryEntry* entry : _entries) {
        if (entry->getName() == name)
            return entry;
    }
    return nullptr;
}

MIDIPatchInitializer* InitializerRegistry::createInstanceOfInitializerNamed(const QString& name,
                                                                            QObject* parent)
{
    InitializerRegistryEntry* entry = getRegistryEntryNamed(name);
    return entry ? entry->createInitializerInstance(parent) : nullptr;
}

QWidget* InitializerRegistry::createEditorForInitializer(MIDIPatchInitializer* initializer, QWidget* parent)
{
    if (!initializer)
        return nullptr;
    InitializerRegistryEntry* entry = getRegistryEntryNamed(initializer->getName());
    return entry ? entry->createInitializerEditorWidget(initializer, parent) : nullptr;
}

void InitializerRegistry::_registerBuiltIns()
{
    // This order is the order of the patch's initializer menu.
    registerInitializer(new NoteOnIRE());
    registerInitializer(new NoteOffIRE());
    registerInitializer(new ProgChgIRE());
    registerInitializer(new VolumeInitIRE());
    registerInitializer(new CCInitIRE());
    registerInitializer(new PitchBendInitIRE());
}

void registerBuiltInInitializers()
{
    // The registry registers the built-in types when it is created; nothing more to do.
    InitializerRegistry::GetInstance();
}

MIDIPatchInitializer* createMIDIPatchInitializerOfType(const QString& typeName, QObject* parent)
{
    return InitializerRegistry::GetInstance()->createInstanceOfInitializerNamed(typeName, parent);
}

NoteOnInitializer* createNoteOnInitializer(BYTE note, BYTE velocity, QObject* parent)
{
    auto* initializer = new NoteOnInitializer(parent);
    initializer->setNote(note);
    initializer->setVelocity(velocity);
    return initializer;
}

NoteOffInitializer* createNoteOffInitializer(BYTE note, QObject* parent)
{
    auto* initializer = new NoteOffInitializer(parent);
    initializer->setNote(note);
    return initializer;
}

ProgChgInitializer* createPCInitializer(BYTE program, QObject* parent)
{
    auto* initializer = new ProgChgInitializer(parent);
    initializer->setPCNum(program);
    return initializer;
}

VolumeInitializer* createVolumeInitializer(BYTE volume, QObject* parent)
{
    auto* initializer = new VolumeInitializer(parent);
    initializer->setVolume(volume);
    return initializer;
}
