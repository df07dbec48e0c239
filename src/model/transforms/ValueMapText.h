#pragma once

#include <QString>

// The value map's string form holds characters from U+0000 to U+007F, and XML 1.0 allows none of
// those below U+0020 except tab, line feed and carriage return (which an attribute value turns
// into spaces unless they are written as references). So the XML attribute holds an escaped form:
// every character below U+0020, and the escape character '%' itself, is written as '%' followed
// by two upper-case hexadecimal digits ("%00" to "%1F", "%25"); all other characters stand for
// themselves. The element marks that form with the attribute "valueMappingEscaped" = 1, so an
// older document without the mark is taken literally and never misread. Any thread.

/// The escaped, XML-safe form of a value map string.
QString escapeValueMapText(const QString& mapString);

/// Undoes escapeValueMapText. A '%' that is not followed by two hexadecimal digits stands for
/// itself, so damaged text never loses characters.
QString unescapeValueMapText(const QString& escaped);

/// An unmarked (older) attribute value taken literally, except that the stand-ins made by
/// makeRawControlCharactersParseable (U+E000 to U+E01F) turn back into U+0000 to U+001F.
QString literalValueMapText(const QString& attributeValue);

/// Older documents hold the value map's control characters raw, which the XML parser refuses.
/// Replaces every raw character below U+0020 other than tab, line feed and carriage return with
/// the private-use stand-in U+E000 + code, so the text parses and literalValueMapText restores
/// the values. Meant for the setup file reader to call before parsing a document that failed.
QString makeRawControlCharactersParseable(const QString& xmlText);
