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

/// Plays each incoming message on its own through the chain, as a patch receives them one by
/// one, and returns everything sent, in sending order.
ByteStream playThroughChain(const std::vector<MIDIDataTransform*>& chain, const ByteStream& incoming);

/// "90 3C 64 | B0 07 5A" for readable comparisons.
QString toHex(const ByteStream& messages);

/// A transform created by its registry name with no parent (the built-in types are registered
/// on first use).
std::unique_ptr<MIDIDataTransform> createTransformNamed(const QString& name);
