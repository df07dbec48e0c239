#include "model/transforms/ValueMapText.h"

namespace {

constexpr char16_t kEscape = u'%';
constexpr char16_t kStandInBase = 0xE000;

int hexDigitValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    return -1;
}

} // namespace

QString escapeValueMapText(const QString& mapString)
{
    static const char hexDigits[] = "0123456789ABCDEF";
    QString escaped;
    escaped.reserve(mapString.size() * 3);
    for (const QChar c : mapString) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u == kEscape) {
            escaped.append(QChar(kEscape));
            escaped.append(QChar(hexDigits[u >> 4]));
            escaped.append(QChar(hexDigits[u & 0xF]));
        } else {
            escaped.append(c);
        }
    }
    return escaped;
}

QString unescapeValueMapText(const QString& escaped)
{
    QString text;
    text.reserve(escaped.size());
    for (qsizetype i = 0; i < escaped.size(); ++i) {
        const QChar c = escaped.at(i);
        if (c.unicode() == kEscape && i + 2 < escaped.size()) {
            const int high = hexDigitValue(escaped.at(i + 1));
            const int low = hexDigitValue(escaped.at(i + 2));
            if (high >= 0 && low >= 0) {
                text.append(QChar(char16_t(high * 16 + low)));
                i += 2;
                continue;
            }
        }
        text.append(c);
    }
    return text;
}

QString literalValueMapText(const QString& attributeValue)
{
    QString text = attributeValue;
    for (QChar& c : text) {
        const char16_t u = c.unicode();
        if (u >= kStandInBase && u < kStandInBase + 0x20)
            c = QChar(char16_t(u - kStandInBase));
    }
    return text;
}

QString makeRawControlCharactersParseable(const QString& xmlText)
{
    QString text = xmlText;
    for (QChar& c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 && u != u'\t' && u != u'\n' && u != u'\r')
            c = QChar(char16_t(kStandInBase + u));
    }
    return text;
}
