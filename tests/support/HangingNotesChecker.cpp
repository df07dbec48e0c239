#include "support/HangingNotesChecker.h"

#include "support/RoutingTestRig.h"

void HangingNotesChecker::heard(const QString& port, const midiMessage_t& m)
{
    if (m.size() < 3)
        return;
    const int type = m[0] & 0xF0;
    const int channel = m[0] & 0x0F;
    if (type == 0x90 && m[2] != 0) {
        _notes[port][channel * 128 + m[1]]++;
        ++_noteOns;
    } else if (type == 0x80 || type == 0x90) {
        int& count = _notes[port][channel * 128 + m[1]];
        count = std::max(0, count - 1);
    } else if (type == 0xB0 && m[1] == 64) {
        _pedals[port][channel] = m[2] >= 64;
    } else if (type == 0xB0 && m[1] == 123) {
        for (int note = 0; note < 128; ++note)
            _notes[port][channel * 128 + note] = 0;
    }
}

void HangingNotesChecker::collectFromRig(const QStringList& ports)
{
    for (const QString& port : ports) {
        for (const midiMessage_t& message : RoutingTestRig::takeSent(port))
            heard(port, message);
    }
}

QString HangingNotesChecker::hanging() const
{
    QStringList problems;
    for (auto p = _notes.begin(); p != _notes.end(); ++p) {
        for (auto n = p.value().begin(); n != p.value().end(); ++n) {
            if (n.value() > 0)
                problems << QStringLiteral("%1 ch%2 note %3")
                                .arg(p.key())
                                .arg(n.key() / 128 + 1)
                                .arg(n.key() % 128);
        }
    }
    for (auto p = _pedals.begin(); p != _pedals.end(); ++p) {
        for (auto c = p.value().begin(); c != p.value().end(); ++c) {
            if (c.value())
                problems << QStringLiteral("%1 ch%2 pedal").arg(p.key()).arg(c.key() + 1);
        }
    }
    return problems.join(QStringLiteral(", "));
}
