#include "persistence/SetupDocumentParser.h"

#include "model/transforms/ValueMapText.h"

#include <QStringDecoder>
#include <QXmlStreamReader>

namespace {

struct ParseFailure
{
    QString message;
    qint64 line = 0;
    qint64 column = 0;
};

// Walks the text without building anything and fails when elements nest deeper than the limit.
// Syntax errors are left to the real parse, which reports them; the walk just stops there.
template <typename Text> bool isNestedTooDeeply(const Text& text, ParseFailure* failure)
{
    QXmlStreamReader reader(text);
    int depth = 0;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (++depth > SetupDocumentParser::kMaxNestingDepth) {
                failure->message = QStringLiteral("elements are nested more than %1 levels deep")
                                       .arg(SetupDocumentParser::kMaxNestingDepth);
                failure->line = reader.lineNumber();
                failure->column = reader.columnNumber();
                return true;
            }
        } else if (token == QXmlStreamReader::EndElement) {
            --depth;
        }
    }
    return false;
}

template <typename Text> bool parseText(const Text& text, QDomDocument* document, ParseFailure* failure)
{
    if (isNestedTooDeeply(text, failure))
        return false;
    int line = 0;
    int column = 0;
    if (document->setContent(text, &failure->message, &line, &column))
        return true;
    failure->line = line;
    failure->column = column;
    return false;
}

} // namespace

bool SetupDocumentParser::parse(const QByteArray& bytes, QDomDocument* document, QString* errorText)
{
    ParseFailure failure;
    if (parseText(bytes, document, &failure))
        return true;

    // Second attempt: decode ourselves (UTF-8 when the bytes are valid UTF-8, else Latin-1, as
    // older files were written) and replace raw control characters the parser refuses.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = QString::fromLatin1(bytes);
    if (parseText(makeRawControlCharactersParseable(text), document, &failure))
        return true;

    // The second attempt's complaint is the one that still stands after the repairs.
    QString reason = failure.message.trimmed();
    if (reason.endsWith(QLatin1Char('.')))
        reason.chop(1);
    if (reason.isEmpty())
        reason = QStringLiteral("not well-formed XML");
    *errorText = QStringLiteral("line %1, column %2: %3").arg(failure.line).arg(failure.column).arg(reason);
    document->clear();
    return false;
}
