#include "remote/OscAddressSpace.h"

#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "model/setlist/SetList.h"
#include "model/setlist/SetListPlayer.h"

#include <cmath>

namespace {

/// A number argument: an int32, or a float holding a whole number (many tablet apps send
/// floats for buttons). Returns false for anything else.
bool numberArgument(const OscMessage& request, int argument, int* number)
{
    if (argument >= request.typeTags.size())
        return false;
    const char tag = request.typeTags.at(argument);
    if (tag == 'i') {
        *number = request.arguments.at(argument).toInt();
        return true;
    }
    if (tag == 'f') {
        const float value = request.arguments.at(argument).toFloat();
        if (!std::isfinite(value) || value != std::floor(value) || std::fabs(value) > 1e6f)
            return false;
        *number = int(value);
        return true;
    }
    return false;
}

/// Picks one of `count` items by number (from 1) or by name (the first with that name).
template <typename Item, typename At>
Item* pickItem(const OscMessage& request, int argument, int count, At at, const QString& what, QString* error)
{
    int number = 0;
    if (numberArgument(request, argument, &number)) {
        if (number < 1 || number > count) {
            *error =
                count == 0
                    ? QStringLiteral("There is no %1.").arg(what)
                    : QStringLiteral("There is no %1 %2: give 1 to %3.").arg(what).arg(number).arg(count);
            return nullptr;
        }
        return at(number - 1);
    }
    if (argument < request.typeTags.size() && request.typeTags.at(argument) == 's') {
        const QString name = request.arguments.at(argument).toString();
        for (int i = 0; i < count; ++i) {
            if (at(i)->getName() == name)
                return at(i);
        }
        *error = QStringLiteral("There is no %1 named \"%2\".").arg(what, name);
        return nullptr;
    }
    *error = QStringLiteral("Give the %1 by number or by name.").arg(what);
    return nullptr;
}

QString expectedUse(const char* path)
{
    for (const OscAddressSpace::Entry& entry : OscAddressSpace::entries()) {
        if (qstrcmp(entry.path, path) == 0)
            return entry.typeTagsText[0] ? QStringLiteral("%1 takes %2.")
                                               .arg(QLatin1String(path), QLatin1String(entry.typeTagsText))
                                         : QStringLiteral("%1 takes no arguments.").arg(QLatin1String(path));
    }
    return QString();
}

} // namespace

OscAddressSpace::OscAddressSpace(std::function<MIDIRoutingSetup*()> currentSetup)
    : _currentSetup(std::move(currentSetup))
{
}

const QList<OscAddressSpace::Entry>& OscAddressSpace::entries()
{
    static const QList<Entry> table = {
        {"/quorvell/input/activate", "i|s i|s", &OscAddressSpace::_activate},
        {"/quorvell/panic", "", &OscAddressSpace::_panic},
        {"/quorvell/mute", "i|s i|s i|s i", &OscAddressSpace::_mute},
        {"/quorvell/state", "", &OscAddressSpace::_state},
        {"/quorvell/subscribe", "", &OscAddressSpace::_subscribe},
        {"/quorvell/unsubscribe", "", &OscAddressSpace::_unsubscribe},
        {"/quorvell/song/next", "", &OscAddressSpace::_song},
        {"/quorvell/song/previous", "", &OscAddressSpace::_song},
        {"/quorvell/song/goto", "i", &OscAddressSpace::_song},
        {"/quorvell/song/reload", "", &OscAddressSpace::_song},
    };
    return table;
}

OscMessage OscAddressSpace::errorMessage(const QString& text)
{
    return OscMessage("/quorvell/error", "s", {text});
}

OscAddressSpace::Result OscAddressSpace::_error(const QString& text)
{
    Result result;
    result.replies << errorMessage(text);
    return result;
}

OscAddressSpace::Result OscAddressSpace::dispatch(const OscMessage& request)
{
    for (const Entry& entry : entries()) {
        if (request.path == entry.path)
            return (this->*entry.handler)(request);
    }
    return _error(QStringLiteral("Unknown address %1.").arg(QString::fromUtf8(request.path.left(64))));
}

MIDIRoute* OscAddressSpace::_findInput(const OscMessage& request, int argument, QString* error) const
{
    MIDIRoutingSetup* setup = _currentSetup ? _currentSetup() : nullptr;
    if (!setup) {
        *error = QStringLiteral("No setup is open.");
        return nullptr;
    }
    return pickItem<MIDIRoute>(
        request, argument, setup->getNumMIDIRoutes(),
        [setup](int i) { return setup->getMIDIRouteAtIndex(i); }, QStringLiteral("input"), error);
}

MIDIOutput* OscAddressSpace::_findOutput(MIDIRoute* route, const OscMessage& request, int argument,
                                         QString* error)
{
    return pickItem<MIDIOutput>(
        request, argument, route->getNumMIDIOutputs(),
        [route](int i) { return route->getMIDIOutputAtIndex(i); }, QStringLiteral("output"), error);
}

MIDIPatchTarget* OscAddressSpace::_findPatch(MIDIOutput* output, const OscMessage& request, int argument,
                                             QString* error)
{
    return pickItem<MIDIPatchTarget>(
        request, argument, output->getNumMIDIPatchTargets(),
        [output](int i) { return output->getMIDIPatchTargetAtIndex(i); }, QStringLiteral("patch"), error);
}

OscAddressSpace::Result OscAddressSpace::_activate(const OscMessage& request)
{
    if (request.typeTags.size() != 2)
        return _error(expectedUse(request.path.constData()));
    QString error;
    MIDIRoute* route = _findInput(request, 0, &error);
    MIDIOutput* output = route ? _findOutput(route, request, 1, &error) : nullptr;
    if (!output)
        return _error(error);
    // The same change as the output's switching message: its initializers are sent, and notes and
    // gestures held on the output left behind end there.
    route->setActiveMIDIOutput(output);
    Result result;
    result.statusText =
        QStringLiteral("remote: \"%1\" plays \"%2\"").arg(route->getName(), output->getName());
    return result;
}

OscAddressSpace::Result OscAddressSpace::_panic(const OscMessage& request)
{
    if (!request.typeTags.isEmpty())
        return _error(expectedUse(request.path.constData()));
    MIDIRoutingSetup* setup = _currentSetup ? _currentSetup() : nullptr;
    if (!setup)
        return _error(QStringLiteral("No setup is open."));
    setup->panic();
    Result result;
    result.statusText = QStringLiteral("remote: panic");
    return result;
}

OscAddressSpace::Result OscAddressSpace::_mute(const OscMessage& request)
{
    int muted = 0;
    if (request.typeTags.size() != 4 || !numberArgument(request, 3, &muted) || (muted != 0 && muted != 1))
        return _error(expectedUse(request.path.constData()) +
                      QStringLiteral(" The last is 1 to mute, 0 to unmute."));
    QString error;
    MIDIRoute* route = _findInput(request, 0, &error);
    MIDIOutput* output = route ? _findOutput(route, request, 1, &error) : nullptr;
    MIDIPatchTarget* patch = output ? _findPatch(output, request, 2, &error) : nullptr;
    if (!patch)
        return _error(error);
    patch->setMuted(muted == 1);
    Result result;
    result.statusText =
        QStringLiteral("remote: patch \"%1\" %2")
            .arg(patch->getName(), muted ? QStringLiteral("muted") : QStringLiteral("unmuted"));
    return result;
}

QList<OscMessage> OscAddressSpace::stateMessages() const
{
    QList<OscMessage> messages;
    if (_player && _player->isPlaying())
        messages << songStateMessage(_player);
    MIDIRoutingSetup* setup = _currentSetup ? _currentSetup() : nullptr;
    if (!setup)
        return messages;
    for (int i = 0; i < setup->getNumMIDIRoutes(); ++i) {
        MIDIRoute* route = setup->getMIDIRouteAtIndex(i);
        MIDIOutput* active = route->getActiveMIDIOutput();
        const int activeNumber = active ? route->getIndexOfMIDIOutput(active) + 1 : 0;
        messages << OscMessage(
            "/quorvell/state/input", "isis",
            {i + 1, route->getName(), activeNumber, active ? active->getName() : QString()});
    }
    return messages;
}

OscAddressSpace::Result OscAddressSpace::_state(const OscMessage& request)
{
    if (!request.typeTags.isEmpty())
        return _error(expectedUse(request.path.constData()));
    Result result;
    result.replies = stateMessages();
    return result;
}

OscAddressSpace::Result OscAddressSpace::_subscribe(const OscMessage& request)
{
    if (!request.typeTags.isEmpty())
        return _error(expectedUse(request.path.constData()));
    Result result;
    result.subscription = Subscription::Subscribe;
    result.replies = stateMessages();
    return result;
}

OscAddressSpace::Result OscAddressSpace::_unsubscribe(const OscMessage& request)
{
    if (!request.typeTags.isEmpty())
        return _error(expectedUse(request.path.constData()));
    Result result;
    result.subscription = Subscription::Unsubscribe;
    return result;
}

void OscAddressSpace::setSetListPlayer(SetListPlayer* player)
{
    _player = player;
}

OscAddressSpace::Result OscAddressSpace::_song(const OscMessage& request)
{
    // Songs change only where a set list is played; a single setup has none to change to.
    if (!_player || !_player->isPlaying())
        return _error(
            QStringLiteral("No set list is open: %1 needs one.").arg(QString::fromUtf8(request.path)));
    const SetList* setList = _player->getSetList();
    const int before = _player->getCurrentSongIndex();
    Result result;
    if (request.path == "/quorvell/song/goto") {
        int number = 0;
        if (request.typeTags.size() != 1 || !numberArgument(request, 0, &number))
            return _error(expectedUse(request.path.constData()));
        if (number < 1 || number > setList->getNumSongs())
            return _error(QStringLiteral("There is no song %1: the set list has %2 songs.")
                              .arg(number)
                              .arg(setList->getNumSongs()));
        _player->gotoSong(number - 1);
    } else if (!request.typeTags.isEmpty()) {
        return _error(expectedUse(request.path.constData()));
    } else if (request.path == "/quorvell/song/reload") {
        // The file is read again only now, when asked; what sounds rings on.
        if (!_player->reloadCurrentSong())
            return _error(QStringLiteral("%1 was not read again: see the status messages.")
                              .arg(setList->songTitle(before)));
        result.statusText = QStringLiteral("remote: read %1 again").arg(setList->songTitle(before));
    } else if (request.path == "/quorvell/song/next") {
        _player->nextSong();
    } else {
        _player->previousSong();
    }
    // A song read ahead is current at once; the reply says where the player is now.
    _player->processPendingWork();
    const int now = _player->getCurrentSongIndex();
    if (now != before)
        result.statusText = QStringLiteral("remote: %1").arg(setList->songTitle(now));
    result.replies << songStateMessage(_player);
    return result;
}

OscMessage OscAddressSpace::songStateMessage(const SetListPlayer* player)
{
    const int index = player->getCurrentSongIndex();
    const SetList* setList = player->getSetList();
    const QString name =
        index >= 0 && index < setList->getNumSongs() ? setList->getSongAtIndex(index).getName() : QString();
    return OscMessage("/quorvell/state/song", "is", {index + 1, name});
}
