#pragma once

#include <cstdint>
#include <cstring>

/// One message (or one request) waiting in the native JACK backend on its way to an output port:
/// its bytes, the frame of the server's clock it is due at (0: at once), and the tag of the sender
/// that scheduled it, so that a muted or removed patch can take back its note ons.
struct JackMIDIEvent
{
    enum Kind : std::uint8_t
    {
        Message,      ///< send the bytes
        CancelNoteOns ///< take back the scheduled note ons of ownerTag
    };
    /// Messages a patch sends are at most three bytes long; a little room to spare.
    static constexpr int kMaxBytes = 16;

    std::int64_t dueFrame = 0;
    std::uint64_t ownerTag = 0;
    std::uint8_t kind = Message;
    std::uint8_t size = 0;
    std::uint8_t bytes[kMaxBytes] = {};

    /// False, leaving the event unchanged, when the message is empty or too long.
    bool setBytes(const unsigned char* data, std::size_t length)
    {
        if (length == 0 || length > std::size_t(kMaxBytes))
            return false;
        std::memcpy(bytes, data, length);
        size = std::uint8_t(length);
        return true;
    }

    bool isNoteOn() const { return size >= 3 && (bytes[0] & 0xF0) == 0x90 && bytes[2] != 0; }
};
