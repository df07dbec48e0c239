#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariant>
#include <optional>

/// One OSC message as the remote control sees it: an address, the type tags and the arguments
/// (32-bit integers as int, floats as float, strings as QString; other types keep their tag and an
/// empty value). Built by `parse` from a datagram on the network thread, or by the replies on the
/// main thread. Plain data: any thread.
struct OscMessage
{
    /// The longest text argument taken: a name in a setup is far shorter.
    static constexpr int kMaxTextBytes = 256;

    QByteArray path;
    QByteArray typeTags;
    QList<QVariant> arguments;

    OscMessage() = default;
    OscMessage(QByteArray address, QByteArray tags, QList<QVariant> args)
        : path(std::move(address)), typeTags(std::move(tags)), arguments(std::move(args))
    {
    }

    /// Reads one datagram. On failure returns nothing and says why in `error` (plain text).
    static std::optional<OscMessage> parse(const char* data, qsizetype size, QString* error);
    /// The datagram for this message; its type tags must be i, f or s only.
    QByteArray serialise() const;
};
