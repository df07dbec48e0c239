#include "model/setlist/SetListTrigger.h"

#include "model/MIDIMessage.h"
#include "model/MIDIMessageValidity.h"

#include <utility>

SetListTrigger::SetListTrigger(Action action, QString midiPortName, BYTE channel, MessageType type,
                               BYTE number)
    : _action(action), _midiPortName(std::move(midiPortName)), _channel(channel), _messageType(type),
      _number(number)
{
}

void SetListTrigger::setValueRange(BYTE minValue, BYTE maxValue)
{
    if (minValue > maxValue)
        std::swap(minValue, maxValue);
    _minValue = minValue & 0x7F;
    _maxValue = maxValue & 0x7F;
}

SetListTrigger::Match SetListTrigger::match(const midiMessage_t* message)
{
    // MIDI thread: no allocation, no blocking.
    if (!message || message->size() < 2 || !isChannelMessage(message))
        return Match::None;
    const BYTE channel = ::getMIDIChannelIndex(message);
    if (_channel != kAnyChannel && channel != _channel)
        return Match::None;
    switch (_messageType) {
    case MessageType::Note:
        if (!isNoteMessage(message) || getNote(message) != _number)
            return Match::None;
        return isNoteOnMessage(message) ? Match::Fired : Match::Consumed;
    case MessageType::ProgramChange:
        return isProgramChangeMessage(message) && getProgramChangeIndex(message) == _number ? Match::Fired
                                                                                            : Match::None;
    case MessageType::Controller: {
        if (!isControlChangeNumber(message, _number))
            return Match::None;
        const BYTE value = getControlValue(message);
        const std::uint16_t bit = std::uint16_t(1u << channel);
        if (value < _minValue || value > _maxValue) {
            _insideRange &= std::uint16_t(~bit);
            return Match::Consumed;
        }
        if (_insideRange & bit)
            return Match::Consumed;
        _insideRange |= bit;
        return Match::Fired;
    }
    }
    return Match::None;
}

bool SetListTrigger::operator==(const SetListTrigger& other) const
{
    return _action == other._action && (_action != Action::Song || _songNumber == other._songNumber) &&
           _midiPortName == other._midiPortName && _channel == other._channel &&
           _messageType == other._messageType && _number == other._number &&
           (_messageType != MessageType::Controller ||
            (_minValue == other._minValue && _maxValue == other._maxValue));
}

QString SetListTrigger::actionKey(Action action)
{
    switch (action) {
    case Action::Next:
        return QStringLiteral("next");
    case Action::Previous:
        return QStringLiteral("previous");
    case Action::Song:
        return QStringLiteral("song");
    }
    return QString();
}

bool SetListTrigger::actionFromKey(const QString& key, Action* action)
{
    for (Action one : {Action::Next, Action::Previous, Action::Song}) {
        if (key == actionKey(one)) {
            *action = one;
            return true;
        }
    }
    return false;
}

QString SetListTrigger::messageTypeKey(MessageType type)
{
    switch (type) {
    case MessageType::Note:
        return QStringLiteral("note");
    case MessageType::ProgramChange:
        return QStringLiteral("programChange");
    case MessageType::Controller:
        return QStringLiteral("controller");
    }
    return QString();
}

bool SetListTrigger::messageTypeFromKey(const QString& key, MessageType* type)
{
    for (MessageType one : {MessageType::Note, MessageType::ProgramChange, MessageType::Controller}) {
        if (key == messageTypeKey(one)) {
            *type = one;
            return true;
        }
    }
    return false;
}

QString SetListTrigger::description() const
{
    QString message;
    switch (_messageType) {
    case MessageType::Note:
        message = QStringLiteral("note %1").arg(_number);
        break;
    case MessageType::ProgramChange:
        message = QStringLiteral("program change %1").arg(_number + 1);
        break;
    case MessageType::Controller:
        message = QStringLiteral("controller %1 (%2-%3)").arg(_number).arg(_minValue).arg(_maxValue);
        break;
    }
    const QString channel = _channel == kAnyChannel ? QStringLiteral("any channel")
                                                    : QStringLiteral("channel %1").arg(_channel + 1);
    QString what;
    switch (_action) {
    case Action::Next:
        what = QStringLiteral("next song");
        break;
    case Action::Previous:
        what = QStringLiteral("previous song");
        break;
    case Action::Song:
        what = QStringLiteral("song %1").arg(_songNumber);
        break;
    }
    return QStringLiteral("%1 on %2, %3: %4").arg(message, _midiPortName, channel, what);
}
