#include "midi/RtMidiBackend.h"

#include "app/StatusManager.h"
#include "midi/MIDIBackendError.h"
#include "midi/RtMidiErrorCollector.h"
#include "midi/RtMidiGraveyard.h"
#include "midi/RtMidiInputPort.h"
#include "midi/RtMidiJackWatch.h"
#include "midi/RtMidiOutputPort.h"

#include <RtMidi.h>

#include <QRegularExpression>
#include <QtGlobal>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

QString RtMidiBackend::_preferredApi;

namespace {

bool isApiCompiled(RtMidi::Api api)
{
    std::vector<RtMidi::Api> apis;
    RtMidi::getCompiledApi(apis);
    return std::find(apis.begin(), apis.end(), api) != apis.end();
}

const char* const kNoService = "No MIDI service is available: ";
const char* const kRunsWithoutPorts = " The program runs without MIDI ports.";

// The ports this program's own clients make when they connect (JACK numbers clients of the same
// name, ALSA appends the client and port numbers). They are not devices: listing them would offer
// to route the program into itself, and the list would change with every port it opens.
bool isOwnClientPort(const std::string& name)
{
    static const QRegularExpression ownPort(QStringLiteral(
        "^(RtMidi (Input|Output) Client(-\\d+)?|Quorvell):RtMidi (Input|Output)( \\d+:\\d+)?$"));
    return ownPort.match(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()))).hasMatch();
}

} // namespace

struct RtMidiBackend::Lister
{
    // One of the two is made; the collector is attached to it for as long as it lives.
    std::unique_ptr<RtMidiIn> in;
    std::unique_ptr<RtMidiOut> out;
    RtMidiErrorCollector errors;
    // RtMidiJackWatch::losses() when it was made: a lister whose JACK server let go is replaced.
    int madeAt = RtMidiJackWatch::losses();

    RtMidi& midi() { return in ? static_cast<RtMidi&>(*in) : static_cast<RtMidi&>(*out); }
    bool isStale() const
    {
        return RtMidiJackWatch::isStale(in ? in->getCurrentApi() : out->getCurrentApi(), madeAt);
    }

    ~Lister()
    {
        RtMidiGraveyard::bury(std::move(in), madeAt);
        RtMidiGraveyard::bury(std::move(out), madeAt);
    }
};

RtMidiBackend::RtMidiBackend() : _api(RtMidi::UNSPECIFIED)
{
    _chooseApi();
}

RtMidiBackend::~RtMidiBackend()
{
    closeService();
}

void RtMidiBackend::closeService()
{
    _inputLister.reset();
    _outputLister.reset();
    RtMidiJackWatch::stop();
}

bool RtMidiBackend::setPreferredApi(const QString& apiName)
{
    const QString name = apiName.trimmed().toLower();
    if (!name.isEmpty() && name != QLatin1String("alsa") && name != QLatin1String("jack"))
        return false;
    _preferredApi = name;
    return true;
}

QString RtMidiBackend::getPreferredApi()
{
    return _preferredApi;
}

QString RtMidiBackend::getApiName() const
{
    switch (_api) {
    case RtMidi::LINUX_ALSA:
        return QStringLiteral("ALSA");
    case RtMidi::UNIX_JACK:
        return QStringLiteral("JACK");
    default:
        return QStringLiteral("none");
    }
}

void RtMidiBackend::_chooseApi()
{
    QString wanted = _preferredApi;
    if (wanted.isEmpty()) {
        const QString fromEnvironment = qEnvironmentVariable("QUORVELL_MIDI_API").trimmed().toLower();
        if (fromEnvironment == QLatin1String("alsa") || fromEnvironment == QLatin1String("jack")) {
            wanted = fromEnvironment;
        } else if (fromEnvironment == QLatin1String("jack-rtmidi")) {
            wanted = QStringLiteral("jack");
        } else if (!fromEnvironment.isEmpty()) {
            postWarningMessage(
                QStringLiteral("QUORVELL_MIDI_API is set to '%1', which is neither alsa nor jack; "
                               "the MIDI service is chosen automatically.")
                    .arg(qEnvironmentVariable("QUORVELL_MIDI_API")));
        }
    }

    QString alsaReason;
    QString jackReason;
    if (wanted == QLatin1String("alsa")) {
        if (_tryAlsa(&alsaReason))
            return;
        _unavailableReason =
            QStringLiteral("ALSA was asked for, but the ALSA sequencer cannot be opened (%1).")
                .arg(alsaReason);
    } else if (wanted == QLatin1String("jack")) {
        if (_tryJack(&jackReason))
            return;
        _unavailableReason =
            QStringLiteral("JACK was asked for, but no JACK server can be reached (%1).").arg(jackReason);
    } else {
        if (_tryAlsa(&alsaReason) || _tryJack(&jackReason))
            return;
        _unavailableReason =
            QStringLiteral("the ALSA sequencer cannot be opened (%1) and no JACK server can be "
                           "reached (%2).")
                .arg(alsaReason, jackReason);
    }
    const QString warning = QLatin1String(kNoService) + _unavailableReason + QLatin1String(kRunsWithoutPorts);
    qWarning("%s", qPrintable(warning));
    postWarningMessage(warning);
}

std::string RtMidiBackend::clientName(int api, bool input)
{
    // ALSA shows client names to the user (connection managers list "Quorvell"); on JACK the
    // names stay as the port lists and tests know them.
    if (api == RtMidi::LINUX_ALSA)
        return "Quorvell";
    return input ? "RtMidi Input Client" : "RtMidi Output Client";
}

bool RtMidiBackend::alsaOpens(QString* reason)
{
    if (!isApiCompiled(RtMidi::LINUX_ALSA)) {
        *reason = QStringLiteral("this RtMidi was built without ALSA");
        return false;
    }
    // The sequencer device first, quietly: when it is missing, the ALSA library and RtMidi would
    // each print their own complaint to stderr before the program says anything.
    const int device = ::open("/dev/snd/seq", O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (device < 0) {
        *reason = QStringLiteral("/dev/snd/seq: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    ::close(device);
    try {
        RtMidiInputPort probe(RtMidi::LINUX_ALSA);
    } catch (const MIDIBackendError& error) {
        *reason = error.getMessage();
        return false;
    }
    return true;
}

bool RtMidiBackend::_tryAlsa(QString* reason)
{
    if (!alsaOpens(reason))
        return false;
    _api = RtMidi::LINUX_ALSA;
    return true;
}

bool RtMidiBackend::_tryJack(QString* reason)
{
    if (!isApiCompiled(RtMidi::UNIX_JACK)) {
        *reason = QStringLiteral("this RtMidi was built without JACK");
        return false;
    }
    // RtMidi opens its JACK clients with JackNoStartServer: a server that does not run stays down.
    try {
        RtMidiInputPort probe(RtMidi::UNIX_JACK);
    } catch (const MIDIBackendError& error) {
        *reason = error.getMessage();
        return false;
    }
    _api = RtMidi::UNIX_JACK;
    RtMidiJackWatch::ensureRunning();
    return true;
}

bool RtMidiBackend::_jackListingAllowed(int* seenLosses)
{
    if (_api != RtMidi::UNIX_JACK)
        return true;
    RtMidiJackWatch::ensureRunning();
    const int losses = RtMidiJackWatch::losses();
    if (*seenLosses != losses) {
        // The first look after a loss finds nothing, even when a server is back already: every
        // port in use is seen to go, and is opened afresh on the server when it is found again.
        *seenLosses = losses;
        return false;
    }
    // No ports while no server holds the program.
    return RtMidiJackWatch::isRunning() || losses == 0;
}

std::vector<std::string> RtMidiBackend::_listPorts(RtMidi& midi, RtMidiErrorCollector& errors)
{
    errors.watch();
    const unsigned int count = midi.getPortCount();
    errors.check();
    // A name the library cannot report (the list changed meanwhile) is entered as whatever it
    // returns, usually empty; the library prints its own warning.
    std::vector<std::string> names;
    names.reserve(count);
    for (unsigned int i = 0; i < count; ++i) {
        std::string name = midi.getPortName(i);
        if (!isOwnClientPort(name))
            names.push_back(std::move(name));
    }
    return names;
}

std::vector<std::string> RtMidiBackend::getInputPortNames()
{
    if (_api == RtMidi::UNSPECIFIED || !_jackListingAllowed(&_inputListingLosses))
        return {};
    if (_inputLister && _inputLister->isStale())
        _inputLister.reset();
    try {
        if (!_inputLister) {
            auto lister = std::make_unique<Lister>();
            lister->in =
                std::make_unique<RtMidiIn>(static_cast<RtMidi::Api>(_api), clientName(_api, true), 100);
            lister->errors.attachTo(*lister->in);
            _inputLister = std::move(lister);
        }
        return _listPorts(_inputLister->midi(), _inputLister->errors);
    } catch (const RtMidiError& error) {
        _inputLister.reset();
        throw MIDIBackendError(error.getMessage());
    } catch (const MIDIBackendError&) {
        _inputLister.reset(); // the next call starts with a new client
        throw;
    }
}

std::vector<std::string> RtMidiBackend::getOutputPortNames()
{
    if (_api == RtMidi::UNSPECIFIED || !_jackListingAllowed(&_outputListingLosses))
        return {};
    if (_outputLister && _outputLister->isStale())
        _outputLister.reset();
    try {
        if (!_outputLister) {
            auto lister = std::make_unique<Lister>();
            lister->out =
                std::make_unique<RtMidiOut>(static_cast<RtMidi::Api>(_api), clientName(_api, false));
            lister->errors.attachTo(*lister->out);
            _outputLister = std::move(lister);
        }
        return _listPorts(_outputLister->midi(), _outputLister->errors);
    } catch (const RtMidiError& error) {
        _outputLister.reset();
        throw MIDIBackendError(error.getMessage());
    } catch (const MIDIBackendError&) {
        _outputLister.reset();
        throw;
    }
}

std::unique_ptr<MIDIInputPort> RtMidiBackend::createInputPort()
{
    if (_api == RtMidi::UNSPECIFIED)
        throw MIDIBackendError((QLatin1String(kNoService) + _unavailableReason).toStdString());
    return std::make_unique<RtMidiInputPort>(static_cast<RtMidi::Api>(_api));
}

std::unique_ptr<MIDIOutputPort> RtMidiBackend::createOutputPort()
{
    if (_api == RtMidi::UNSPECIFIED)
        throw MIDIBackendError((QLatin1String(kNoService) + _unavailableReason).toStdString());
    return std::make_unique<RtMidiOutputPort>(static_cast<RtMidi::Api>(_api));
}

unsigned int RtMidiBackend::findPortNumber(RtMidi& midi, RtMidiErrorCollector& errors, unsigned int index,
                                           const std::string& portName)
{
    errors.watch();
    const unsigned int count = midi.getPortCount();
    errors.check();
    // Ports that came or went since the catalogue was made shift the library's numbering (JACK even
    // hands a freed place to the next new port): opening by number alone could connect to another
    // device, or back into this program.
    if (index < count && midi.getPortName(index) == portName)
        return index;
    for (unsigned int i = 0; i < count; ++i) {
        if (midi.getPortName(i) == portName)
            return i;
    }
    throw MIDIBackendError("The MIDI service no longer lists this port: the device may have been unplugged, "
                           "or the program that offered the port has ended.");
}
