#include "persistence/SetListFileReaderWriter.h"

#include "app/StatusManager.h"
#include "model/setlist/SetList.h"
#include "persistence/FileErrorText.h"
#include "persistence/SetupDocumentParser.h"
#include "persistence/SetupFileCheck.h"

#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QXmlStreamWriter>

using FileErrorText::reasonOf;
using FileErrorText::shownPath;

namespace {

const QString kDocumentTypeName = QStringLiteral("QuorvellSetList");
const QString kRootTag = QStringLiteral("SetList");
// A set list names files; nothing near this size is one.
constexpr qint64 kMaxSetListFileSize = qint64(4) * 1024 * 1024;

// A whole number 0..127 (or the any-channel 127); false when the attribute is missing or is not
// one.
bool byteAttribute(const QDomElement& element, const QString& name, int maxValue, int* value)
{
    bool ok = false;
    const int number = element.attribute(name).trimmed().toInt(&ok);
    if (!ok || number < 0 || number > maxValue)
        return false;
    *value = number;
    return true;
}

// One trigger element; false with the reason when it makes no sense.
bool readTrigger(const QDomElement& element, SetListTrigger* trigger, QString* why)
{
    SetListTrigger::Action action;
    if (!SetListTrigger::actionFromKey(element.attribute(QStringLiteral("action")), &action)) {
        *why = QStringLiteral("its action \"%1\" is not next, previous or song")
                   .arg(element.attribute(QStringLiteral("action")));
        return false;
    }
    trigger->setAction(action);
    if (action == SetListTrigger::Action::Song) {
        bool ok = false;
        const int song = element.attribute(QStringLiteral("song")).toInt(&ok);
        if (!ok || song < 1) {
            *why = QStringLiteral("it names no song number (counting from 1)");
            return false;
        }
        trigger->setSongNumber(song);
    }
    trigger->setMIDIPortName(element.attribute(QStringLiteral("midiPortName")));
    if (trigger->getMIDIPortName().isEmpty()) {
        *why = QStringLiteral("it names no MIDI port");
        return false;
    }
    int channel = SetListTrigger::kAnyChannel;
    if (element.hasAttribute(QStringLiteral("midiChannelIndex")) &&
        (!byteAttribute(element, QStringLiteral("midiChannelIndex"), 127, &channel) ||
         (channel > 15 && channel != SetListTrigger::kAnyChannel))) {
        *why = QStringLiteral("its channel is not 0 to 15 or 127 (any)");
        return false;
    }
    trigger->setMIDIChannelIndex(BYTE(channel));
    SetListTrigger::MessageType type;
    if (!SetListTrigger::messageTypeFromKey(element.attribute(QStringLiteral("messageType")), &type)) {
        *why = QStringLiteral("its message type \"%1\" is not note, programChange or controller")
                   .arg(element.attribute(QStringLiteral("messageType")));
        return false;
    }
    trigger->setMessageType(type);
    int number = 0;
    if (!byteAttribute(element, QStringLiteral("number"), 127, &number)) {
        *why = QStringLiteral("its number is not 0 to 127");
        return false;
    }
    trigger->setNumber(BYTE(number));
    if (type == SetListTrigger::MessageType::Controller) {
        // A foot switch by default: pressed is 64 and above.
        int minValue = 64;
        int maxValue = 127;
        if ((element.hasAttribute(QStringLiteral("minValue")) &&
             !byteAttribute(element, QStringLiteral("minValue"), 127, &minValue)) ||
            (element.hasAttribute(QStringLiteral("maxValue")) &&
             !byteAttribute(element, QStringLiteral("maxValue"), 127, &maxValue))) {
            *why = QStringLiteral("its value range is not within 0 to 127");
            return false;
        }
        trigger->setValueRange(BYTE(minValue), BYTE(maxValue));
    }
    return true;
}

} // namespace

QString SetListFileReaderWriter::whySongFileCannotBeRead(const QString& resolvedPath)
{
    const QString reason = whySetupFileCannotBeOpened(resolvedPath);
    if (!reason.isEmpty())
        return reason;
    QFile file(resolvedPath);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("Could not open the setup file \"%1\": %2.")
            .arg(shownPath(resolvedPath), reasonOf(file, QStringLiteral("it cannot be opened")));
    return QString();
}

QStringList SetListFileReaderWriter::checkSongFiles(SetList* setList)
{
    QStringList problems;
    for (int i = 0; i < setList->getNumSongs(); ++i) {
        const SetListSong& song = setList->getSongAtIndex(i);
        const QString reason = song.getFile().isEmpty() ? QStringLiteral("No setup file is named for it.")
                                                        : whySongFileCannotBeRead(song.getResolvedPath());
        setList->setSongLoadError(i, reason);
        if (!reason.isEmpty())
            problems << QStringLiteral("Song %1 \"%2\" cannot be played: %3")
                            .arg(i + 1)
                            .arg(song.getName(), reason);
    }
    return problems;
}

bool SetListFileReaderWriter::readSetListFromDisk(SetList* setList, const QString& path, QString* errorText)
{
    auto fail = [errorText](const QString& text) {
        postErrorMessage(text);
        if (errorText)
            *errorText = text;
        return false;
    };
    if (!setList)
        return false;
    const QString shown = shownPath(path);
    const QFileInfo info(path);
    if (path.isEmpty())
        return fail(QStringLiteral("No set list file was named to be read."));
    if (!info.exists())
        return fail(QStringLiteral("The set list file \"%1\" does not exist.").arg(shown));
    if (!info.isFile())
        return fail(QStringLiteral("\"%1\" is not a set list file: it is not a regular file.").arg(shown));
    if (info.size() > kMaxSetListFileSize)
        return fail(QStringLiteral("\"%1\" is not a set list file: it is larger than 4 MiB.").arg(shown));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("Could not open the set list file \"%1\": %2.")
                        .arg(shown, reasonOf(file, QStringLiteral("it cannot be opened"))));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return fail(QStringLiteral("Could not read the set list file \"%1\": %2.")
                        .arg(shown, reasonOf(file, QStringLiteral("it cannot be read"))));
    QString error;
    QStringList warnings;
    if (!readSetListFromBytes(setList, bytes, info.absoluteFilePath(), &error, &warnings))
        return fail(error);
    warnings << checkSongFiles(setList);
    for (const QString& warning : std::as_const(warnings))
        postWarningMessage(warning);
    return true;
}

bool SetListFileReaderWriter::readSetListFromBytes(SetList* setList, const QByteArray& bytes,
                                                   const QString& path, QString* errorText,
                                                   QStringList* warnings)
{
    const QString shown = shownPath(path);
    auto fail = [errorText](const QString& text) {
        if (errorText)
            *errorText = text;
        return false;
    };
    if (bytes.trimmed().isEmpty())
        return fail(QStringLiteral("\"%1\" is not a set list file: it is empty.").arg(shown));
    QDomDocument document;
    // The setup parser: the same defences against deep nesting and entity expansion.
    QString parseError;
    if (!SetupDocumentParser::parse(bytes, &document, &parseError))
        return fail(QStringLiteral("\"%1\" is not a readable set list file (%2).").arg(shown, parseError));
    const QDomElement root = document.documentElement();
    const QString docType = document.doctype().name();
    if (root.tagName() != kRootTag || (!docType.isEmpty() && docType != kDocumentTypeName))
        return fail(QStringLiteral("\"%1\" is not a set list file: it holds \"%2\" instead of \"%3\".")
                        .arg(shown, root.tagName(), kRootTag));
    const QString version = root.attribute(QStringLiteral("documentVersion"), QStringLiteral("1.0"));
    if (!version.startsWith(QLatin1String("1.")))
        return fail(
            QStringLiteral("\"%1\" is a set list of version %2, which this version of Quorvell cannot "
                           "read.")
                .arg(shown, version));

    QList<SetListSong> songs;
    const QDomElement songsElement = root.firstChildElement(QStringLiteral("Songs"));
    for (QDomElement song = songsElement.firstChildElement(QStringLiteral("Song")); !song.isNull();
         song = song.nextSiblingElement(QStringLiteral("Song"))) {
        songs << SetListSong(song.attribute(QStringLiteral("name")), song.attribute(QStringLiteral("file")));
    }
    QList<SetListTrigger> triggers;
    const QDomElement triggersElement = root.firstChildElement(QStringLiteral("Triggers"));
    int triggerNumber = 0;
    for (QDomElement element = triggersElement.firstChildElement(QStringLiteral("Trigger"));
         !element.isNull(); element = element.nextSiblingElement(QStringLiteral("Trigger"))) {
        ++triggerNumber;
        SetListTrigger trigger;
        QString why;
        if (readTrigger(element, &trigger, &why)) {
            triggers << trigger;
        } else if (warnings) {
            *warnings << QStringLiteral("Trigger %1 of the set list \"%2\" is left out: %3.")
                             .arg(triggerNumber)
                             .arg(root.attribute(QStringLiteral("name")), why);
        }
    }

    // Everything is read: only now does the set list change.
    while (!setList->isEmpty())
        setList->removeSongAtIndex(0);
    setList->setFilePath(path);
    setList->setName(root.attribute(QStringLiteral("name")));
    for (const SetListSong& song : std::as_const(songs))
        setList->addSong(song);
    setList->setTriggers(triggers);
    setList->setModified(false);
    return true;
}

QByteArray SetListFileReaderWriter::setListDocumentBytes(const SetList* setList, const QString& folder)
{
    // The attributes in the order the file form gives them, one space of indentation per level.
    QByteArray bytes;
    QXmlStreamWriter writer(&bytes);
    writer.setAutoFormatting(true);
    writer.setAutoFormattingIndent(1);
    writer.writeDTD(QStringLiteral("<!DOCTYPE %1>").arg(kDocumentTypeName));
    writer.writeStartElement(kRootTag);
    writer.writeAttribute(QStringLiteral("name"), setList->getName());
    writer.writeAttribute(QStringLiteral("documentVersion"), QStringLiteral("1.0"));
    writer.writeStartElement(QStringLiteral("Songs"));
    for (const SetListSong& song : setList->getSongs()) {
        writer.writeEmptyElement(QStringLiteral("Song"));
        writer.writeAttribute(QStringLiteral("name"), song.getName());
        writer.writeAttribute(QStringLiteral("file"), song.fileForFolder(folder));
    }
    writer.writeEndElement();
    writer.writeStartElement(QStringLiteral("Triggers"));
    for (const SetListTrigger& trigger : setList->getTriggers()) {
        writer.writeEmptyElement(QStringLiteral("Trigger"));
        writer.writeAttribute(QStringLiteral("action"), SetListTrigger::actionKey(trigger.getAction()));
        if (trigger.getAction() == SetListTrigger::Action::Song)
            writer.writeAttribute(QStringLiteral("song"), QString::number(trigger.getSongNumber()));
        writer.writeAttribute(QStringLiteral("midiPortName"), trigger.getMIDIPortName());
        writer.writeAttribute(QStringLiteral("midiChannelIndex"),
                              QString::number(trigger.getMIDIChannelIndex()));
        writer.writeAttribute(QStringLiteral("messageType"),
                              SetListTrigger::messageTypeKey(trigger.getMessageType()));
        writer.writeAttribute(QStringLiteral("number"), QString::number(trigger.getNumber()));
        if (trigger.getMessageType() == SetListTrigger::MessageType::Controller) {
            writer.writeAttribute(QStringLiteral("minValue"), QString::number(trigger.getMinValue()));
            writer.writeAttribute(QStringLiteral("maxValue"), QString::number(trigger.getMaxValue()));
        }
    }
    writer.writeEndElement();
    writer.writeEndElement();
    writer.writeEndDocument();
    // The writer sets the document type off with a line break of its own; the file begins with it.
    if (bytes.startsWith('\n'))
        bytes.remove(0, 1);
    return bytes;
}

bool SetListFileReaderWriter::saveSetListToDisk(SetList* setList, const QString& givenPath,
                                                QString* errorText)
{
    auto fail = [errorText](const QString& text) {
        postErrorMessage(text);
        if (errorText)
            *errorText = text;
        return false;
    };
    if (!setList)
        return false;
    const QString path = givenPath.isEmpty() ? setList->getFilePath() : givenPath;
    if (path.isEmpty())
        return fail(QStringLiteral("The set list has no file to be saved to."));
    const QString shown = shownPath(path);
    const QByteArray bytes = setListDocumentBytes(setList, QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail(QStringLiteral("Could not save the set list to \"%1\": %2.")
                        .arg(shown, reasonOf(file, QStringLiteral("the file cannot be created"))));
    if (file.write(bytes) != bytes.size()) {
        const QString reason = reasonOf(file, QStringLiteral("not all of it could be written"));
        file.cancelWriting();
        return fail(QStringLiteral("Could not save the set list to \"%1\": %2.").arg(shown, reason));
    }
    if (!file.commit())
        return fail(QStringLiteral("Could not save the set list to \"%1\": %2.")
                        .arg(shown, reasonOf(file, QStringLiteral("the file cannot be replaced"))));
    setList->setFilePath(QFileInfo(path).absoluteFilePath());
    setList->setModified(false);
    return true;
}
