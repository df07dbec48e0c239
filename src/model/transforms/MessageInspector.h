#pragma once

#include "model/transforms/MIDIDataTransform.h"

#include <QString>
#include <array>
#include <atomic>
#include <cstdint>

/// "Inspector": shows the messages that reach its place in the chain, one line per message
/// ("Ch. 1\tNote On: C4\tVelocity: 100"), and never changes the list. Its editor shows the
/// traffic; there are no parameters.
///
/// Threads. The processing thread only copies the bytes of the pass into fixed-size atomic slots
/// (no allocation, no lock, never waits). On each tick of the ModelSignalPump the GUI thread reads
/// the most recent pass, builds its text and announces it with
/// mostRecentMessageDescriptionsChangedTo, but only while that signal has a receiver; otherwise
/// no text is built and the stored text keeps the last one announced.
class MessageInspector : public MIDIDataTransform
{
    Q_OBJECT

public:
    /// Messages of one pass that are kept and described; more are counted but not shown.
    static constexpr int kMaxMessagesShown = 32;

    explicit MessageInspector(QObject* parent);

    /// The descriptions of the messages of the most recent announced pass, one per line; empty
    /// for a pass with an empty list. GUI thread only.
    QString getMostRecentMessageDescriptions() const { return _mostRecentMessageDescriptions; }

    /// Notes handledAMessage and keeps the bytes of the pass for the pump.
    /// MIDI thread: no allocation, no blocking.
    void transformWhatYouCan(midiMessageList_t* messages) override;

    void emitPendingSignals() override;
    bool hasPumpedListeners() const override;

signals:
    /// The new text, emitted on the GUI thread at most once a pump tick, for the latest pass.
    void mostRecentMessageDescriptionsChangedTo(QString messageDescs);

protected:
    void connectNotify(const QMetaMethod& signal) override;

private:
    /// Reads the latest complete pass; false while the processing thread is writing one.
    bool _readLatestPass(QString& text, unsigned& sequence) const;

    QString _mostRecentMessageDescriptions;
    // The latest pass, written like a sequence lock: the sequence is odd while a pass is being
    // written and moves on when it is complete. Every slot is atomic, so a reader never sees a
    // torn value, and it retries when the sequence moved while it read.
    std::atomic<unsigned> _passSequence{0};
    std::atomic<int> _passSize{0};
    std::array<std::atomic<std::uint32_t>, kMaxMessagesShown> _passMessages{};
    unsigned _announcedSequence = 0; // GUI thread
};
