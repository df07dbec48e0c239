#pragma once

#include "model/MIDIMessage.h"
#include "model/OwnedChildList.h"
#include "model/PumpedSignalSource.h"
#include "model/RoutingMutex.h"
#include "model/initializers/MIDIPatchInitializerOwner.h"
#include "model/routing/ColorLabeledMIDIObject.h"
#include "model/routing/SoundingNoteRecord.h"

#include <QList>
#include <QVector>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <vector>

class MIDIDataTransform;
class MIDIOutput;
class MIDIPatchInitializer;
class MIDIPortIOManager;
class MIDIPortInfo;

/// A patch: the last station of a message. Sends what its output hands it to one output port and
/// channel, through its transform chain, optionally delayed, and not at all while muted. Sends its
/// initializers when its output becomes active. Remembers every note and sustain pedal it actually
/// sent, so that muting, removing, re-porting, stopping and panic end exactly those.
///
/// Threads: handleMIDIMessage and performNeededActivationSteps run on the MIDI thread or the GUI
/// thread; everything else is GUI thread only. The message lock is held across channel forcing,
/// transforms and sending; the queue lock guards the delayed queue (queue lock first when both
/// are taken; all locks and their order: model/LockOrder.h). Chain edits take the message lock
/// so a message sees the old chain or the new one.
/// Never change the port while holding the message lock: the port manager waits for deliveries.
/// receivedMIDIMessage reaches views through the ModelSignalPump, after the lock is released.
class MIDIPatchTarget : public ColorLabeledMIDIObject,
                        public MIDIPatchInitializerOwner,
                        public PumpedSignalSource
{
    Q_OBJECT

public:
    typedef int MessageDelayType;
    static constexpr MessageDelayType kConstantDelay = 0;
    static constexpr MessageDelayType kRandomDelay = 1;
    static constexpr BYTE kAnyChannel = kAnyMIDIChannel;
    static constexpr int kMaxMessageDelay = 500;

    MIDIPatchTarget(QString portName, BYTE channel, QString name, QObject* parent);
    MIDIPatchTarget(QDomElement& element, QObject* parent);
    ~MIDIPatchTarget() override;

    QString getObjTypeName() const override { return QStringLiteral("MIDIPatchTarget"); }
    QDomElement toDomElement(QDomDocument& doc) override;
    void initFromDomElement(const QDomElement& element) override;

    bool isMuted() const { return _muted.load(); }
    bool isSpecificMIDIChannel() const { return _midiChannel.load() != kAnyChannel; }
    bool hasMessageDelay() const { return _messageDelay.load() > 0; }
    bool isMessageDelayConstant() const { return _messageDelayType.load() == kConstantDelay; }
    bool isMessageDelayRandom() const { return _messageDelayType.load() == kRandomDelay; }
    bool isConnectedToMIDIPort() const { return !_outputPortName.isEmpty(); }
    bool hasAnyMIDIDataTransforms() const { return !_transforms.isEmpty(); }
    bool hasAnyMIDIPatchInitializers() const { return !_initializers.isEmpty(); }
    bool areAnyActivationStepsRequired() const { return hasAnyMIDIPatchInitializers(); }

    QString getMIDIOutputPortName() const { return _outputPortName; }
    BYTE getMIDIChannel() const { return _midiChannel.load(); }
    int getMessageDelayInMillisecs() const { return _messageDelay.load(); }
    MessageDelayType getMessageDelayType() const { return _messageDelayType.load(); }
    MIDIOutput* getParentMIDIOutput() const;

    void setMuted(bool muted);
    void muteToggle() { setMuted(!isMuted()); }
    void setMIDIChannel(BYTE channel);
    void setMessageDelayInMillisecs(int delay);
    void setMessageDelayType(MessageDelayType type);
    void chooseNextMessageDelayType();
    /// Returns true when the given name was used, false when a replacement was taken.
    bool setMIDIOutputPortName(QString portName);

    // The transform chain.
    int getNumMIDIDataTransforms() const { return _transforms.size(); }
    MIDIDataTransform* getMIDIDataTransformAtIndex(int index) const { return _transforms.at(index); }
    int getIndexOfMIDIDataTransform(MIDIDataTransform* mdt) const { return _transforms.indexOf(mdt); }
    bool hasMIDIDataTransform(MIDIDataTransform* mdt) const { return _transforms.contains(mdt); }
    void addMIDIDataTransform(MIDIDataTransform* mdt);
    void removeMIDIDataTransform(MIDIDataTransform* mdt, bool deleteIt);
    void removeAllMIDIDataTransforms(bool deleteIt);
    void removeMIDIDataTransformsFrom(MIDIDataTransform* mdt, bool deleteIt);
    void moveMIDIDataTransformToIndex(MIDIDataTransform* mdt, int newIndex);
    MIDIDataTransform* createNewMIDIDataTransform(QString typeName);
    void setBypassStateForTransforms(bool bypass, MIDIDataTransform* from);

    // The initializers.
    int getNumMIDIPatchInitializers() const { return _initializers.size(); }
    MIDIPatchInitializer* getMIDIPatchInitializerAtIndex(int index) const { return _initializers.at(index); }
    int getIndexOfMIDIPatchInitializer(MIDIPatchInitializer* mpi) const { return _initializers.indexOf(mpi); }
    bool hasMIDIPatchInitializer(MIDIPatchInitializer* mpi) const { return _initializers.contains(mpi); }
    void addMIDIPatchInitializer(MIDIPatchInitializer* mpi);
    void removeMIDIPatchInitializer(MIDIPatchInitializer* mpi, bool deleteIt);
    void removeAllMIDIPatchInitializers(bool deleteIt);
    void removeMIDIPatchInitializersFrom(MIDIPatchInitializer* mpi, bool deleteIt);
    void moveMIDIPatchInitializerToIndex(MIDIPatchInitializer* mpi, int newIndex);
    MIDIPatchInitializer* createNewMIDIPatchInitializer(QString typeName);
    MIDIPatchInitializer* getFirstMIDIPatchInitializerOfType(const QString& typeName) const override;

    /// Entry point for every message the output hands on. The message stays the caller's.
    /// MIDI thread (or GUI thread for injected messages): no allocation unless delayed.
    void handleMIDIMessage(double timeStamp, const midiMessage_t* message);
    /// Sends the initializers, when there are any and the patch is not muted. Either thread.
    void performNeededActivationSteps();
    /// Ends every note this patch sent (note offs with velocity 127) and brings every gesture it
    /// left away from rest back to rest (pedals and wheels to 0, the bend to the centre), on the
    /// channel and port where they began. Either thread.
    void endSoundingNotes();
    /// endSoundingNotes(), then controller 64 = 0 and All Notes Off on every channel it sends on.
    void panic();
    /// Sends a message as one of its initializers would ask (on its port and channel, only while
    /// its output is active and it is not muted), also for an initializer no longer in the patch:
    /// an editor ends the test note it sounded this way. GUI thread.
    void deliverInitializerMessage(midiMessage_t* message) { _mpiMessageDeliveryReqSLOT(message); }
    /// Number of notes this patch has sent and not ended (for views and tests). Any thread.
    int getNumNotesSounding() const;
    /// The output port has vanished: the notes and pedals sounding there are forgotten, since
    /// nothing can end them on a port that is gone. The port name stays. GUI thread only.
    void outputPortVanished();
    /// The output port is back and connected: when the parent output is active, the initializers
    /// are sent again, for the synth may have started afresh. GUI thread only.
    void outputPortReturned();

    void emitPendingSignals() override;
    bool hasPumpedListeners() const override;

public slots:
    void setModified(bool modified) override;

signals:
    void mutedChangedTo(bool muted);
    void receivedMIDIMessage();
    void midiPortNameChangedTo(QString newPortName);
    void midiChannelChangedTo(BYTE newChannel);
    void messageDelayChangedTo(int newDelay);
    void messageDelayTypeChangedTo(int newDelayType);
    void midiDataTransformAdded(MIDIDataTransform* mdt);
    void midiDataTransformRemoved(MIDIDataTransform* mdt);
    void midiDataTransformMovedTo(MIDIDataTransform* mdt, int newIndex);
    void midiPatchInitializerAdded(MIDIPatchInitializer* mpi);
    void midiPatchInitializerRemoved(MIDIPatchInitializer* mpi);
    void midiPatchInitializerMovedTo(MIDIPatchInitializer* mpi, int newIndex);
    void _doDelayedMessageHandling();

protected:
    void connectNotify(const QMetaMethod& signal) override;

private slots:
    void _doDelayedMessageTimerSLOT();
    void _processMessageFromDelayedQueueSLOT();
    void _mpiMessageDeliveryReqSLOT(midiMessage_t* message);

private:
    void _init();
    OwnedChildList<MIDIDataTransform>::Hooks _transformListHooks();
    OwnedChildList<MIDIPatchInitializer>::Hooks _initializerListHooks();
    /// With `delay` above 0 the backend keeps the delay: what the chain yields is handed over at
    /// once with its due time.
    void _handleMIDIMessageNow(double timeStamp, const midiMessage_t* message, bool released, int delay = 0);
    void _handleMIDIMessageLater(double timeStamp, const midiMessage_t* message);
    /// The due time of a message that comes in now through a delay of `delay` ms. Message lock held.
    std::int64_t _dueTimeForDelayLocked(int delay);
    /// Hands one message to the port, at the due time of the message being handled if it has one.
    /// Message lock held. False when the port did not take it.
    bool _sendToPort(int portIndex, midiMessage_t* message);
    /// Sends one message to the port and records what it starts or ends. Message lock held.
    void _deliver(midiMessage_t* message);
    /// Sends a note off (or pedal up) for what the record holds. Message lock held.
    void _endRecordedNotesLocked(BYTE velocity);
    void _endNotesOfSourceLocked(BYTE sourceChannel, BYTE sourceNote, BYTE velocity);
    BYTE _channelForGeneratedMessages() const;
    QString _findSuitableReplacementOutputPortNameFor(const QString& missingName) const;

    std::atomic<bool> _muted{false};
    QString _outputPortName;
    std::atomic<int> _outputPortIndex{-1};
    std::atomic<BYTE> _midiChannel{0};
    std::atomic<int> _messageDelay{0};
    std::atomic<MessageDelayType> _messageDelayType{kConstantDelay};
    MIDIPortIOManager* _portIOManager;
    MIDIPortInfo* _portInfo;

    mutable RoutingMutex _messageLock;
    midiMessage_t _workingMessage;
    midiMessage_t _generatedMessage;
    midiMessage_t _evictionMessage;
    OwnedChildList<MIDIDataTransform> _transforms{this, _transformListHooks()};
    OwnedChildList<MIDIPatchInitializer> _initializers{this, _initializerListHooks()};
    std::vector<midiMessage_t*> _messageList;
    SoundingNoteRecord _sounding;
    BYTE _currentSourceChannel = SoundingNoteRecord::kNoSource;
    BYTE _currentSourceNote = SoundingNoteRecord::kNoSource;
    std::uint32_t _currentMessageTag = 0;
    // Delays kept by the backend: the due time of the message being handled (-1: at once), the
    // latest due time handed over (so messages leave in the order they came), and this patch's tag
    // for taking back its scheduled note ons. Message lock.
    std::int64_t _currentDueTimeUs = -1;
    std::int64_t _lastDueTimeUs = 0;
    std::uint32_t _randomState = 0x9E3779B9u;
    const std::uint64_t _ownerTag;
    std::atomic<bool> _messageActivity{false};

    // Delayed messages with the moment each arrived, oldest first. The first _numScheduled of them
    // have a release timer running; a timer's wait counts from its message's arrival, so the time
    // the GUI thread takes to get to it does not add to the delay.
    struct DelayedMessage
    {
        midiMessage_t message;
        std::chrono::steady_clock::time_point arrival;
    };
    std::mutex _queueLock;
    QVector<DelayedMessage> _delayedQueue;
    int _numScheduled = 0;
};
