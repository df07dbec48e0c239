#include "persistence/SetupFileReaderWriter.h"

#include "app/StatusManager.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "persistence/FileErrorText.h"
#include "persistence/ProgressReporter.h"
#include "persistence/SetupDocumentParser.h"
#include "persistence/SetupFileCheck.h"

#include <QDir>
#include <QDomDocument>
#include <QDomNamedNodeMap>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QXmlStreamWriter>
#include <algorithm>

using FileErrorText::reasonOf;
using FileErrorText::shownPath;

namespace {

const QString kDocumentTypeName = QStringLiteral("MIDIRoutingSetupDocument");

// The text without the characters XML 1.0 does not allow at all (control characters other than
// tab, line feed and carriage return, which the writer turns into references, and U+FFFE/U+FFFF)
// and without halves of surrogate pairs, which cannot be encoded and upset the encoder for the
// text after them. So a name pasted with such a character can never make the file unreadable.
QString xmlSafeText(const QString& text)
{
    QString safe;
    safe.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            safe.append(c);
            safe.append(text.at(++i));
            continue;
        }
        const char16_t u = c.unicode();
        if (c.isSurrogate() || (u < 0x20 && u != u'\t' && u != u'\n' && u != u'\r') || u == 0xFFFE ||
            u == 0xFFFF)
            continue;
        safe.append(c);
    }
    return safe;
}

// Writes the element and everything below it. Attributes go out sorted by name: the document
// keeps them in a hash whose order changes from one run of the program to the next, and the same
// setup should always give the same file.
void writeElement(QXmlStreamWriter& writer, const QDomElement& element)
{
    writer.writeStartElement(element.tagName());
    const QDomNamedNodeMap attributes = element.attributes();
    QList<QPair<QString, QString>> sorted;
    for (int i = 0; i < attributes.count(); ++i) {
        const QDomAttr attribute = attributes.item(i).toAttr();
        sorted.append({attribute.name(), attribute.value()});
    }
    std::sort(sorted.begin(), sorted.end());
    for (const auto& [name, value] : std::as_const(sorted))
        writer.writeAttribute(name, xmlSafeText(value));
    for (QDomNode child = element.firstChild(); !child.isNull(); child = child.nextSibling()) {
        if (child.isElement())
            writeElement(writer, child.toElement());
        else if (child.isText())
            writer.writeCharacters(xmlSafeText(child.toText().data()));
    }
    writer.writeEndElement();
}

} // namespace

SetupFileReaderWriter* SetupFileReaderWriter::_instance = nullptr;

SetupFileReaderWriter* SetupFileReaderWriter::GetInstance()
{
    if (!_instance)
        _instance = new SetupFileReaderWriter();
    return _instance;
}

bool SetupFileReaderWriter::readSetupFromDisk(MIDIRoutingSetup* setup, QString path)
{
    if (!setup)
        return false;
    if (path.isEmpty())
        path = setup->getFilePath();
    const QString shown = shownPath(path);
    const QString reason = whySetupFileCannotBeOpened(path);
    if (!reason.isEmpty()) {
        postErrorMessage(reason);
        return false;
    }

    emit setupFileOpenStarting(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        postErrorMessage(QStringLiteral("Could not open the setup file \"%1\": %2.")
                             .arg(shown, reasonOf(file, QStringLiteral("it cannot be opened"))));
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        postErrorMessage(QStringLiteral("Could not read the setup file \"%1\": %2.")
                             .arg(shown, reasonOf(file, QStringLiteral("it cannot be read"))));
        return false;
    }
    file.close();

    if (!readSetupFromDocumentBytes(setup, bytes, path))
        return false;
    setup->setFilePath(path);
    setup->setModified(false);
    emit setupFileOpenFinished();
    return true;
}

bool SetupFileReaderWriter::readSetupFromDocumentBytes(MIDIRoutingSetup* setup, const QByteArray& bytes,
                                                       const QString& sourceName)
{
    if (!setup)
        return false;
    const QString shown = shownPath(sourceName);
    if (bytes.trimmed().isEmpty()) {
        postErrorMessage(QStringLiteral("\"%1\" is not a setup file: it is empty.").arg(shown));
        return false;
    }
    QDomDocument document;
    QString parseError;
    if (!SetupDocumentParser::parse(bytes, &document, &parseError)) {
        postErrorMessage(QStringLiteral("\"%1\" is not a readable setup file (%2).").arg(shown, parseError));
        return false;
    }
    // Clipboard documents and other XML files share the syntax but not the meaning.
    const QDomElement root = document.documentElement();
    if (root.tagName() != setup->getObjTypeName()) {
        postErrorMessage(QStringLiteral("\"%1\" is not a setup file: it holds \"%2\" instead of \"%3\".")
                             .arg(shown, root.tagName(), setup->getObjTypeName()));
        return false;
    }

    ProgressReporter progress;
    connect(&progress, &ProgressReporter::progressUpdated, this,
            &SetupFileReaderWriter::_openProgressUpdatedSLOT);
    // Nothing routes while the setup is being read: an input listens on its port as soon as it is
    // read, and what is played then would meet outputs not read yet, beside the setup still
    // playing. A setup read to wait its turn (a set list's next song) stays as it is.
    const bool routesAfterRead = setup->getPlayState() == SongPlayGate::Live;
    if (routesAfterRead)
        setup->setPlayState(SongPlayGate::Dormant);
    setup->initFromDomElement(root, &progress);
    if (routesAfterRead)
        setup->setPlayState(SongPlayGate::Live);
    setup->setModified(false);
    return true;
}

QByteArray SetupFileReaderWriter::setupDocumentBytes(MIDIRoutingSetup* setup, ProgressReporter* progress)
{
    QDomDocument document;
    QDomElement root = setup->toDomElement(document, progress);
    root.setAttribute(QStringLiteral("documentVersion"), QStringLiteral("1.0"));

    // UTF-8, declared, so names in any language read back as they were written; one space of
    // indentation per level.
    QByteArray bytes;
    QXmlStreamWriter writer(&bytes);
    writer.setAutoFormatting(true);
    writer.setAutoFormattingIndent(1);
    writer.writeStartDocument(QStringLiteral("1.0"));
    writer.writeDTD(QStringLiteral("<!DOCTYPE %1>").arg(kDocumentTypeName));
    writeElement(writer, root);
    writer.writeEndDocument();
    return bytes;
}

bool SetupFileReaderWriter::saveSetupToDisk(MIDIRoutingSetup* setup, QString path)
{
    if (!setup)
        return false;
    if (path.isEmpty())
        path = setup->getFilePath();
    if (path.isEmpty()) {
        postErrorMessage(QStringLiteral("The setup has no file to be saved to."));
        return false;
    }
    const QString shown = shownPath(path);

    emit setupFileSaveStarting(path);
    ProgressReporter progress;
    connect(&progress, &ProgressReporter::progressUpdated, this,
            &SetupFileReaderWriter::_saveProgressUpdatedSLOT);
    const QByteArray bytes = setupDocumentBytes(setup, &progress);

    // The old file is replaced only when the new one is completely written. Unbuffered, so that
    // a write cut short (disk full, file size limit) shows in the count written; a buffered
    // write would report every byte and lose the shortfall when the buffer is flushed.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        postErrorMessage(QStringLiteral("Could not save the setup to \"%1\": %2.")
                             .arg(shown, reasonOf(file, QStringLiteral("the file cannot be created"))));
        return false;
    }
    if (file.write(bytes) != bytes.size()) {
        const QString reason = reasonOf(file, QStringLiteral("not all of it could be written"));
        file.cancelWriting();
        postErrorMessage(QStringLiteral("Could not save the setup to \"%1\": %2.").arg(shown, reason));
        return false;
    }
    if (!file.commit()) {
        postErrorMessage(QStringLiteral("Could not save the setup to \"%1\": %2.")
                             .arg(shown, reasonOf(file, QStringLiteral("the file cannot be replaced"))));
        return false;
    }
    setup->setFilePath(path);
    setup->setModified(false);
    emit setupFileSaveFinished();
    return true;
}

void SetupFileReaderWriter::_openProgressUpdatedSLOT(int currStep, int numSteps)
{
    emit setupFileOpenProgress(currStep, numSteps);
}

void SetupFileReaderWriter::_saveProgressUpdatedSLOT(int currStep, int numSteps)
{
    emit setupFileSaveProgress(currStep, numSteps);
}
