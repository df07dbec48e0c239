#pragma once

#include <QString>

class MIDIPatchInitializer;

/// What an initializer may ask of the patch that owns it. The patch implements this next to its
/// QObject base, so initializers can look at their owner without depending on the patch class.
/// GUI thread only.
class MIDIPatchInitializerOwner
{
public:
    virtual ~MIDIPatchInitializerOwner() = default;

    /// The first initializer in the owner's list whose name equals the type name, or null.
    virtual MIDIPatchInitializer* getFirstMIDIPatchInitializerOfType(const QString& typeName) const = 0;
};
