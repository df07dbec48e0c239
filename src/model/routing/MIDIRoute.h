#pragma once

#include "model/MIDIMessage.h"
#include "model/NoteEventRing.h"
#include "model/OwnedChildList.h"
#include "model/PumpedSignalSource.h"
#include "model/RoutingMutex.h"
#include "model/routing/ColorLabeledMIDIObject.h"
#include "model/routing/SongPlayGate.h"

#include <QList>
#include <array>
#include <atomic>
#include <bitset>
#include <cstdint>
#include <memory>
#include <mutex>

class ActivationLearn;
class MIDIOutput;
class MIDIPatchTarget;
class MIDIPortIOManager;
class MIDIPortInfo;
class MIDIRouteInputMessageHandler;
class MIDIRoutingSetup;

/// An input: listens on one input port and one channel (or every channel) and owns a list of
/// outputs, exactly one of them active. Activation messages (a keyswitch note, a program change or
/// one chosen controller) switch the active output and are consumed; everything else goes to the
/// active output, and note offs, and each value of a pedal, the pitch bend or a wheel, also to the
/// inactive outputs where that note still sounds or that gesture is still away from rest, so every
/// note and gesture ends on the sound that started it. An input may keep stray program changes
/// (ones that switch nothing) and the clock and active sensing away from its outputs.
///
/// Threads: each message is handled under the routing lock, on the MIDI thread for port input or
/// on the GUI thread for injected messages; changes of the output list take the same lock.
/// Everything else is GUI thread only. Never change ports while holding the routing lock (the
/// locks and their order: model/LockOrder.h).
/// The routing path emits no signal: it leaves what views need (activity, notes, last controller
/// and pitch-bend values, the active output) for the ModelSignalPump, which emits the signals
/// below on the GUI thread after the lock is released.
class MIDIRoute : public ColorLabeledMIDIObject, public PumpedSignalSource
{
    Q_OBJECT

public:
    typedef int OutputActivationMethod;
    typedef int OutputActivationSpecificity;
    static constexpr OutputActivationMethod kKeyswitchActivation = 0;
    static constexpr OutputActivationMethod kProgramChangeActivation = 1;
    static constexpr OutputActivationMethod kFirstControllerMethod = 2;
    static constexpr OutputActivationMethod kLastControllerMethod = 121;
    static constexpr OutputActivationSpecificity kSpecificValue = 0;
    static constexpr OutputActivationSpecificity kValueRange = 1;
    static constexpr BYTE kAnyChannel = kAnyMIDIChannel;
    /// A note on with this number (the lowest key of a full keyboard) makes the input active.
    static constexpr BYTE kInputActivationNote = 21;

    MIDIRoute(QString portName, BYTE channel, QString name, QObject* parent);
    MIDIRoute(QDomElement& element, QObject* parent);
    ~MIDIRoute() override;

    QString getObjTypeName() const override { return QStringLiteral("MIDIRoute"); }
    QDomElement toDomElement(QDomDocument& doc) override;
    void initFromDomElement(const QDomElement& element) override;

    MIDIRoutingSetup* getParentRoutingSetup() const;
    QString getMIDIInputPortName() const { return _inputPortName; }
    BYTE getMIDIChannel() const { return _midiChannel.load(); }
    bool isSpecificMIDIChannel() const { return getMIDIChannel() != kAnyChannel; }
    OutputActivationMethod getOutputActivationMethod() const { return _activationMethod.load(); }
    OutputActivationSpecificity getOutputActivationSpecificity() const
    {
        return _activationSpecificity.load();
    }
    bool isActivationMethodKeyswitch() const { return getOutputActivationMethod() == kKeyswitchActivation; }
    bool isActivationMethodProgramChange() const
    {
        return getOutputActivationMethod() == kProgramChangeActivation;
    }
    bool isActivationMethodController() const;
    int getActivationControllerNumber() const { return getOutputActivationMethod() - kFirstControllerMethod; }
    bool isOutputActivationValueSpecific() const
    {
        return getOutputActivationSpecificity() == kSpecificValue;
    }
    bool isOutputActivationValueRange() const { return getOutputActivationSpecificity() == kValueRange; }
    bool isActive() const { return _active.load(); }
    /// Program changes that activate no output are dropped instead of reaching the active output.
    bool dropsStrayProgramChanges() const { return _dropsStrayProgramChanges.load(); }
    /// Timing clock and active sensing are dropped instead of reaching the active output.
    bool dropsClockAndActiveSensing() const { return _dropsClockAndActiveSensing.load(); }
    MIDIOutput* getActiveMIDIOutput() const { return _activeOutput.load(); }
    /// Last values seen; any thread.
    pitchBendValue_t getLastPitchBendValue() const { return _lastPitchBendValue.load(); }
    BYTE getLastCCValue(BYTE ccNum) const { return ccNum < 128 ? _lastCCValues[ccNum].load() : BYTE(0); }

    void setMIDIChannel(BYTE channel);
    void setOutputActivationMethod(OutputActivationMethod method);
    void setOutputActivationSpecificity(OutputActivationSpecificity specificity);
    /// Returns true when the given name was used, false when a replacement was taken.
    bool setMIDIInputPortName(QString portName);
    void setDropsStrayProgramChanges(bool drops);
    void setDropsClockAndActiveSensing(bool drops);
    /// Called by the setup only; does not mark the route modified.
    void setActive(bool active);
    /// Sends the initializers of the active output's patches, as an activation does, without
    /// changing which output is active. Either thread.
    void sendActiveOutputInitializers();

    int getNumMIDIOutputs() const { return _outputs.size(); }
    MIDIOutput* getMIDIOutputAtIndex(int index) const { return _outputs.at(index); }
    int getIndexOfMIDIOutput(MIDIOutput* output) const { return _outputs.indexOf(output); }
    bool hasMIDIOutput(MIDIOutput* output) const { return _outputs.contains(output); }
    void addMIDIOutput(MIDIOutput* output);
    void removeMIDIOutput(MIDIOutput* output, bool deleteIt);
    void removeMIDIOutputsFrom(MIDIOutput* output, bool deleteIt);
    void moveMIDIOutputToIndex(MIDIOutput* output, int newIndex);
    /// Makes the output (one of this input's) the active one; the same as output->setActive(true).
    void setActiveMIDIOutput(MIDIOutput* output);
    MIDIOutput* activateNextMIDIOutput();
    MIDIOutput* activatePreviousMIDIOutput();
    MIDIOutput* createNewMIDIOutput(bool requestNameEdit);
    MIDIOutput* duplicateMIDIOutput(MIDIOutput* output);
    void showInnardsOfAllOutputs(bool showing);
    void showInnardsOfActiveOutput(bool showing);
    void setColorLabelsForOutputs(int index, MIDIOutput* from);
    void clearColorLabelsForOutputs(MIDIOutput* from);

    void setAllMIDIOutputPortsTo(QString portName);
    void setOutputPortAndIncrementChannelFrom(MIDIOutput* output, MIDIPatchTarget* mpt, QString portName,
                                              int channel);
    int rerouteOutputPort(QString lookForPort, int lookForChannel, QString replaceWithPort,
                          int replaceWithChannel);

    // Messages from the on-screen keyboard, handled as if they came from the port. GUI thread.
    void injectNoteOnMessage(BYTE note, BYTE velocity);
    void injectNoteOffMessage(BYTE note);
    void injectControllerMessage(BYTE cc, BYTE value);
    void injectPitchBendMessage(unsigned short value);
    void injectMessage(const midiMessage_t* message);

    /// MIDI learn of the outputs' activation values (one output at a time). GUI thread only.
    ActivationLearn* getActivationLearn() const { return _learn.get(); }

    QString getTextualDescriptionOfOutput(MIDIOutput* output) const;
    QString getTextualDescriptionOfOutputs() const;

    /// Ends every note and pedal the patches of every output sent. Either thread.
    void endSoundingNotes();
    /// Panic on every output. Either thread.
    void panic();
    /// True when no output holds a sounding note or a gesture away from rest. Either thread.
    bool isAtRest() const;
    /// The setup's gate (see SongPlayGate); routing follows its state. Called by the setup when it
    /// adopts the input. GUI thread only.
    void adoptPlayGate(std::shared_ptr<SongPlayGate> gate);

    /// Handles one message from the port (through the input handler).
    /// MIDI thread: no allocation; blocks only on the routing lock and the patches' locks.
    void _handleMIDIInputMessage(double timeStamp, const midiMessage_t* message);

    void emitPendingSignals() override;
    bool hasPumpedListeners() const override;
    void pumpStarted() override;

public slots:
    void setModified(bool modified) override;

signals:
    void receivedMIDIInput();
    void receivedNoteOn(int noteNum, int velocity);
    void receivedNoteOff(int noteNum);
    void receivedControlMessage(int ccNum, int ccVal);
    void receivedPitchBendMessage(int pbVal);
    void midiPortNameChangedTo(QString newPortName);
    void midiChannelChangedTo(BYTE newChannel);
    void outputActivationMethodChangedTo(int outputActMethod);
    void outputActivationSpecificityChangedTo(int actSpecificity);
    void dropsStrayProgramChangesChangedTo(bool drops);
    void dropsClockAndActiveSensingChangedTo(bool drops);
    void midiOutputAdded(MIDIOutput* output);
    void midiOutputRemoved(MIDIOutput* output);
    void midiOutputMovedTo(MIDIOutput* output, int newIndex);
    void activeMIDIOutputChangedTo(MIDIOutput* outputNowActive);
    void MIDIOutputNameChanged(MIDIOutput* output);
    void activeChangedTo(bool nowActive);
    void outputValueOrRangeChanged(MIDIOutput* midiOutput);

protected:
    void connectNotify(const QMetaMethod& signal) override;

private slots:
    void _midiOutputNameChangedSLOT();
    void _midiOutputMainValueChangedToSLOT(int value);
    void _midiOutputValeRangeChangedToSLOT(int value);

private:
    friend class MIDIOutput;
    void _init();
    void _handleInjectionMessage();
    /// The whole routing of one message. `onGuiThread` for injected messages.
    void _routeMessage(double timeStamp, const midiMessage_t* message, bool onGuiThread);
    /// Routes a message of a song being released: note offs and gesture values reach only the
    /// outputs where that note still sounds or that gesture is still away from rest. Routing lock
    /// held. MIDI thread: no allocation.
    void _routeReleasingLocked(double timeStamp, const midiMessage_t* message);
    /// Leaves what views need to hear about the message for the pump. Routing lock held.
    void _recordForViews(const midiMessage_t* message);
    /// Makes the output active and, when asked, sends its patches' initializers; no signal.
    /// Routing lock held.
    void _activateOutputLocked(MIDIOutput* output, bool sendInitializers = true);
    /// Asks the setup to make this input active (note 21 played). No lock held.
    void _requestActivation(bool onGuiThread);
    /// Emits activeMIDIOutputChangedTo and the outputs' activeChangedTo for what changed since
    /// views were last told. GUI thread, no lock held.
    void _announceActiveOutput();
    void _emitNoteEvents();
    /// Tells views about the notes the outputs' records hold, after events were lost. GUI thread.
    void _resynchroniseNotes();
    MIDIOutput* _findOutputToActivate(BYTE value) const;
    void _updateActivationMessageType();
    QString _findSuitableReplacementInputPortNameFor(const QString& missingName) const;
    QString _activationValueText(BYTE value) const;

    OwnedChildList<MIDIOutput>::Hooks _outputListHooks();

    mutable RoutingMutex _routingMutex;
    // Null for an input outside any setup: Live. Replaced under the routing lock.
    std::shared_ptr<SongPlayGate> _playGate;
    QString _inputPortName;
    std::atomic<BYTE> _midiChannel{0};
    std::atomic<OutputActivationMethod> _activationMethod{kKeyswitchActivation};
    std::atomic<BYTE> _activationMessageType{kNoteOn};
    std::atomic<OutputActivationSpecificity> _activationSpecificity{kSpecificValue};
    MIDIRouteInputMessageHandler* _inputHandler = nullptr;
    std::atomic<MIDIOutput*> _activeOutput{nullptr};
    std::atomic<bool> _active{false};
    std::atomic<bool> _dropsStrayProgramChanges{false};
    std::atomic<bool> _dropsClockAndActiveSensing{false};
    // True while the route reads its outputs from a document: activations send no initializers.
    bool _readingDocument = false;
    MIDIPortIOManager* _portIOManager = nullptr;
    MIDIPortInfo* _portInfo = nullptr;
    std::atomic<pitchBendValue_t> _lastPitchBendValue{kPitchBendCentre};
    std::array<std::atomic<BYTE>, 128> _lastCCValues{};
    midiMessage_t _injectionMessage;
    OwnedChildList<MIDIOutput> _outputs{this, _outputListHooks()};
    std::unique_ptr<ActivationLearn> _learn;

    // Left by the routing path for the pump (written under the routing lock, read by the GUI thread).
    std::atomic<bool> _inputActivity{false};
    std::atomic<bool> _pitchBendChanged{false};
    std::array<std::atomic<std::uint64_t>, 2> _controllersChanged{};
    std::atomic<bool> _activationRequested{false};
    NoteEventRing _noteEvents;
    // What views were last told. GUI thread only.
    MIDIOutput* _announcedActiveOutput = nullptr;
    std::bitset<128> _announcedNotes;
    bool _notesNeedResync = false;
};
