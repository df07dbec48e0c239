#pragma once

#include "harness/SynthNoteState.h"
#include "midi/MIDIBackend.h"
#include "midi/MIDITypes.h"

#include <QStringList>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

/// A MIDI service for benchmarks that does nothing but count: fixed port lists, input played in by
/// the benchmark on its own thread through the same callback a real service calls, and output ports
/// that count what is sent per port and, when asked, follow which notes and pedals a synthesizer on
/// each port would still be sounding. Counting never allocates. Install it before the port catalogue
/// is first used. Ports are opened and played on one thread (the benchmark's).
class CountingMIDIBackend : public MIDIBackend
{
public:
    CountingMIDIBackend(const QStringList& inputPortNames, const QStringList& outputPortNames);
    ~CountingMIDIBackend() override;

    /// Makes a counting backend with these ports the program's backend and returns it (the program
    /// owns it); null when the catalogue was already used.
    static CountingMIDIBackend* install(const QStringList& inputPortNames,
                                        const QStringList& outputPortNames);

    QString getApiName() const override { return QStringLiteral("counting"); }
    std::vector<std::string> getInputPortNames() override { return _inputNames; }
    std::vector<std::string> getOutputPortNames() override { return _outputNames; }
    std::unique_ptr<MIDIInputPort> createInputPort() override;
    std::unique_ptr<MIDIOutputPort> createOutputPort() override;

    /// Position of the port in the input or output list; -1 when absent.
    int inputIndex(const QString& portName) const;
    int outputIndex(const QString& portName) const;

    /// Hands the message to the input port object connected at the index, on the caller's thread,
    /// as the service's receive thread would. False when no object is connected there or it has no
    /// callback. No allocation.
    bool play(int inputIndex, midiMessage_t* message, double timeStamp = 0.0);

    /// Messages sent to the output index since the last reset.
    long sentCount(int outputIndex) const;
    /// Messages sent to all output ports since the last reset.
    long totalSent() const;

    /// Whether sent messages also update the note state of their port (off at first).
    void setFollowingNotes(bool follow) { _followNotes = follow; }
    /// What a synthesizer on the output index would still be sounding.
    const SynthNoteState& noteState(int outputIndex) const;
    /// Forgets the counts and note states.
    void reset();

private:
    class InputPort;
    class OutputPort;

    void _sent(int outputIndex, const midiMessage_t& message);

    std::vector<std::string> _inputNames;
    std::vector<std::string> _outputNames;
    // The input port object connected to each input index, or null.
    std::vector<std::atomic<InputPort*>> _connectedInputs;
    std::vector<std::atomic<long>> _sentCounts;
    std::vector<SynthNoteState> _noteStates;
    bool _followNotes = false;
};
