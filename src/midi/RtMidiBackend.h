#pragma once

#include "midi/MIDIBackend.h"

#include <memory>
#include <string>

class RtMidi;
class RtMidiIn;
class RtMidiOut;
class RtMidiErrorCollector;

/// The system MIDI service reached through RtMidi. The service is chosen once, when the object is
/// made, and every RtMidiIn and RtMidiOut of the program uses it:
/// - the API given to setPreferredApi() (the command line's choice), else
/// - the API named by the environment variable QUORVELL_MIDI_API ("alsa" or "jack"), else
/// - ALSA where its sequencer opens, else JACK where a server already runs. A JACK server is never
///   started for the program.
/// When nothing can be reached the backend lists no ports and a warning saying why is posted through
/// the status channel. GUI thread only.
class RtMidiBackend : public MIDIBackend
{
public:
    RtMidiBackend();
    ~RtMidiBackend() override;

    /// Forces the API of every RtMidiBackend made afterwards: "alsa" or "jack" (any case), or empty to
    /// choose by itself again. Returns false, changing nothing, for any other name. Call before the
    /// port catalogue is first used.
    static bool setPreferredApi(const QString& apiName);
    // MIDIBackendChoice makes the program's backend; this one is RtMidi's own.

    /// The API set with setPreferredApi(), in lower case; empty when none is forced.
    static QString getPreferredApi();

    /// True when the ALSA sequencer opens through RtMidi; else `reason` says why not.
    static bool alsaOpens(QString* reason);
    /// The client name RtMidi gives the sequencer or JACK for a port of this API (an RtMidi::Api).
    static std::string clientName(int api, bool input);

    QString getApiName() const override;

    /// Why no MIDI service could be used; empty when one is in use.
    QString getUnavailableReason() const { return _unavailableReason; }

    std::vector<std::string> getInputPortNames() override;
    std::vector<std::string> getOutputPortNames() override;
    std::unique_ptr<MIDIInputPort> createInputPort() override;
    std::unique_ptr<MIDIOutputPort> createOutputPort() override;
    /// Hands the lister clients to the graveyard and closes the JACK watch.
    void closeService() override;

    /// The number under which `midi` lists the port that the catalogue saw at `index` as `portName`:
    /// `index` itself while the list is unchanged, else wherever the name is now. Throws
    /// MIDIBackendError when the service cannot be asked or no longer lists the name.
    static unsigned int findPortNumber(RtMidi& midi, RtMidiErrorCollector& errors, unsigned int index,
                                       const std::string& portName);

private:
    void _chooseApi();
    bool _tryAlsa(QString* reason);
    bool _tryJack(QString* reason);
    /// Whether a listing may ask the JACK server: false for the first listing after each time a
    /// server let go of the program (`seenLosses` counts them), and while none holds it.
    bool _jackListingAllowed(int* seenLosses);
    static std::vector<std::string> _listPorts(RtMidi& midi, RtMidiErrorCollector& errors);

    // One lister client per direction, made on first use and kept: the catalogue asks every second.
    // Dropped when the service stops answering, so that the next call starts afresh.
    struct Lister;
    std::unique_ptr<Lister> _inputLister;
    std::unique_ptr<Lister> _outputLister;

    static QString _preferredApi;
    int _api; // an RtMidi::Api; RtMidi::UNSPECIFIED when no service is available
    int _inputListingLosses = 0;
    int _outputListingLosses = 0;
    QString _unavailableReason;
};
