#pragma once

#include <QByteArray>
#include <QDomDocument>
#include <QString>

/// Turns the bytes of a setup file into a document. Files written as UTF-8 (with or without a
/// declaration) parse directly; older files written as Latin-1 without a declaration, and older
/// value maps holding raw control characters, are decoded and repaired before a second attempt.
class SetupDocumentParser
{
public:
    /// Parses the bytes; on failure returns false and a sentence saying where and why.
    static bool parse(const QByteArray& bytes, QDomDocument* document, QString* errorText);
};
