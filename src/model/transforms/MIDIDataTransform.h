#pragma once

#include "midi/MIDITypes.h"
#include "model/BaseMIDIObject.h"
#include "model/PumpedSignalSource.h"
#include "model/transforms/ValueMapBuffer.h"

#include <QPoint>
#include <atomic>
#include <vector>

/// The message list a patch hands to each transform of its chain. It owns nothing: the first
/// entry is the patch's own copy of the incoming message, every added entry points at the output
/// message of the transform that added it. The patch sends the entries from last to first.
using midiMessageList_t = std::vector<midiMessage_t*>;

/// Base of every MIDI data transform: three byte and two integer parameters that each type reads
/// in its own way, a 128-entry value map, the bypass switch, the remembered editor position, the
/// activity signals, and the default processing entry points.
///
/// Threads. Setters, map operations, clipboard and XML run on the GUI thread. The processing
/// entry points run on the MIDI thread (or the patch's delayed-delivery path) under the patch's
/// message lock, and read the parameters without any lock. So every parameter and the bypass flag
/// is a std::atomic, read whole; the value map is double buffered (ValueMapBuffer): a MIDI-thread
/// read sees one complete published map, never one half rewritten by a whole-map operation or a
/// paste, and it neither allocates nor blocks. Processing emits no signal: it leaves its activity
/// for the ModelSignalPump, which emits handledAMessage (at most once a tick) and
/// lastValueReceived (the latest value) on the GUI thread with no lock held.
class MIDIDataTransform : public BaseMIDIObject, public PumpedSignalSource
{
    Q_OBJECT

public:
    /// Every field at its initial value, the output message with room for three bytes, then the
    /// identity map through setMappingToDefault() (so a new transform is marked modified).
    MIDIDataTransform(QString name, QObject* parent);

    /// "MIDIDataTransform" for every type: the tag of the XML element.
    QString getObjTypeName() const override;
    /// The transform element: the common attributes, "bypass", "byte1" to "byte3", "int1",
    /// "int2", the escaped value map in "valueMapping" with "valueMappingEscaped" = 1, and
    /// "editorPositionX"/"editorPositionY" when a position is stored. GUI thread only.
    QDomElement toDomElement(QDomDocument& doc) override;
    /// Reads what toDomElement writes through the ordinary setters: missing "bypass", bytes and
    /// "int1" read as 0, a missing "int2" keeps the type's default, the editor position only when
    /// both coordinates are present. Values outside 0 to 127 leave a byte unchanged. An unmarked
    /// "valueMapping" (older documents) is taken literally. GUI thread only.
    void initFromDomElement(const QDomElement& element) override;

    /// False for types with nothing to edit; their editor is not opened when they are added.
    virtual bool hasEditableParameters() const;
    /// One line shown for the transform: the name, plus " (bypassed)" when bypassed.
    virtual QString getDescriptionString() const;
    /// Processes the whole list: offers each entry, by index, to transformThisIfYouCan while the
    /// index is below the list's current size, so messages appended during the pass are offered
    /// too. MIDI thread: no allocation, no blocking.
    virtual void transformWhatYouCan(midiMessageList_t* messages);
    /// Processes one message of the list; the base leaves it alone. MIDI thread.
    virtual void transformThisIfYouCan(midiMessage_t* message, midiMessageList_t* messages);

    /// Parameter reads: any thread, one whole value each.
    bool isBypassed() const { return _bypassed.load(); }
    BYTE getByte1() const { return _byte1.load(); }
    BYTE getByte2() const { return _byte2.load(); }
    BYTE getByte3() const { return _byte3.load(); }
    int getInt1() const { return _int1.load(); }
    int getInt2() const { return _int2.load(); }

    /// The map entry for an input value; 0 when the index is above 127. Any thread: no
    /// allocation, no blocking.
    BYTE getMapValueAt(BYTE index) const;
    /// All 128 entries of one complete map, for code that needs several entries consistent with
    /// each other. Any thread: no allocation, no blocking.
    void copyMapValues(ValueMapBuffer::Values& values) const;
    /// Stores the entry (ignored when index or value is above 127), marks the transform modified
    /// and emits mapValueChangedTo, also when the entry already held the value. GUI thread only.
    void setMapValueAt(BYTE index, BYTE value);
    /// 128 characters; character i has the code point of entry i. GUI thread only.
    QString getMapValuesAsString() const;
    /// Entry i becomes the Latin-1 code of character i for i below the text's length and 128;
    /// codes above 127 (and characters beyond U+00FF) leave the entry unchanged. The entries
    /// change together, then mapValueChangedTo is emitted for each, ascending. GUI thread only.
    void setMapValuesFromString(const QString& text);

    bool hasEditorPosition() const { return _hasEditorPosition; }
    QPoint getEditorPosition() const { return _editorPosition; }
    /// Remembers the editor dialog's position; neither marks modified nor signals. GUI thread.
    void setEditorPosition(const QPoint& position);

    void emitPendingSignals() override;
    bool hasPumpedListeners() const override;

public slots:
    void toggleBypass();
    /// The setters ignore an unchanged value (and bytes above 127); otherwise they store it,
    /// mark the transform modified and emit the matching signal. GUI thread only.
    void setBypassed(bool bypass);
    void setByte1(BYTE value);
    void setByte2(BYTE value);
    void setByte3(BYTE value);
    void setInt1(int value);
    void setInt2(int value);

    /// Whole-map operations: the new map is published at once, then mapValueChangedTo is emitted
    /// for entries 0 to 127 in ascending order. GUI thread only.
    void setMappingToDefault();
    void setMappingToSineRampUp();
    void reverseMapping();
    void invertMapping();
    void setAllMappingValuesToMax();
    void setAllMappingValuesToMin();

    /// Puts the map's string form on the clipboard. GUI thread only.
    void copyValueMapToClipboard();
    /// Takes a value map from the clipboard. Nothing happens unless the clipboard holds one; a
    /// clipboard entry that is not a complete map (128 characters, each 0 to 127) is refused with
    /// a status message rather than half applied. GUI thread only.
    void pasteValueMapFromClipboard();

signals:
    void bypassChangedTo(bool bypassed);
    void byte1ValueChangedTo(BYTE newVal);
    void byte2ValueChangedTo(BYTE newVal);
    void byte3ValueChangedTo(BYTE newVal);
    void int1ValueChangedTo(int newVal);
    void int2ValueChangedTo(int newVal);
    void mapValueChangedTo(BYTE index, BYTE newValue);
    void handledAMessage();
    void lastValueReceived(unsigned char lastVal);

protected:
    void connectNotify(const QMetaMethod& signal) override;
    /// Leaves handledAMessage for the pump. MIDI thread: no allocation, no blocking.
    void _noteHandledAMessage();
    /// Leaves lastValueReceived(value) for the pump. MIDI thread: no allocation, no blocking.
    void _noteLastValueReceived(BYTE value);

    /// The message a type fills and appends to the list when it adds a message. It has room for
    /// three bytes, so filling it with a channel message does not allocate. MIDI thread.
    midiMessage_t* getOutputMessage() { return &_outputMessage; }
    /// True for this transform's own output message, so a type can leave alone a message it
    /// appended itself during the same pass. MIDI thread.
    bool isOwnOutputMessage(const midiMessage_t* message) const { return message == &_outputMessage; }
    /// Stores byte2 without signal and without marking modified, for a type that remembers a
    /// value it received. MIDI thread: no allocation, no blocking.
    void _storeByte2Quietly(BYTE value);

private:
    /// Publishes a whole new map, marks modified and emits mapValueChangedTo for every entry.
    void _applyWholeMap(const ValueMapBuffer::Values& values);

    std::atomic<bool> _bypassed{false};
    std::atomic<BYTE> _byte1{0};
    std::atomic<BYTE> _byte2{0};
    std::atomic<BYTE> _byte3{0};
    std::atomic<int> _int1{0};
    std::atomic<int> _int2{0};
    ValueMapBuffer _valueMap;
    midiMessage_t _outputMessage;
    std::atomic<bool> _handledActivity{false};
    std::atomic<int> _pendingLastValue{-1};
    bool _hasEditorPosition = false;
    QPoint _editorPosition{-1, -1};
};
