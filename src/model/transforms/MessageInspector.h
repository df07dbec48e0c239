#pragma once

#include "model/transforms/MIDIDataTransform.h"

#include <QMetaMethod>
#include <QString>
#include <atomic>

/// "Inspector": shows the messages that reach its place in the chain, one line per message
/// ("Ch. 1\tNote On: C4\tVelocity: 100"), and never changes the list. Its editor shows the
/// traffic; there are no parameters.
///
/// Threads. The text is built on the processing thread and handed to the inspector's own thread
/// (the GUI thread) through a queued signal; only there is it stored and announced with
/// mostRecentMessageDescriptionsChangedTo, so views and the accessor never touch state the
/// processing thread writes. The processing thread allocates only the text (and Qt's queued
/// delivery posts it as one event); it never waits for the GUI thread and takes no lock of this
/// class. While nothing is connected to mostRecentMessageDescriptionsChangedTo, no text is built
/// or posted at all and the stored text keeps the last one announced. Connect on the GUI thread.
class MessageInspector : public MIDIDataTransform
{
    Q_OBJECT

public:
    explicit MessageInspector(QObject* parent);

    /// The descriptions of the messages of the most recent announced pass, one per line; empty
    /// for a pass with an empty list. GUI thread only.
    QString getMostRecentMessageDescriptions() const { return _mostRecentMessageDescriptions; }

    /// Emits handledAMessage for each message and, when someone listens, builds the text and
    /// sends it to the GUI thread. MIDI thread: never blocks; allocates only for the text, and
    /// only while someone listens.
    void transformWhatYouCan(midiMessageList_t* messages) override;

signals:
    /// The new text, emitted on the GUI thread after each inspected pass.
    void mostRecentMessageDescriptionsChangedTo(QString messageDescs);
    /// Carries a finished text from the processing thread to the inspector's thread.
    void _descriptionsBuilt(QString messageDescs, QPrivateSignal);

protected:
    /// Notes a new listener of mostRecentMessageDescriptionsChangedTo so that texts are built.
    void connectNotify(const QMetaMethod& signal) override;

private slots:
    /// Stores and announces a text; re-checks whether anyone still listens. GUI thread.
    void _descriptionsBuiltSLOT(QString messageDescs);

private:
    QString _mostRecentMessageDescriptions;
    /// Whether texts are wanted. Set by connectNotify; cleared on the GUI thread when a delivered
    /// text finds no listener left (disconnectNotify may not query connections).
    std::atomic<bool> _hasListeners{false};
    /// Counts connections of listeners, so a clear cannot undo a connection made meanwhile.
    std::atomic<unsigned> _listenerConnections{0};
};
