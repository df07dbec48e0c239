#include "persistence/MIDIObjectClipboard.h"

#include "app/StatusManager.h"
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/routing/MIDIRoute.h"
#include "persistence/SetupDocumentParser.h"

#include <QClipboard>
#include <QDomDocument>
#include <QDomNodeList>
#include <QGuiApplication>
#include <QMimeData>

namespace {

const QString kPatchTag = QStringLiteral("MIDIPatchTarget");
const QString kPatchListTag = QStringLiteral("MIDIPatchTargets");
const QString kOutputTag = QStringLiteral("MIDIOutput");

// One clipboard format: its MIME type, the document type name of its documents, the tag of their
// document element, and how the user calls what it holds.
struct ClipboardFormat
{
    QString mimeType;
    QString documentTypeName;
    QString elementTag;
    QString description;
};

const ClipboardFormat& patchFormat()
{
    static const ClipboardFormat format{QStringLiteral("x-application/Quorvell-MIDIPatchTargetXML"),
                                        QStringLiteral("MIDIPatchTarget_XML"), kPatchTag,
                                        QStringLiteral("patch")};
    return format;
}

const ClipboardFormat& patchListFormat()
{
    static const ClipboardFormat format{QStringLiteral("x-application/Quorvell-MIDIPatchTargetListXML"),
                                        QStringLiteral("MIDIPatchTargetList_XML"), kPatchListTag,
                                        QStringLiteral("list of patches")};
    return format;
}

const ClipboardFormat& outputFormat()
{
    static const ClipboardFormat format{QStringLiteral("x-application/Quorvell-MIDIOutputXML"),
                                        QStringLiteral("MIDIOutput_XML"), kOutputTag,
                                        QStringLiteral("output")};
    return format;
}

QClipboard* _getAppClipboard()
{
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr)
        return nullptr;
    return QGuiApplication::clipboard();
}

const QMimeData* _getClipboardMIMEData()
{
    QClipboard* clipboard = _getAppClipboard();
    return clipboard ? clipboard->mimeData(QClipboard::Clipboard) : nullptr;
}

bool _clipboardHasFormat(const ClipboardFormat& format)
{
    const QMimeData* mimeData = _getClipboardMIMEData();
    return mimeData != nullptr && mimeData->hasFormat(format.mimeType);
}

void _putDocumentInClipboard(const ClipboardFormat& format, const QDomDocument& document)
{
    QClipboard* clipboard = _getAppClipboard();
    if (clipboard == nullptr)
        return;
    auto* mimeData = new QMimeData;
    mimeData->setData(format.mimeType, document.toByteArray(1));
    clipboard->setMimeData(mimeData, QClipboard::Clipboard);
}

// The document element of the clipboard's data in the format, parsed into `document`. Null when
// the format is absent, and also when its data is not a document of the format's kind; that is
// posted as an error when `reportProblems` is set (a paste), and passed over in silence otherwise
// (a menu asking for a name).
QDomElement _getElementFromClipboard(const ClipboardFormat& format, QDomDocument& document,
                                     bool reportProblems)
{
    const QMimeData* mimeData = _getClipboardMIMEData();
    if (mimeData == nullptr || !mimeData->hasFormat(format.mimeType))
        return QDomElement();
    const QByteArray bytes = mimeData->data(format.mimeType);
    QString parseError;
    if (bytes.trimmed().isEmpty()) {
        if (reportProblems)
            postErrorMessage(QStringLiteral("The %1 on the clipboard cannot be pasted: it is empty.")
                                 .arg(format.description));
        return QDomElement();
    }
    if (!SetupDocumentParser::parse(bytes, &document, &parseError)) {
        if (reportProblems)
            postErrorMessage(
                QStringLiteral("The %1 on the clipboard cannot be pasted: it is not readable (%2).")
                    .arg(format.description, parseError));
        return QDomElement();
    }
    const QDomElement element = document.documentElement();
    if (element.tagName() != format.elementTag) {
        if (reportProblems)
            postErrorMessage(
                QStringLiteral("The %1 on the clipboard cannot be pasted: it holds \"%2\" instead of \"%3\".")
                    .arg(format.description, element.tagName(), format.elementTag));
        return QDomElement();
    }
    return element;
}

QDomElement _getMPTElemFromClipboard(QDomDocument& document, bool reportProblems)
{
    return _getElementFromClipboard(patchFormat(), document, reportProblems);
}

QDomElement _getMPTListElemFromClipboard(QDomDocument& document, bool reportProblems)
{
    return _getElementFromClipboard(patchListFormat(), document, reportProblems);
}

QDomElement _getMOElemFromClipboard(QDomDocument& document, bool reportProblems)
{
    return _getElementFromClipboard(outputFormat(), document, reportProblems);
}

// The patch elements of a list, in document order.
QList<QDomElement> _patchElementsOfList(const QDomElement& listElement)
{
    QList<QDomElement> elements;
    const QDomNodeList nodes = listElement.elementsByTagName(kPatchTag);
    for (int i = 0; i < nodes.count(); ++i) {
        if (nodes.at(i).isElement())
            elements.append(nodes.at(i).toElement());
    }
    return elements;
}

} // namespace

QString midiPatchTargetMimeType()
{
    return patchFormat().mimeType;
}

QString midiPatchTargetListMimeType()
{
    return patchListFormat().mimeType;
}

QString midiOutputMimeType()
{
    return outputFormat().mimeType;
}

void putMIDIPatchTargetInClipboard(MIDIPatchTarget* mpt)
{
    if (mpt == nullptr)
        return;
    QDomDocument document(patchFormat().documentTypeName);
    document.appendChild(mpt->toDomElement(document));
    _putDocumentInClipboard(patchFormat(), document);
}

void putMIDIPatchTargetsInClipboard(MIDIOutput* output)
{
    if (output == nullptr)
        return;
    QDomDocument document(patchListFormat().documentTypeName);
    QDomElement list = document.createElement(kPatchListTag);
    for (int i = 0; i < output->getNumMIDIPatchTargets(); ++i)
        list.appendChild(output->getMIDIPatchTargetAtIndex(i)->toDomElement(document));
    document.appendChild(list);
    _putDocumentInClipboard(patchListFormat(), document);
}

void putMIDIOutputInClipboard(MIDIOutput* output)
{
    if (output == nullptr)
        return;
    QDomDocument document(outputFormat().documentTypeName);
    document.appendChild(output->toDomElement(document));
    _putDocumentInClipboard(outputFormat(), document);
}

void putTextInClipboard(const QString& text)
{
    QClipboard* clipboard = _getAppClipboard();
    if (clipboard == nullptr)
        return;
    auto* mimeData = new QMimeData;
    mimeData->setText(text);
    clipboard->setMimeData(mimeData, QClipboard::Clipboard);
}

bool doesClipboardHaveMIDIPatchTarget()
{
    return _clipboardHasFormat(patchFormat());
}

bool doesClipboardHaveMIDIPatchTargetList()
{
    return _clipboardHasFormat(patchListFormat());
}

bool doesClipboardHaveMIDIOutput()
{
    return _clipboardHasFormat(outputFormat());
}

MIDIPatchTarget* createMIDIPatchTargetFromClipboard(MIDIOutput* output)
{
    QDomDocument document;
    QDomElement element = _getMPTElemFromClipboard(document, true);
    if (element.isNull())
        return nullptr;
    return new MIDIPatchTarget(element, output);
}

QList<MIDIPatchTarget*> createMIDIPatchTargetListFromClipboard(MIDIOutput* output)
{
    QList<MIDIPatchTarget*> patches;
    QDomDocument document;
    const QDomElement list = _getMPTListElemFromClipboard(document, true);
    if (list.isNull())
        return patches;
    for (QDomElement element : _patchElementsOfList(list))
        patches.append(new MIDIPatchTarget(element, output));
    return patches;
}

MIDIOutput* createMIDIOutputFromClipboard(MIDIRoute* route)
{
    QDomDocument document;
    QDomElement element = _getMOElemFromClipboard(document, true);
    if (element.isNull())
        return nullptr;
    // Read as an active output, the copy would make itself its route's active output before it
    // belongs to the route, and stay so even when the caller drops it.
    element.setAttribute(QStringLiteral("isActive"), 0);
    return new MIDIOutput(element, route, -1);
}

QString getClipboardMIDIPatchTargetName()
{
    QDomDocument document;
    return _getMPTElemFromClipboard(document, false).attribute(QStringLiteral("name"));
}

QString getClipboardMIDIOutputName()
{
    QDomDocument document;
    return _getMOElemFromClipboard(document, false).attribute(QStringLiteral("name"));
}

int getClipboardMIDIPatchTargetListSize()
{
    QDomDocument document;
    const QDomElement list = _getMPTListElemFromClipboard(document, false);
    if (list.isNull())
        return 0;
    return int(_patchElementsOfList(list).size());
}
