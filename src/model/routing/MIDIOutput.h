#pragma once

#include "model/MIDIMessage.h"
#include "model/OwnedChildList.h"
#include "model/PumpedSignalSource.h"
#include "model/RoutingMutex.h"
#include "model/routing/ColorLabeledMIDIObject.h"
#include "model/routing/GestureState.h"

#include <QList>
#include <QVector>
#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>

class MIDIPatchTarget;
class MIDIRoute;

/// One switchable destination of an input: hands each message to all of its patches in order and
/// remembers the notes it passed on and that are not yet released, and the gestures (pedals, pitch
/// bend, wheels) it left away from rest, per incoming channel, so that whatever began here can end
/// here after a switch.
///
/// Threads: handleMIDIMessage runs under its input's routing lock, on the MIDI thread or the GUI
/// thread; patch list changes take the same lock, so a message is handled by the old list or the
/// new one. Everything else is GUI thread only; readers of the sounding notes get a copy. The
/// locks and their order: model/LockOrder.h.
/// receivedMIDIMessage and activeChangedTo reach views through the ModelSignalPump when the
/// routing path caused them, after every lock is released.
class MIDIOutput : public ColorLabeledMIDIObject, public PumpedSignalSource
{
    Q_OBJECT

public:
    MIDIOutput(QString name, QObject* parent);
    MIDIOutput(QDomElement& element, QObject* parent, int loadIndex);
    ~MIDIOutput() override;

    QString getObjTypeName() const override { return QStringLiteral("MIDIOutput"); }
    QDomElement toDomElement(QDomDocument& doc) override;
    void initFromDomElement(const QDomElement& element) override;

    MIDIRoute* getParentMIDIRoute() const;
    bool isActive() const { return _active.load(); }
    BYTE getMainActivationValue() const { return _mainActivationValue.load(); }
    BYTE getActivationRangeValue() const { return _activationRangeValue.load(); }
    int getLoadIndex() const { return _loadIndex; }

    int getNumMIDIPatchTargets() const { return _patches.size(); }
    MIDIPatchTarget* getMIDIPatchTargetAtIndex(int index) const { return _patches.at(index); }
    int getIndexOfMIDIPatchTarget(MIDIPatchTarget* mpt) const { return _patches.indexOf(mpt); }
    bool hasMIDIPatchTarget(MIDIPatchTarget* mpt) const { return _patches.contains(mpt); }

    // The record of sounding notes; safe from any thread.
    bool isNoteSounding(BYTE note) const;
    bool hasNotesSounding() const;
    /// A copy of the sounding notes in arrival order (a note may appear more than once).
    QVector<BYTE> getNotesSounding() const;
    BYTE getVelocityOfNoteSounding(BYTE note) const;
    /// True while a sustain pedal value above 0 passed through here without a 0 since.
    bool hasSustainPedalDown() const;
    /// True while the gesture's last value that passed through here on the incoming channel left
    /// it away from rest.
    bool isGestureAwayFromRest(int gesture, BYTE channel) const;

    void setMainActivationValue(BYTE value);
    void setActivationRangeValue(BYTE value);
    void setActive(bool active);

    void setMuteStateOfAllPatchesTo(bool muted);
    void setMuteStateFromPatch(MIDIPatchTarget* mpt, bool muted);
    void muteAllPatchesExcept(MIDIPatchTarget* mpt);
    bool areAllPatchesMutedExcept(MIDIPatchTarget* mpt) const;

    void setColorLabelsForPatches(int index, MIDIPatchTarget* from);
    void clearColorLabelsForPatches(MIDIPatchTarget* from);

    void addMIDIPatchTarget(MIDIPatchTarget* mpt);
    void removeMIDIPatchTarget(MIDIPatchTarget* mpt, bool deleteIt);
    void removeMIDIPatchTargetsFrom(MIDIPatchTarget* mpt, bool deleteIt);
    void moveMIDIPatchTargetToIndex(MIDIPatchTarget* mpt, int newIndex);
    void replaceMIDIPatchTarget(MIDIPatchTarget* oldPatch, MIDIPatchTarget* newPatch);
    MIDIPatchTarget* addNewCloneOfMIDIPatchTarget(MIDIPatchTarget* mpt);
    MIDIPatchTarget* duplicateMIDIPatchTarget(MIDIPatchTarget* mpt);
    void copyAllPatchesFrom(MIDIOutput* other);
    MIDIPatchTarget* createNewMIDIPatchTarget(bool requestNameEdit, QString portName);

    void setAllMIDIOutputPortsTo(QString portName);
    int setOutputPortAndIncrementChannelFrom(MIDIPatchTarget* mpt, QString portName, int channel);
    int rerouteOutputPort(QString lookForPort, int lookForChannel, QString replaceWithPort,
                          int replaceWithChannel);

    /// Hands the message to every patch and records note ons, note offs and gestures.
    /// Caller holds the input's routing lock. MIDI thread: no allocation.
    void handleMIDIMessage(double timeStamp, const midiMessage_t* message);
    /// Ends every note and pedal each patch sent (see MIDIPatchTarget::endSoundingNotes).
    void endSoundingNotes();
    /// Panic on every patch, then forgets the sounding notes.
    void panic();

    void emitPendingSignals() override;
    bool hasPumpedListeners() const override;

public slots:
    void setModified(bool modified) override;

signals:
    void receivedMIDIMessage();
    void activeChangedTo(bool nowActive);
    void mainActivationValueChangedTo(int newActivationValue);
    void activationRangeValueChangedTo(int newActivationRangeValue);
    void midiPatchTargetAdded(MIDIPatchTarget* mpt);
    void midiPatchTargetRemoved(MIDIPatchTarget* mpt);
    void midiPatchTargetMovedTo(MIDIPatchTarget* mpt, int newIndex);

protected:
    void connectNotify(const QMetaMethod& signal) override;

private:
    friend class MIDIRoute;
    /// Locks the parent input's routing lock (nothing when there is no parent input).
    std::unique_lock<RoutingMutex> _lockRouting() const;
    OwnedChildList<MIDIPatchTarget>::Hooks _patchListHooks();
    /// endSoundingNotes() and panic() with the routing lock already held.
    void _endSoundingNotesLocked();
    void _panicLocked();
    void _swapActivationValuesIfNeeded();
    void _performActivationStepsOnPatchTargets();
    void _forgetSoundingNotesLocked();
    /// Emits activeChangedTo when the state changed since views were last told. GUI thread.
    void _announceActiveState();

    std::atomic<bool> _active{false};
    std::atomic<BYTE> _mainActivationValue{0};
    std::atomic<BYTE> _activationRangeValue{0};
    OwnedChildList<MIDIPatchTarget> _patches{this, _patchListHooks()};
    int _loadIndex = -1;
    // True while the output reads itself from a document: an activation then sends nothing.
    bool _readingDocument = false;

    // Notes passed on and not ended, in arrival order, as channel * 128 + note (a note off ends a
    // note of its own channel only), and the latest velocity of each note number.
    static constexpr int kMaxNotesSounding = 256;
    std::array<std::uint16_t, kMaxNotesSounding> _notesSounding{};
    int _numNotesSounding = 0;
    std::array<BYTE, 128> _soundingVelocities{};
    // Gestures left away from rest, by the channel they came in on (the input's routing decides on
    // incoming messages).
    GestureState _gestures;

    // Set by the routing path for the pump; what views were last told (GUI thread).
    std::atomic<bool> _messageActivity{false};
    bool _announcedActive = false;
};
