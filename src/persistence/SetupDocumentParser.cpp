#include "persistence/SetupDocumentParser.h"

#include "model/ValueMapText.h"

#include <QStringDecoder>

bool SetupDocumentParser::parse(const QByteArray& bytes, QDomDocument* document, QString* errorText)
{
    QString message;
    int line = 0;
    int column = 0;
    if (document->setContent(bytes, &message, &line, &column))
        return true;

    // Second attempt: decode ourselves (UTF-8 when the bytes are valid UTF-8, else Latin-1, as
    // older files were written) and replace raw control characters the parser refuses.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = QString::fromLatin1(bytes);
    if (document->setContent(makeRawControlCharactersParseable(text)))
        return true;

    *errorText = QStringLiteral("line %1, column %2: %3").arg(line).arg(column).arg(message);
    return false;
}
