#pragma once

#include "remote/OscMessage.h"

#include <QList>
#include <QPointer>
#include <functional>

class MIDIRoute;
class MIDIOutput;
class MIDIPatchTarget;
class MIDIRoutingSetup;
class SetListPlayer;

/// The remote control's addresses, one handler each, in one table (the same list the README and
/// the man page give). A request is checked completely before anything changes: wrong type tags,
/// unknown names and numbers out of range get one "/quorvell/error s" reply and change nothing.
/// Inputs, outputs and patches are named by number (counting from 1) or by name.
/// GUI/main thread only: handlers change the model through its own setters.
class OscAddressSpace
{
public:
    enum class Subscription
    {
        Unchanged,
        Subscribe,
        Unsubscribe
    };
    struct Result
    {
        QList<OscMessage> replies;
        Subscription subscription = Subscription::Unchanged;
        /// A line for the status channel (what was changed), empty when nothing was.
        QString statusText;
    };
    struct Entry
    {
        const char* path;
        const char* typeTagsText; // as documented, e.g. "i|s i|s"
        Result (OscAddressSpace::*handler)(const OscMessage&);
    };

    /// `currentSetup` gives the setup to act on (it may change between requests, or be null).
    explicit OscAddressSpace(std::function<MIDIRoutingSetup*()> currentSetup);

    /// The set list being played, for the song addresses; null (the default) when none is.
    void setSetListPlayer(SetListPlayer* player);

    Result dispatch(const OscMessage& request);
    /// While a set list plays, "/quorvell/state/song i s" (the song's number from 1, its name), then
    /// every input's state message, as /quorvell/state and the subscriptions send them.
    QList<OscMessage> stateMessages() const;
    static const QList<Entry>& entries();

    static OscMessage errorMessage(const QString& text);
    /// "/quorvell/state/song i s" for the player's current song.
    static OscMessage songStateMessage(const SetListPlayer* player);

private:
    Result _activate(const OscMessage& request);
    Result _panic(const OscMessage& request);
    Result _mute(const OscMessage& request);
    Result _state(const OscMessage& request);
    Result _subscribe(const OscMessage& request);
    Result _unsubscribe(const OscMessage& request);
    Result _song(const OscMessage& request);

    static Result _error(const QString& text);
    MIDIRoute* _findInput(const OscMessage& request, int argument, QString* error) const;
    static MIDIOutput* _findOutput(MIDIRoute* route, const OscMessage& request, int argument, QString* error);
    static MIDIPatchTarget* _findPatch(MIDIOutput* output, const OscMessage& request, int argument,
                                       QString* error);

    std::function<MIDIRoutingSetup*()> _currentSetup;
    QPointer<SetListPlayer> _player;
};
