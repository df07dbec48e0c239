#pragma once

#include "model/BaseMIDIObject.h"
#include "model/MIDIMessage.h"

#include <atomic>
#include <cstdint>

class MIDIPatchTarget;

/// One consistent set of an initializer's parameters, taken or stored as a whole.
struct InitializerParameters
{
    BYTE byte1 = 0;
    BYTE byte2 = 0;
    BYTE byte3 = 0;
    int int1 = 0;
};

/// One MIDI message that a patch sends to its port and channel whenever its output becomes active,
/// before any routed message: a program change, a controller value, a keyswitch note and so on.
/// The name is the type name ("Note On"); the registry, the patch and the setup file identify the
/// type by it. Each type builds its message from the parameters byte1, byte2, byte3 and int1.
///
/// Threads. The GUI thread edits the parameters (setters, reading from XML) while a MIDI receive
/// thread may be activating the patch's output and sending this initializer's message. The four
/// parameters are therefore kept together in one lock-free atomic word: every reader sees one whole
/// set of values that existed at some moment, never a mix of an old and a new edit.
/// - Any thread, lock-free: getByte1() to getInt1(), getParameters(), writeInitializationMessageTo().
/// - GUI thread only: the setters, getInitializationMessage() (it rewrites the initializer's own
///   buffer), getDescriptionString(), toDomElement(), initFromDomElement().
/// The patch sends on activation with writeInitializationMessageTo() into its own buffer, never from
/// getInitializationMessage(), whose buffer the GUI thread may be rewriting. Keeping the initializer
/// alive while another thread reads it is the owner's business (the patch holds its message lock
/// across list changes and activation).
class MIDIPatchInitializer : public BaseMIDIObject
{
    Q_OBJECT

public:
    /// The name is the type name; the parameters start at 0.
    MIDIPatchInitializer(QString typeName, QObject* parent);

    /// "MIDIPatchInitializer", the tag of the XML element.
    QString getObjTypeName() const override;
    /// The common attributes, then "byte1", "byte2", "byte3" and "int1" in decimal. GUI thread only.
    QDomElement toDomElement(QDomDocument& doc) override;
    /// Reads "showingInnards", then the bytes and int1 through the setters. A missing or non-numeric
    /// attribute reads as 0, replacing the type's default; a byte outside 0 to 127 is ignored and
    /// the byte keeps its value. The name stays the type name whatever the element says, so a
    /// mislabelled element cannot turn the initializer into an unknown type. GUI thread only.
    void initFromDomElement(const QDomElement& element) override;

    /// Text for display: the base gives the name; each type describes its message. GUI thread only.
    virtual QString getDescriptionString() const;

    /// Rebuilds the initializer's own message from the current parameters and returns it; the caller
    /// may change its channel nibble and must use it before the next call. GUI thread only.
    virtual midiMessage_t* getInitializationMessage();

    /// Any thread, lock-free: writes the message built from one snapshot of the parameters into the
    /// caller's buffer, channel nibble 0. Allocates only when the buffer's capacity is below 3, so
    /// a buffer reserved for 3 bytes makes this safe on the MIDI thread.
    void writeInitializationMessageTo(midiMessage_t* message) const;

    /// Any thread, lock-free: all four parameters as one consistent snapshot.
    InitializerParameters getParameters() const;
    BYTE getByte1() const { return getParameters().byte1; }
    BYTE getByte2() const { return getParameters().byte2; }
    BYTE getByte3() const { return getParameters().byte3; }
    int getInt1() const { return getParameters().int1; }

    /// The patch that owns this initializer (its QObject parent), or null. The patch class sits
    /// above the initializers, so the cast is made where the caller knows that class.
    template <typename Patch = MIDIPatchTarget> Patch* getParentMIDIPatchTarget() const
    {
        return qobject_cast<Patch*>(parent());
    }

public slots:
    /// A value above 127 is ignored. Otherwise stores it (also when unchanged, so choosing the
    /// same value again is heard again), marks the initializer modified, emits the byte's
    /// ...ValueChangedTo signal and then messageDeliveryRequested. GUI thread only.
    void setByte1(BYTE value);
    void setByte2(BYTE value);
    void setByte3(BYTE value);
    /// Ignored when unchanged; otherwise stores it, marks the initializer modified, emits
    /// int1ValueChangedTo and then messageDeliveryRequested. No range check. GUI thread only.
    void setInt1(int value);

signals:
    /// An edit asks for the message to be heard at once. The message is the initializer's own
    /// buffer, valid only while the signal is being delivered: connect on the GUI thread with a
    /// direct (or same-thread automatic) connection and copy it before sending.
    void messageDeliveryRequested(midiMessage_t* message);
    void byte1ValueChangedTo(BYTE newVal);
    void byte2ValueChangedTo(BYTE newVal);
    void byte3ValueChangedTo(BYTE newVal);
    void int1ValueChangedTo(int newVal);

protected:
    /// Writes the type's message for the given parameters into the buffer, channel nibble 0. Any
    /// thread: must not touch members other than through the parameters given. The base empties it.
    virtual void buildMessage(const InitializerParameters& parameters, midiMessage_t* message) const;

    /// Stores parameters without announcing them or marking anything; for constructor defaults.
    void setParametersQuietly(const InitializerParameters& parameters);

private:
    enum class Field
    {
        Byte1,
        Byte2,
        Byte3,
        Int1
    };

    static std::uint64_t _pack(const InitializerParameters& parameters);
    static InitializerParameters _unpack(std::uint64_t packed);
    void _setByte(Field field, BYTE value);
    void _announce(Field field, int value);

    const QString _typeName;
    std::atomic<std::uint64_t> _parameters{0};
    midiMessage_t _message;

    static_assert(std::atomic<std::uint64_t>::is_always_lock_free,
                  "initializer parameters must be readable on the MIDI thread without a lock");
};
