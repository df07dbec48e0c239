#pragma once

#include "model/transforms/MIDIDataTransform.h"

#include <QMetaType>
#include <QString>
#include <memory>
#include <vector>

/// MIDI messages as plain bytes, in the order they go out on the wire.
using ByteStream = std::vector<midiMessage_t>;
Q_DECLARE_METATYPE(ByteStream)

/// Runs one message list through the chain the way a patch does: bypassed transforms are
/// skipped, then the entries are sent from the last to the first, and the views' signals of the
/// pass are pumped. Returns what was sent.
ByteStream sendThroughChain(const std::vector<MIDIDataTransform*>& chain, midiMessageList_t& list);

/// Runs one incoming message (the patch's copy; the caller's) through the chain like the above.
ByteStream sendThroughChain(const std::vector<MIDIDataTransform*>& chain, midiMessage_t* incoming);

/// Plays each incoming message on its own through the chain, as a patch receives them one by
/// one, and returns everything sent, in sending order.
ByteStream playThroughChain(const std::vector<MIDIDataTransform*>& chain, const ByteStream& incoming);

/// Plays each message on its own through the one transform, as playThroughChain does; an empty
/// entry in `incoming` is the moment the user edits the transform: `edit` runs instead.
ByteStream playWithEdits(MIDIDataTransform& transform, const ByteStream& incoming,
                         void (*edit)(MIDIDataTransform&));

/// "90 3C 64 | B0 07 5A" for readable comparisons.
QString toHex(const ByteStream& messages);

/// Checks a registry entry as the transform menu shows it: the name creates a transform of that
/// type, editable or not, with the description (and " (bypassed)" once bypassed). Test functions
/// only; reports through QtTest.
void verifyMenuEntryCreatesType(const QString& type, const QString& description, bool editable);

/// A transform created by its registry name with no parent (the built-in types are registered
/// on first use).
std::unique_ptr<MIDIDataTransform> createTransformNamed(const QString& name);
