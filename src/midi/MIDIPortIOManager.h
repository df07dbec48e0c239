#pragma once

#include "midi/MIDITypes.h"

#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVector>

#include <atomic>
#include <memory>
#include <vector>

class MIDIInputMessageHandler;
class MIDIPatchTarget;
class MIDIPortInfo;
class MIDIInputPort;
class MIDIOutputPort;

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

    /// True when the input port is open and the library reports it connected. GUI thread only.
    bool isInputPortOpen(const QString& portName) const;
    /// True when the output port is open and the library reports it connected. GUI thread only.
    bool isOutputPortOpen(const QString& portName) const;

    /// Sends the message unchanged on the open output port at the catalogue index. An index out of
    /// range (-1 included), a port not open or not connected, or an empty message sends nothing.
    /// While I/O is suspended nothing is sent, except by a delivery that was already running when the
    /// suspension began: that one finishes its work, so no note-off of a message it accepted is lost.
    /// Any thread; re-entrant from handlers. MIDI thread: no allocation, no blocking.
    void deliverMessageToOutputPort(int outputPortIndex, midiMessage_t* message);

    /// Suspends (true) or resumes (false) I/O. Calls pair up and nest: I/O resumes when every
    /// suspension has been resumed. GUI thread only.
    void suspendIO(bool suspend);
    /// True while I/O is suspended. Any thread.
    bool isIOSuspended() const;

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
    /// Sends on the port at the index, if any. The caller keeps the tables still.
    void _sendToOutputPort(int outputPortIndex, midiMessage_t* message);
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
    // Sized once from the catalogue; slots change only while no delivery runs.
    std::vector<MIDIInputPort*> _inputPortsByIndex;
    // The gate of the open input port at each index (GUI thread only); every gate ever made.
    std::vector<InputGate*> _inputGatesByIndex;
    std::vector<std::unique_ptr<InputGate>> _allInputGates;
    // Raised (release) after a gate is made and before its port may call back; each delivery
    // reads it (acquire) first, so the gate's making happens before the delivery uses it.
    std::atomic<unsigned> _gatesMade{0};
    std::vector<MIDIOutputPort*> _outputPortsByIndex;
    // A port whose client object could not be made is entered with a null object, so that it counts
    // as open-failed and is not retried while requirers remain.
    QMap<QString, MIDIInputPort*> _openInputPorts;
    QMap<MIDIInputPort*, QString> _openInputPortNames;
    QMap<int, QVector<MIDIInputMessageHandler*>> _inputHandlers;
    QMap<QString, MIDIOutputPort*> _openOutputPorts;
    QMap<QString, QVector<MIDIPatchTarget*>> _outputPortUsers;
    // Open failures of the running operation, posted once I/O has resumed.
    QStringList _pendingErrors;
};
