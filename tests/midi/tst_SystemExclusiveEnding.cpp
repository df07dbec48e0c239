// How the native JACK backend cuts what an input receives into messages: a system exclusive
// message in progress ends at its F7 or at the next status byte that is not real-time, and the
// message that ended it is handed on; the input never goes deaf.
#include "midi/JackMIDIInputSplitter.h"
#include "midi/MIDITypes.h"

#include <QTest>
#include <vector>

using Bytes = midiMessage_t;
Q_DECLARE_METATYPE(std::vector<Bytes>)

namespace {

void collect(const std::uint8_t* bytes, std::size_t size, void* context)
{
    static_cast<std::vector<Bytes>*>(context)->emplace_back(bytes, bytes + size);
}

std::vector<Bytes> feedAll(JackMIDIInputSplitter& splitter, const std::vector<Bytes>& events)
{
    std::vector<Bytes> handedOn;
    for (const Bytes& event : events)
        splitter.feed(event.data(), event.size(), &collect, &handedOn);
    return handedOn;
}

} // namespace

class SystemExclusiveEndingTest : public QObject
{
    Q_OBJECT

private slots:
    void whatEachEventBecomes_data()
    {
        QTest::addColumn<std::vector<Bytes>>("events");
        QTest::addColumn<std::vector<Bytes>>("handedOn");
        QTest::addColumn<bool>("stillInDump");

        QTest::newRow("plain notes") << std::vector<Bytes>{{0x90, 60, 100}, {0x80, 60, 0}}
                                     << std::vector<Bytes>{{0x90, 60, 100}, {0x80, 60, 0}} << false;
        QTest::newRow("whole dump is left out")
            << std::vector<Bytes>{{0xF0, 0x43, 0x10, 0xF7}, {0x90, 61, 90}}
            << std::vector<Bytes>{{0x90, 61, 90}} << false;
        QTest::newRow("unplugged mid-dump, next note plays")
            << std::vector<Bytes>{{0xF0, 0x43, 0x10}, {0x90, 62, 80}} << std::vector<Bytes>{{0x90, 62, 80}}
            << false;
        QTest::newRow("dump in pieces")
            << std::vector<Bytes>{{0xF0, 0x43}, {0x10, 0x20}, {0x30, 0xF7}, {0xB0, 7, 1}}
            << std::vector<Bytes>{{0xB0, 7, 1}} << false;
        QTest::newRow("dump still under way")
            << std::vector<Bytes>{{0xF0, 0x43}, {0x10, 0x20}} << std::vector<Bytes>{} << true;
        QTest::newRow("note inside the dump's event ends it")
            << std::vector<Bytes>{{0xF0, 0x43, 0x10, 0x90, 50, 88}} << std::vector<Bytes>{{0x90, 50, 88}}
            << false;
        QTest::newRow("start inside a dump passes, clock stays out")
            << std::vector<Bytes>{{0xF0, 0x43, 0xFA, 0xF8, 0x10}, {0xFC}}
            << std::vector<Bytes>{{0xFA}, {0xFC}} << true;
        QTest::newRow("song position ends a dump") << std::vector<Bytes>{{0xF0, 0x01}, {0xF2, 0x10, 0x20}}
                                                   << std::vector<Bytes>{{0xF2, 0x10, 0x20}} << false;
        QTest::newRow("a new dump ends the old one")
            << std::vector<Bytes>{{0xF0, 0x01}, {0xF0, 0x02, 0xF7}, {0x90, 1, 1}}
            << std::vector<Bytes>{{0x90, 1, 1}} << false;
        QTest::newRow("after the end, the rest of the event")
            << std::vector<Bytes>{{0xF0, 0x01, 0xF7, 0x90, 2, 2}} << std::vector<Bytes>{{0x90, 2, 2}}
            << false;
        QTest::newRow("clock, time code and active sensing stay out")
            << std::vector<Bytes>{{0xF8}, {0xF1, 0x20}, {0xFE}, {0xFA}} << std::vector<Bytes>{{0xFA}}
            << false;
        QTest::newRow("malformed input is handed on unchanged for the door to judge")
            << std::vector<Bytes>{{0x12, 0x34}, {0x90, 0x40}, {0xF7}}
            << std::vector<Bytes>{{0x12, 0x34}, {0x90, 0x40}, {0xF7}} << false;
    }

    void whatEachEventBecomes()
    {
        QFETCH(std::vector<Bytes>, events);
        QFETCH(std::vector<Bytes>, handedOn);
        QFETCH(bool, stillInDump);
        JackMIDIInputSplitter splitter;
        QCOMPARE(feedAll(splitter, events), handedOn);
        QCOMPARE(splitter.isInSystemExclusive(), stillInDump);
    }

    void reconnectedInputForgetsADumpInProgress()
    {
        JackMIDIInputSplitter splitter;
        feedAll(splitter, {{0xF0, 0x43}});
        splitter.reset();
        QCOMPARE(feedAll(splitter, {{0x10, 0x20}}), (std::vector<Bytes>{{0x10, 0x20}}));
    }
};

QTEST_GUILESS_MAIN(SystemExclusiveEndingTest)
#include "tst_SystemExclusiveEnding.moc"
