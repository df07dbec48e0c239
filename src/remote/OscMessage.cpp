#include "remote/OscMessage.h"

#include <lo/lo.h>

#include <memory>

namespace {

struct LoMessageDeleter
{
    void operator()(lo_message message) const { lo_message_free(message); }
};
using LoMessagePtr = std::unique_ptr<std::remove_pointer_t<lo_message>, LoMessageDeleter>;

} // namespace

std::optional<OscMessage> OscMessage::parse(const char* data, qsizetype size, QString* error)
{
    if (size >= 8 && qstrncmp(data, "#bundle", 8) == 0) {
        *error = QStringLiteral("OSC bundles are not taken: send each message on its own.");
        return std::nullopt;
    }
    if (size <= 0 || data[0] != '/') {
        *error = QStringLiteral("That is not an OSC message.");
        return std::nullopt;
    }
    // liblo checks the padding, the type tags and every argument's length against the datagram.
    int result = 0;
    LoMessagePtr message(lo_message_deserialise(const_cast<char*>(data), size_t(size), &result));
    if (!message || result != 0) {
        *error = QStringLiteral("That is not a well-formed OSC message.");
        return std::nullopt;
    }
    OscMessage parsed;
    parsed.path = QByteArray(data, qstrnlen(data, size_t(size)));
    const char* tags = lo_message_get_types(message.get());
    parsed.typeTags = QByteArray(tags ? tags : "");
    lo_arg** args = lo_message_get_argv(message.get());
    for (int i = 0; i < parsed.typeTags.size(); ++i) {
        switch (parsed.typeTags.at(i)) {
        case LO_INT32:
            parsed.arguments << QVariant(args[i]->i);
            break;
        case LO_FLOAT:
            parsed.arguments << QVariant(args[i]->f);
            break;
        case LO_STRING:
        case LO_SYMBOL: {
            const char* text = &args[i]->s;
            const size_t length = qstrlen(text);
            if (length > size_t(kMaxTextBytes)) {
                *error = QStringLiteral("A text argument is longer than %1 bytes.").arg(kMaxTextBytes);
                return std::nullopt;
            }
            parsed.arguments << QVariant(QString::fromUtf8(text, qsizetype(length)));
            break;
        }
        default:
            parsed.arguments << QVariant();
            break;
        }
    }
    return parsed;
}

QByteArray OscMessage::serialise() const
{
    LoMessagePtr message(lo_message_new());
    for (int i = 0; i < arguments.size() && i < typeTags.size(); ++i) {
        switch (typeTags.at(i)) {
        case LO_INT32:
            lo_message_add_int32(message.get(), arguments.at(i).toInt());
            break;
        case LO_FLOAT:
            lo_message_add_float(message.get(), arguments.at(i).toFloat());
            break;
        default:
            lo_message_add_string(message.get(), arguments.at(i).toString().toUtf8().constData());
            break;
        }
    }
    size_t length = 0;
    void* bytes = lo_message_serialise(message.get(), path.constData(), nullptr, &length);
    QByteArray datagram(static_cast<const char*>(bytes), qsizetype(length));
    free(bytes);
    return datagram;
}
