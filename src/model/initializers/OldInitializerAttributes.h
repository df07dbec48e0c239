#pragma once

#include <QDomElement>
#include <QList>
#include <QObject>

class MIDIPatchInitializer;

/// Setup files from before initializers existed kept up to three initial messages as attribute
/// pairs on the patch element. This makes the initializers they stand for, in the order program
/// change ("needsInitProgramChange" with "initProgramChange"), keyswitch ("needsInitKeyswitch" with
/// "initKeyswitch": a Note On with velocity 127, then a Note Off for the same note) and volume
/// ("needsInitVolume" with "initVolume"). A pair counts when its flag is present and not 0 and its
/// value is present; a value outside 0 to 127 makes nothing rather than a wrapped-round number.
/// The initializers are owned by the parent, marked modified, and not yet added to any patch.
/// GUI thread only.
QList<MIDIPatchInitializer*> createInitializersFromOldPatchAttributes(const QDomElement& patchElement,
                                                                      QObject* parent);
