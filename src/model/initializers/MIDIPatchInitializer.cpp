#include "model/initializers/MIDIPatchInitializer.h"

#include <utility>

namespace {

const QString kByte1 = QStringLiteral("byte1");
const QString kByte2 = QStringLiteral("byte2");
const QString kByte3 = QStringLiteral("byte3");
const QString kInt1 = QStringLiteral("int1");

// A decimal attribute; missing or non-numeric reads as 0.
int intAttribute(const QDomElement& element, const QString& name)
{
    return element.attribute(name).toInt();
}

} // namespace

MIDIPatchInitializer::MIDIPatchInitializer(QString typeName, QObject* parent)
    : BaseMIDIObject(typeName, parent), _typeName(typeName)
{
    _message.reserve(3);
}

QString MIDIPatchInitializer::getObjTypeName() const
{
    return QStringLiteral("MIDIPatchInitializer");
}

QDomElement MIDIPatchInitializer::toDomElement(QDomDocument& doc)
{
    QDomElement element = BaseMIDIObject::toDomElement(doc);
    const InitializerParameters parameters = getParameters();
    element.setAttribute(kByte1, parameters.byte1);
    element.setAttribute(kByte2, parameters.byte2);
    element.setAttribute(kByte3, parameters.byte3);
    element.setAttribute(kInt1, parameters.int1);
    return element;
}

void MIDIPatchInitializer::initFromDomElement(const QDomElement& element)
{
    if (_typeName.isEmpty()) {
        BaseMIDIObject::initFromDomElement(element);
    } else {
        // Same as the base, except that the name stays the type name.
        const QString showingKey = QStringLiteral("showingInnards");
        showInnards(!element.hasAttribute(showingKey) || element.attribute(showingKey).toInt() != 0);
    }

    // Range-checked before narrowing, so "300" is ignored rather than wrapped to 44.
    const std::pair<QString, Field> bytes[] = {
        {kByte1, Field::Byte1}, {kByte2, Field::Byte2}, {kByte3, Field::Byte3}};
    for (const auto& [name, field] : bytes) {
        const int value = intAttribute(element, name);
        if (value >= 0 && value <= 127)
            _setByte(field, static_cast<BYTE>(value));
    }
    setInt1(intAttribute(element, kInt1));
}

QString MIDIPatchInitializer::getDescriptionString() const
{
    return getName();
}

midiMessage_t* MIDIPatchInitializer::getInitializationMessage()
{
    writeInitializationMessageTo(&_message);
    return &_message;
}

void MIDIPatchInitializer::writeInitializationMessageTo(midiMessage_t* message) const
{
    buildMessage(getParameters(), message);
}

InitializerParameters MIDIPatchInitializer::getParameters() const
{
    return _unpack(_parameters.load(std::memory_order_acquire));
}

void MIDIPatchInitializer::setByte1(BYTE value)
{
    _setByte(Field::Byte1, value);
}

void MIDIPatchInitializer::setByte2(BYTE value)
{
    _setByte(Field::Byte2, value);
}

void MIDIPatchInitializer::setByte3(BYTE value)
{
    _setByte(Field::Byte3, value);
}

void MIDIPatchInitializer::setInt1(int value)
{
    InitializerParameters parameters = getParameters();
    if (parameters.int1 == value)
        return;
    parameters.int1 = value;
    _parameters.store(_pack(parameters), std::memory_order_release);
    _announce(Field::Int1, value);
}

void MIDIPatchInitializer::buildMessage(const InitializerParameters& /*parameters*/,
                                        midiMessage_t* message) const
{
    message->clear();
}

void MIDIPatchInitializer::setParametersQuietly(const InitializerParameters& parameters)
{
    _parameters.store(_pack(parameters), std::memory_order_release);
}

std::uint64_t MIDIPatchInitializer::_pack(const InitializerParameters& parameters)
{
    return std::uint64_t{parameters.byte1} | (std::uint64_t{parameters.byte2} << 8) |
           (std::uint64_t{parameters.byte3} << 16) |
           (std::uint64_t{static_cast<std::uint32_t>(parameters.int1)} << 32);
}

InitializerParameters MIDIPatchInitializer::_unpack(std::uint64_t packed)
{
    InitializerParameters parameters;
    parameters.byte1 = static_cast<BYTE>(packed & 0xFF);
    parameters.byte2 = static_cast<BYTE>((packed >> 8) & 0xFF);
    parameters.byte3 = static_cast<BYTE>((packed >> 16) & 0xFF);
    parameters.int1 = static_cast<int>(static_cast<std::uint32_t>(packed >> 32));
    return parameters;
}

void MIDIPatchInitializer::_setByte(Field field, BYTE value)
{
    if (value > 127)
        return;
    // Only the GUI thread writes, so reading, changing and storing the word needs no exchange loop;
    // readers on other threads always see either the old or the new whole word.
    InitializerParameters parameters = getParameters();
    switch (field) {
    case Field::Byte1:
        parameters.byte1 = value;
        break;
    case Field::Byte2:
        parameters.byte2 = value;
        break;
    default:
        parameters.byte3 = value;
        break;
    }
    _parameters.store(_pack(parameters), std::memory_order_release);
    _announce(field, value);
}

void MIDIPatchInitializer::_announce(Field field, int value)
{
    setModified(true);
    switch (field) {
    case Field::Byte1:
        emit byte1ValueChangedTo(static_cast<BYTE>(value));
        break;
    case Field::Byte2:
        emit byte2ValueChangedTo(static_cast<BYTE>(value));
        break;
    case Field::Byte3:
        emit byte3ValueChangedTo(static_cast<BYTE>(value));
        break;
    case Field::Int1:
        emit int1ValueChangedTo(value);
        break;
    }
    emit messageDeliveryRequested(getInitializationMessage());
}
