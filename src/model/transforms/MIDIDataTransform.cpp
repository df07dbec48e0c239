#include "model/transforms/MIDIDataTransform.h"

#include "app/StatusManager.h"
#include "model/ModelSignalPump.h"
#include "model/transforms/ValueMapClipboard.h"
#include "model/transforms/ValueMapText.h"

#include <cmath>
#include <numbers>

namespace {

constexpr int kMapSize = ValueMapBuffer::kSize;

const QString kBypass = QStringLiteral("bypass");
const QString kByte1 = QStringLiteral("byte1");
const QString kByte2 = QStringLiteral("byte2");
const QString kByte3 = QStringLiteral("byte3");
const QString kInt1 = QStringLiteral("int1");
const QString kInt2 = QStringLiteral("int2");
const QString kValueMapping = QStringLiteral("valueMapping");
const QString kValueMappingEscaped = QStringLiteral("valueMappingEscaped");
const QString kEditorPositionX = QStringLiteral("editorPositionX");
const QString kEditorPositionY = QStringLiteral("editorPositionY");

// A missing or non-numeric attribute reads as 0.
int intAttribute(const QDomElement& element, const QString& name)
{
    return element.attribute(name).toInt();
}

// A byte attribute outside 0 to 127 is refused so the byte keeps its value; it is never
// truncated into range.
template <typename Setter>
void readByteAttribute(const QDomElement& element, const QString& name, Setter setter)
{
    const int value = intAttribute(element, name);
    if (value >= 0 && value <= 127)
        setter(static_cast<BYTE>(value));
}

} // namespace

MIDIDataTransform::MIDIDataTransform(QString name, QObject* parent) : BaseMIDIObject(std::move(name), parent)
{
    _outputMessage.reserve(3);
    setMappingToDefault();
}

QString MIDIDataTransform::getObjTypeName() const
{
    return QStringLiteral("MIDIDataTransform");
}

QDomElement MIDIDataTransform::toDomElement(QDomDocument& doc)
{
    QDomElement element = BaseMIDIObject::toDomElement(doc);
    element.setAttribute(kBypass, isBypassed() ? 1 : 0);
    element.setAttribute(kByte1, getByte1());
    element.setAttribute(kByte2, getByte2());
    element.setAttribute(kByte3, getByte3());
    element.setAttribute(kInt1, getInt1());
    element.setAttribute(kInt2, getInt2());
    element.setAttribute(kValueMapping, escapeValueMapText(getMapValuesAsString()));
    element.setAttribute(kValueMappingEscaped, 1);
    if (_hasEditorPosition) {
        element.setAttribute(kEditorPositionX, _editorPosition.x());
        element.setAttribute(kEditorPositionY, _editorPosition.y());
    }
    return element;
}

void MIDIDataTransform::initFromDomElement(const QDomElement& element)
{
    BaseMIDIObject::initFromDomElement(element);
    setBypassed(intAttribute(element, kBypass) != 0);
    readByteAttribute(element, kByte1, [this](BYTE v) { setByte1(v); });
    readByteAttribute(element, kByte2, [this](BYTE v) { setByte2(v); });
    readByteAttribute(element, kByte3, [this](BYTE v) { setByte3(v); });
    setInt1(intAttribute(element, kInt1));
    if (element.hasAttribute(kInt2))
        setInt2(intAttribute(element, kInt2));

    const QString mapping = element.attribute(kValueMapping);
    if (intAttribute(element, kValueMappingEscaped) != 0)
        setMapValuesFromString(unescapeValueMapText(mapping));
    else
        setMapValuesFromString(literalValueMapText(mapping));

    if (element.hasAttribute(kEditorPositionX) && element.hasAttribute(kEditorPositionY))
        setEditorPosition(
            QPoint(intAttribute(element, kEditorPositionX), intAttribute(element, kEditorPositionY)));
}

bool MIDIDataTransform::hasEditableParameters() const
{
    return true;
}

QString MIDIDataTransform::getDescriptionString() const
{
    if (isBypassed())
        return getName() + QStringLiteral(" (bypassed)");
    return getName();
}

// MIDI thread: no allocation, no blocking. The size is read afresh on every step, so messages
// appended during the pass are offered to this transform as well.
void MIDIDataTransform::transformWhatYouCan(midiMessageList_t* messages)
{
    for (std::size_t i = 0; i < messages->size(); ++i)
        transformThisIfYouCan((*messages)[i], messages);
}

void MIDIDataTransform::transformThisIfYouCan(midiMessage_t* /*message*/, midiMessageList_t* /*messages*/) {}

BYTE MIDIDataTransform::getMapValueAt(BYTE index) const
{
    if (index >= kMapSize)
        return 0;
    return _valueMap.valueAt(index);
}

void MIDIDataTransform::copyMapValues(ValueMapBuffer::Values& values) const
{
    _valueMap.copyValues(values);
}

void MIDIDataTransform::setMapValueAt(BYTE index, BYTE value)
{
    if (index >= kMapSize || value > 127)
        return;
    _valueMap.publishValueAt(index, value);
    setModified(true);
    emit mapValueChangedTo(index, value);
}

QString MIDIDataTransform::getMapValuesAsString() const
{
    ValueMapBuffer::Values values;
    copyMapValues(values);
    QString text(kMapSize, QChar(0));
    for (int i = 0; i < kMapSize; ++i)
        text[i] = QChar(char16_t(values[i]));
    return text;
}

void MIDIDataTransform::setMapValuesFromString(const QString& text)
{
    ValueMapBuffer::Values values;
    copyMapValues(values);
    bool applied[kMapSize] = {};
    bool anyApplied = false;
    const qsizetype count = std::min<qsizetype>(text.size(), kMapSize);
    for (qsizetype i = 0; i < count; ++i) {
        const char16_t code = text.at(i).unicode();
        // A character beyond U+00FF counts as 0; codes above 127 leave the entry as it is.
        const int latin1 = code > 0xFF ? 0 : code;
        if (latin1 > 127)
            continue;
        values[i] = static_cast<BYTE>(latin1);
        applied[i] = true;
        anyApplied = true;
    }
    if (!anyApplied)
        return;
    _valueMap.publish(values);
    setModified(true);
    for (int i = 0; i < kMapSize; ++i) {
        if (applied[i])
            emit mapValueChangedTo(static_cast<BYTE>(i), values[i]);
    }
}

void MIDIDataTransform::setEditorPosition(const QPoint& position)
{
    _editorPosition = position;
    _hasEditorPosition = true;
}

void MIDIDataTransform::toggleBypass()
{
    setBypassed(!isBypassed());
}

void MIDIDataTransform::setBypassed(bool bypass)
{
    if (bypass == _bypassed.load())
        return;
    _bypassed.store(bypass);
    setModified(true);
    emit bypassChangedTo(bypass);
}

void MIDIDataTransform::setByte1(BYTE value)
{
    if (value > 127 || value == _byte1.load())
        return;
    _byte1.store(value);
    setModified(true);
    emit byte1ValueChangedTo(value);
}

void MIDIDataTransform::setByte2(BYTE value)
{
    if (value > 127 || value == _byte2.load())
        return;
    _byte2.store(value);
    setModified(true);
    emit byte2ValueChangedTo(value);
}

void MIDIDataTransform::setByte3(BYTE value)
{
    if (value > 127 || value == _byte3.load())
        return;
    _byte3.store(value);
    setModified(true);
    emit byte3ValueChangedTo(value);
}

void MIDIDataTransform::setInt1(int value)
{
    if (value == _int1.load())
        return;
    _int1.store(value);
    setModified(true);
    emit int1ValueChangedTo(value);
}

void MIDIDataTransform::setInt2(int value)
{
    if (value == _int2.load())
        return;
    _int2.store(value);
    setModified(true);
    emit int2ValueChangedTo(value);
}

void MIDIDataTransform::_storeByte2Quietly(BYTE value)
{
    if (value <= 127)
        _byte2.store(value);
}

void MIDIDataTransform::setMappingToDefault()
{
    ValueMapBuffer::Values values;
    for (int i = 0; i < kMapSize; ++i)
        values[i] = static_cast<BYTE>(i);
    _applyWholeMap(values);
}

void MIDIDataTransform::setMappingToSineRampUp()
{
    // The quarter-sine curve computed in double precision and truncated toward zero.
    ValueMapBuffer::Values values;
    for (int i = 0; i < kMapSize; ++i)
        values[i] = static_cast<BYTE>(127.0 * std::sin(i * std::numbers::pi / 254.0));
    _applyWholeMap(values);
}

void MIDIDataTransform::reverseMapping()
{
    ValueMapBuffer::Values old;
    copyMapValues(old);
    ValueMapBuffer::Values values;
    for (int i = 0; i < kMapSize; ++i)
        values[i] = old[kMapSize - 1 - i];
    _applyWholeMap(values);
}

void MIDIDataTransform::invertMapping()
{
    ValueMapBuffer::Values values;
    copyMapValues(values);
    for (BYTE& value : values)
        value = static_cast<BYTE>(127 - value);
    _applyWholeMap(values);
}

void MIDIDataTransform::setAllMappingValuesToMax()
{
    ValueMapBuffer::Values values;
    values.fill(127);
    _applyWholeMap(values);
}

void MIDIDataTransform::setAllMappingValuesToMin()
{
    ValueMapBuffer::Values values;
    values.fill(0);
    _applyWholeMap(values);
}

void MIDIDataTransform::_applyWholeMap(const ValueMapBuffer::Values& values)
{
    _valueMap.publish(values);
    setModified(true);
    for (int i = 0; i < kMapSize; ++i)
        emit mapValueChangedTo(static_cast<BYTE>(i), values[i]);
}

void MIDIDataTransform::copyValueMapToClipboard()
{
    putValueMapInClipboardAsString(getMapValuesAsString());
}

void MIDIDataTransform::pasteValueMapFromClipboard()
{
    if (!doesClipboardHaveValueMap())
        return;
    const QString text = getValueMapFromClipboardAsString();
    bool complete = text.size() == kMapSize;
    for (qsizetype i = 0; complete && i < text.size(); ++i)
        complete = text.at(i).unicode() <= 127;
    if (!complete) {
        postStatusMessage(
            QStringLiteral("The clipboard does not hold a complete value map: nothing was pasted."), 5000);
        return;
    }
    setMapValuesFromString(text);
}

void MIDIDataTransform::_noteHandledAMessage()
{
    if (ModelSignalPump::isRunning() && !_handledActivity.load(std::memory_order_relaxed))
        _handledActivity.store(true, std::memory_order_relaxed);
}

void MIDIDataTransform::_noteLastValueReceived(BYTE value)
{
    if (ModelSignalPump::isRunning())
        _pendingLastValue.store(value, std::memory_order_relaxed);
}

void MIDIDataTransform::connectNotify(const QMetaMethod& signal)
{
    noteConnection(signal, {QMetaMethod::fromSignal(&MIDIDataTransform::handledAMessage),
                            QMetaMethod::fromSignal(&MIDIDataTransform::lastValueReceived)});
}

bool MIDIDataTransform::hasPumpedListeners() const
{
    return isSignalConnected(QMetaMethod::fromSignal(&MIDIDataTransform::handledAMessage)) ||
           isSignalConnected(QMetaMethod::fromSignal(&MIDIDataTransform::lastValueReceived));
}

void MIDIDataTransform::emitPendingSignals()
{
    if (_handledActivity.exchange(false))
        emit handledAMessage();
    const int value = _pendingLastValue.exchange(-1);
    if (value >= 0)
        emit lastValueReceived(static_cast<unsigned char>(value));
}
