#include "model/transforms/MessageInspector.h"

#include "model/MIDIMessage.h"

namespace {
// Room reserved per line up front, so a text usually takes one allocation.
constexpr qsizetype kTypicalLineLength = 48;
} // namespace

MessageInspector::MessageInspector(QObject* parent) : MIDIDataTransform(QStringLiteral("Inspector"), parent)
{
    // Naming a note the first time reads the preferences and connects to their change notifier;
    // do that here on the GUI thread rather than on the first inspected note.
    (void)getMIDINoteName(60);
    connect(this, &MessageInspector::_descriptionsBuilt, this, &MessageInspector::_descriptionsBuiltSLOT,
            Qt::QueuedConnection);
}

void MessageInspector::transformWhatYouCan(midiMessageList_t* messages)
{
    const bool building = _hasListeners.load();
    QString text;
    if (building && !messages->empty())
        text.reserve(static_cast<qsizetype>(messages->size()) * kTypicalLineLength);
    for (const midiMessage_t* message : *messages) {
        if (building) {
            if (!text.isEmpty())
                text += QLatin1Char('\n');
            text += getMessageDescription(message);
        }
        emit handledAMessage();
    }
    if (building)
        emit _descriptionsBuilt(text, QPrivateSignal());
}

void MessageInspector::connectNotify(const QMetaMethod& signal)
{
    if (signal == QMetaMethod::fromSignal(&MessageInspector::mostRecentMessageDescriptionsChangedTo)) {
        _listenerConnections.fetch_add(1);
        _hasListeners.store(true);
    }
}

void MessageInspector::_descriptionsBuiltSLOT(QString messageDescs)
{
    _mostRecentMessageDescriptions = messageDescs;
    const unsigned connectionsBefore = _listenerConnections.load();
    if (!isSignalConnected(
            QMetaMethod::fromSignal(&MessageInspector::mostRecentMessageDescriptionsChangedTo))) {
        _hasListeners.store(false);
        // A listener that connected while we looked must not be forgotten.
        if (_listenerConnections.load() != connectionsBefore)
            _hasListeners.store(true);
    }
    emit mostRecentMessageDescriptionsChangedTo(messageDescs);
}
