#pragma once

#include "midi/MIDITypes.h"
#include "midi/StableIndexTable.h"

#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVector>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class MIDIBackend;
class MIDIInputInterceptor;
class MIDIInputMessageHandler;
class MIDIPatchTarget;
class MIDIPortInfo;
class MIDIInputPort;
class MIDIOutputPort;
class QTimer;

void _midiInMessageCallbackFcn(double timeStamp, std::vector<unsigned char>* message, void* userData);

/// Opens MIDI ports while something needs them and moves messages in and out of them. A route
/// requires its input port with a handler; a patch requires its output port. Each incoming message is
/// handed, on the MIDI library's receive thread, to every handler registered for its port, in the
/// order they were added; outgoing messages are sent by catalogue output index.
///
/// Tables of ports and handlers change only on the GUI thread, after every delivery already under way
/// has ended, while new ones wait, so a delivery never sees a half-changed table or a deleted port
/// object and no message is lost to an edit. That wait is short, since deliveries never wait for the
/// GUI thread: callers must never
/// hold a lock that a MIDI-thread delivery may wait for (a patch's message lock, for instance) while
/// they add or remove port requirements, or the wait never ends.
///
/// Handlers may send from inside their delivery (deliverMessageToOutputPort is re-entrant), but must
/// not add or remove port requirements there.
///
/// Every incoming message is checked once, here, before any handler sees it: only complete,
/// well-formed messages go on. Refused ones are counted per port, and the status channel gets one
/// warning per port for each burst of them (at most one a second). The library's input filter
/// (system exclusive, time code, timing clock, active sensing) is applied here too, whatever the
/// backend. Nothing malformed and no system exclusive message is ever sent either.
///
/// Ports that vanish while in use are closed and remembered: their requirers stay registered, the
/// notes the patches there were holding are forgotten, and a warning names the port. When a port
/// of that name returns it is opened again for everyone who still needs it, the initializers of
/// active patches on it are sent again, and a status message says so.
class MIDIPortIOManager : public QObject
{
    Q_OBJECT

public:
    /// The singleton, made on first use. Making it lists the ports if nothing did so before.
    static MIDIPortIOManager* GetInstance();

    /// Registers the handler for the named port and opens the port if it is not open. An empty name
    /// or one not in the catalogue changes nothing. GUI thread only.
    void addRequiredInputPortNamed(const QString& portName, MIDIInputMessageHandler* handler);
    /// Unregisters the handler; the port is closed when its last handler goes. When this returns, the
    /// handler is not running and will not be called again for this port. GUI thread only.
    void removeRequiredInputPortNamed(const QString& portName, MIDIInputMessageHandler* handler);
    /// Opens the named port if it is not open and records the patch as a user. GUI thread only.
    void addRequiredOutputPortNamed(const QString& portName, MIDIPatchTarget* patch);
    /// Unrecords the patch; the port is closed when its last user goes. GUI thread only.
    void removeRequiredOutputPortNamed(const QString& portName, MIDIPatchTarget* patch);
    /// Closes every port and forgets every handler and user. GUI thread only.
    void removeAllPortRequirements();

    /// Installs the interceptor that sees every input message before the handlers do (null
    /// removes it). When this returns, no delivery uses the one it replaced. GUI thread only.
    void setInputInterceptor(MIDIInputInterceptor* interceptor);
    MIDIInputInterceptor* getInputInterceptor() const { return _inputInterceptor; }
    /// Runs `change` while no input delivery runs and none starts (arriving ones wait, none is
    /// lost): for state the MIDI thread reads without a lock, such as an interceptor's tables.
    /// `change` must be short and must not add or remove port requirements. GUI thread only.
    void runWhileNoDeliveryRuns(const std::function<void()>& change);
    /// The catalogue index of the named input port, -1 when there is none. GUI thread only.
    int getIndexOfInputPortNamed(const QString& portName) const;

    /// True when the input port is open and the library reports it connected. GUI thread only.
    bool isInputPortOpen(const QString& portName) const;
    /// True when the output port is open and the library reports it connected. GUI thread only.
    bool isOutputPortOpen(const QString& portName) const;

    /// Sends the message unchanged on the open output port at the catalogue index and returns true.
    /// An index out of range (-1 included), a port not open, or a message that is not complete and
    /// well-formed or is system exclusive sends nothing and returns false.
    /// While I/O is suspended nothing is sent, except by a delivery that was already running when the
    /// suspension began: that one finishes its work, so no note-off of a message it accepted is lost.
    /// Any thread; re-entrant from handlers. MIDI thread: no allocation, no blocking.
    bool deliverMessageToOutputPort(int outputPortIndex, midiMessage_t* message);

    /// Like deliverMessageToOutputPort, but the message goes out when the backend's clock reaches
    /// `dueTimeUs` (see getCurrentMIDITimeUs), placed by the backend. `ownerTag` names the sender for
    /// cancelScheduledNoteOns. Without timed sends (hasTimedSends false) it is sent at once.
    /// Any thread. MIDI thread: no allocation, no blocking.
    bool deliverMessageToOutputPortAt(int outputPortIndex, midiMessage_t* message, std::int64_t dueTimeUs,
                                      std::uint64_t ownerTag);
    /// Takes back the note ons `ownerTag` scheduled on the port and that have not gone out; note offs
    /// and everything else it scheduled still go out. Any thread.
    void cancelScheduledNoteOns(int outputPortIndex, std::uint64_t ownerTag);
    /// True when the backend places timed messages itself. Any thread.
    bool hasTimedSends() const { return _timedSends; }
    /// The backend's clock in microseconds: on the MIDI thread, the moment the message being handled
    /// came in; elsewhere, now. Any thread; no allocation.
    std::int64_t getCurrentMIDITimeUs() const;

    /// Suspends (true) or resumes (false) I/O. Calls pair up and nest: I/O resumes when every
    /// suspension has been resumed. GUI thread only.
    void suspendIO(bool suspend);
    /// True while I/O is suspended. Any thread.
    bool isIOSuspended() const;

    /// How many malformed messages the named input port sent since the program started. GUI thread only.
    unsigned getRefusedMessageCount(const QString& inputPortName) const;

private:
    MIDIPortIOManager();

    void _openInputPortNamed(const QString& portName);
    void _closeInputPortNamed(const QString& portName);
    MIDIOutputPort* _openOutputPortNamed(const QString& portName);
    void _closeOutputPortNamed(const QString& portName);
    bool _hasOpenInputPortFor(const QString& portName) const;
    bool _hasOpenOutputPortFor(const QString& portName) const;
    /// The deliveries now running for one opened input port; the port's callback data. A port
    /// closed for good keeps its gate (a closed gate lets nothing through), so a process thread
    /// that the MIDI library stops in the middle of a call can only leave a count raised on a
    /// gate that no table change waits for.
    struct InputGate
    {
        std::atomic<int> inFlight{0};
        std::atomic<bool> closed{false};
        int portIndex = -1;
    };
    /// Raises `count` once no table change is under way. Any thread.
    void _enterDelivery(std::atomic<int>& count);

    /// While alive, no delivery runs and none starts: arriving ones wait. GUI thread only.
    class TableChange
    {
    public:
        explicit TableChange(MIDIPortIOManager& manager);
        ~TableChange();
        TableChange(const TableChange&) = delete;
        TableChange& operator=(const TableChange&) = delete;

    private:
        MIDIPortIOManager& _manager;
    };
    void _postPendingErrors();
    /// Calls `send` with the open output port at the index, inside a delivery; false, doing nothing,
    /// when nothing may be sent there now (suspended, no such port, `message` malformed).
    template <typename Send>
    bool _sendThroughOutputPort(int outputPortIndex, const midiMessage_t* message, Send send);
    /// The same once the tables are held still by the caller.
    template <typename Send>
    bool _sendToOutputPort(int outputPortIndex, const midiMessage_t* message, Send send);
    /// Makes room in the index tables for every port the catalogue lists. GUI thread only.
    void _growTables();
    /// Counts a malformed message from the input port. MIDI thread: no allocation, no blocking.
    void _refuseInput(int inputPortIndex);
    void _reportRefusedInputSLOT();
    void _inputPortVanishedSLOT(const QString& portName);
    void _inputPortReturnedSLOT(const QString& portName);
    void _outputPortVanishedSLOT(const QString& portName);
    void _outputPortReturnedSLOT(const QString& portName);
    void _deliverInputMessageToHandlers(int inputPortIndex, double timeStamp, midiMessage_t* message) const;

    friend void _midiInMessageCallbackFcn(double timeStamp, std::vector<unsigned char>* message,
                                          void* userData);

    static MIDIPortIOManager* _instance;

    // Suspension depth: I/O is suspended while it is above 0. Written by the GUI thread only.
    std::atomic<int> _ioSuspendDepth;
    // Sends now running outside an input delivery (GUI thread, delayed messages, other threads).
    // Input deliveries count on their port's gate, and their own sends are covered by it.
    std::atomic<int> _sendsInFlight{0};
    // Table changes under way (GUI thread); deliveries wait while it is above 0.
    std::atomic<int> _tableChangeDepth{0};
    MIDIPortInfo* _portInfo;
    MIDIBackend* _backend;
    bool _timedSends;
    // Grown as the catalogue grows (GUI thread only).
    std::vector<MIDIInputPort*> _inputPortsByIndex;
    // The gate of the open input port at each index (GUI thread only); every gate ever made.
    std::vector<InputGate*> _inputGatesByIndex;
    std::vector<std::unique_ptr<InputGate>> _allInputGates;
    // Raised (release) after a gate is made and before its port may call back; each delivery
    // reads it (acquire) first, so the gate's making happens before the delivery uses it.
    std::atomic<unsigned> _gatesMade{0};
    // Read by the MIDI thread: grown as the catalogue grows, never moved; slots change only while
    // no delivery runs.
    StableIndexTable<MIDIOutputPort*> _outputPortsByIndex;
    // Malformed messages per input index, counted on the MIDI thread.
    StableIndexTable<std::atomic<unsigned>> _refusedInputCounts;
    // GUI thread: the count last reported per input index, and whether a burst is going on.
    QVector<unsigned> _refusedReported;
    QVector<bool> _refusalBurst;
    QTimer* _refusalTimer = nullptr;
    // A port whose client object could not be made is entered with a null object, so that it counts
    // as open-failed and is not retried while requirers remain.
    QMap<QString, MIDIInputPort*> _openInputPorts;
    QMap<MIDIInputPort*, QString> _openInputPortNames;
    QMap<int, QVector<MIDIInputMessageHandler*>> _inputHandlers;
    // Changed only inside a table change, so a delivery reads it like the handler lists.
    MIDIInputInterceptor* _inputInterceptor = nullptr;
    QMap<QString, MIDIOutputPort*> _openOutputPorts;
    QMap<QString, QVector<MIDIPatchTarget*>> _outputPortUsers;
    // Open failures of the running operation, posted once I/O has resumed.
    QStringList _pendingErrors;
};
