#pragma once

#include "midi/MIDITypes.h"

#include <QList>
#include <QObject>
#include <QString>

class InitializerRegistryEntry;
class MIDIPatchInitializer;
class NoteOffInitializer;
class NoteOnInitializer;
class ProgChgInitializer;
class VolumeInitializer;
class QWidget;

/// The initializer types, in registration order, created by type name. A singleton created on first
/// use, which registers the six built-in types at once, so that creating an initializer by name
/// never depends on start-up having run in a particular order. It is the entries' QObject parent.
/// GUI thread only.
class InitializerRegistry : public QObject
{
    Q_OBJECT

public:
    static InitializerRegistry* GetInstance();

    /// Appends the entry and becomes its parent; ignored when the entry is already registered.
    void registerInitializer(InitializerRegistryEntry* entry);

    int getNumRegistryEntries() const { return static_cast<int>(_entries.size()); }
    /// Null when the index is out of range.
    InitializerRegistryEntry* getRegistryEntryAtIndex(int index) const;
    /// The first entry with that name, or null.
    InitializerRegistryEntry* getRegistryEntryNamed(const QString& name) const;

    /// A new initializer of the named type with its constructor defaults, or null when no entry
    /// has that name.
    MIDIPatchInitializer* createInstanceOfInitializerNamed(const QString& name, QObject* parent);
    /// The editor widget of the initializer's type (found by its name), or null when the type is
    /// not registered or no editor is installed for it.
    QWidget* createEditorForInitializer(MIDIPatchInitializer* initializer, QWidget* parent);

private:
    InitializerRegistry() = default;
    void _registerBuiltIns();

    static InitializerRegistry* _instance;
    QList<InitializerRegistryEntry*> _entries;
};

/// Makes sure the six built-in types are registered, in the order Note On, Note Off, Program Change,
/// Volume, CC, Pitch Bend (the order of the patch's initializer menu). Calling it again adds nothing.
void registerBuiltInInitializers();

/// The registry's createInstanceOfInitializerNamed: null for a type that is not registered.
MIDIPatchInitializer* createMIDIPatchInitializerOfType(const QString& typeName, QObject* parent);

// Initializers with given values, set through the setters (so they are marked modified). Used to
// convert the initialization attributes of old setup files.
NoteOnInitializer* createNoteOnInitializer(BYTE note, BYTE velocity, QObject* parent);
NoteOffInitializer* createNoteOffInitializer(BYTE note, QObject* parent);
ProgChgInitializer* createPCInitializer(BYTE program, QObject* parent);
VolumeInitializer* createVolumeInitializer(BYTE volume, QObject* parent);
