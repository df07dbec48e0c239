#include "support/MIDIFuzzer.h"

#include <QRandomGenerator>

namespace {

// Bytes of a complete message per status (0: not a message of fixed length).
int lengthOf(unsigned char status)
{
    if (status >= 0x80 && status <= 0xBF)
        return 3;
    if (status >= 0xC0 && status <= 0xDF)
        return 2;
    if (status >= 0xE0 && status <= 0xEF)
        return 3;
    switch (status) {
    case 0xF1:
    case 0xF3:
        return 2;
    case 0xF2:
        return 3;
    case 0xF6:
    case 0xF8:
    case 0xFA:
    case 0xFB:
    case 0xFC:
    case 0xFE:
    case 0xFF:
        return 1;
    default:
        return 0;
    }
}

const unsigned char kSystemStatuses[] = {0xF2, 0xF3, 0xF6, 0xFA, 0xFB, 0xFC, 0xFF, 0xF8, 0xFE, 0xF1};
const unsigned char kUndefined[] = {0xF4, 0xF5, 0xF9, 0xFD};

} // namespace

std::vector<midiMessage_t> MIDIFuzzer::makeEvents(quint32 seed, int count)
{
    QRandomGenerator random(seed);
    auto data = [&random] { return static_cast<unsigned char>(random.bounded(128)); };
    auto channelStatus = [&random] { return static_cast<unsigned char>(0x80 + random.bounded(0x70)); };
    std::vector<midiMessage_t> events;
    events.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        midiMessage_t event;
        switch (random.bounded(11)) {
        case 0:
        case 1:
        case 2: { // a complete channel message, mostly notes
            const unsigned char status =
                random.bounded(2)
                    ? static_cast<unsigned char>(0x80 + 0x10 * random.bounded(2) + random.bounded(16))
                    : channelStatus();
            event.push_back(status);
            for (int b = 1; b < lengthOf(status); ++b)
                event.push_back(data());
            break;
        }
        case 3: { // a complete system message
            const unsigned char status = kSystemStatuses[random.bounded(int(sizeof kSystemStatuses))];
            event.push_back(status);
            for (int b = 1; b < lengthOf(status); ++b)
                event.push_back(data());
            break;
        }
        case 4: { // truncated
            const unsigned char status = random.bounded(4) ? channelStatus() : 0xF2;
            event.push_back(status);
            for (int b = 2; b < lengthOf(status); ++b)
                event.push_back(data());
            break;
        }
        case 5: // data bytes without a status byte (running status from a confused sender)
            for (int b = 0, n = 1 + random.bounded(3); b < n; ++b)
                event.push_back(data());
            break;
        case 6: { // a data byte of 128 or above where a data byte belongs
            const unsigned char status = channelStatus();
            event.push_back(status);
            for (int b = 1; b < lengthOf(status); ++b)
                event.push_back(data());
            event[static_cast<size_t>(1 + random.bounded(lengthOf(status) - 1))] |= 0x80;
            break;
        }
        case 7: // an undefined status, sometimes with data
            event.push_back(kUndefined[random.bounded(4)]);
            for (int b = 0, n = random.bounded(3); b < n; ++b)
                event.push_back(data());
            break;
        case 8: // a lone end of exclusive
            event.push_back(0xF7);
            break;
        case 9: { // system exclusive: complete, or cut off before its end
            event.push_back(0xF0);
            for (int b = 0, n = 1 + random.bounded(8); b < n; ++b)
                event.push_back(data());
            if (random.bounded(2))
                event.push_back(0xF7);
            break;
        }
        default: { // over-long: a complete message with bytes after it
            const unsigned char status = channelStatus();
            event.push_back(status);
            for (int b = 1; b < lengthOf(status) + 1 + random.bounded(2); ++b)
                event.push_back(data());
            break;
        }
        }
        events.push_back(event);
    }
    return events;
}

bool MIDIFuzzer::isCompleteNonExclusive(const midiMessage_t& bytes)
{
    if (bytes.empty())
        return false;
    const int length = lengthOf(bytes[0]);
    if (length == 0 || static_cast<int>(bytes.size()) != length)
        return false;
    for (size_t i = 1; i < bytes.size(); ++i) {
        if (bytes[i] >= 0x80)
            return false;
    }
    return true;
}
