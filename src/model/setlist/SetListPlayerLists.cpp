// The set list player's tables: the triggers it matches on the MIDI thread and the songs it
// holds, kept in step with edits of the set list while it plays. GUI thread only.
#include "model/setlist/SetListPlayer.h"

#include "app/StatusManager.h"
#include "midi/MIDIPortIOManager.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "model/setlist/SetList.h"
#include "model/setlist/SetListTriggerPortKeeper.h"

void SetListPlayer::_installTriggers()
{
    MIDIPortIOManager* io = MIDIPortIOManager::GetInstance();
    std::vector<SetListTrigger> triggers;
    std::vector<int> indexes;
    QStringList portNames;
    QStringList missing;
    for (const SetListTrigger& trigger : _setList->getTriggers()) {
        const QString name = trigger.getMIDIPortName();
        const int index = io->getIndexOfInputPortNamed(name);
        triggers.push_back(trigger);
        triggers.back().resetMatchState();
        indexes.push_back(index);
        if (index < 0 && !missing.contains(name))
            missing << name;
        if (index >= 0 && !portNames.contains(name))
            portNames << name;
    }
    for (const QString& name : std::as_const(missing))
        postWarningMessage(
            QStringLiteral(
                "The MIDI input port \"%1\" that set list triggers listen to is not there: those triggers "
                "change nothing.")
                .arg(name));
    // The ports are opened before the triggers look at them, and closed after they stop.
    for (const QString& name : std::as_const(portNames)) {
        if (!_keptPortNames.contains(name)) {
            _portKeepers.push_back(std::make_unique<SetListTriggerPortKeeper>(name));
            _keptPortNames << name;
        }
    }
    io->runWhileNoDeliveryRuns([&] {
        _triggers.swap(triggers);
        _triggerPortIndexes.swap(indexes);
    });
    if (io->getInputInterceptor() != this)
        io->setInputInterceptor(this);
    for (int k = int(_portKeepers.size()) - 1; k >= 0; --k) {
        if (!portNames.contains(_portKeepers[size_t(k)]->getPortName())) {
            _keptPortNames.removeAll(_portKeepers[size_t(k)]->getPortName());
            _portKeepers.erase(_portKeepers.begin() + k);
        }
    }
}

void SetListPlayer::_removeTriggers()
{
    MIDIPortIOManager* io = MIDIPortIOManager::GetInstance();
    if (io->getInputInterceptor() == this)
        io->setInputInterceptor(nullptr);
    // No delivery reads them now.
    _triggers.clear();
    _triggerPortIndexes.clear();
    _portKeepers.clear();
    _keptPortNames.clear();
}

void SetListPlayer::_triggersChangedSLOT()
{
    if (_playing)
        _installTriggers();
}

void SetListPlayer::_songsRearranged(int kind, int first, int second)
{
    // kind 0: a song was added at `first`; 1: the song at `first` was removed; 2: the song at
    // `first` moved to `second`. The songs held keep their setups under their new numbers.
    if (!_playing)
        return;
    if (!_takeToken()) {
        postWarningMessage(QStringLiteral("The set list changed during a song change: it plays on from the "
                                          "current song when the change is done."));
        return;
    }
    auto map = [kind, first, second](int index) {
        if (index < 0)
            return index;
        if (kind == 0)
            return index >= first ? index + 1 : index;
        if (kind == 1)
            return index == first ? -1 : (index > first ? index - 1 : index);
        if (index == first)
            return second;
        if (first < second && index > first && index <= second)
            return index - 1;
        if (first > second && index >= second && index < first)
            return index + 1;
        return index;
    };
    for (Held& held : _held)
        held.index = map(held.index);
    if (!_currentRemoved) {
        const int moved = map(_currentIndex);
        if (moved < 0) {
            // The song playing was taken out: it plays on; next is the song that followed it.
            _currentRemoved = true;
            _currentIndex = first - 1;
        } else {
            _currentIndex = moved;
        }
    } else if (kind == 0 && first <= _currentIndex) {
        ++_currentIndex;
    } else if (kind == 1 && first <= _currentIndex) {
        --_currentIndex;
    }
    _prepareAndPublish();
}
