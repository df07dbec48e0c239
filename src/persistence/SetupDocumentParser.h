#pragma once

#include <QByteArray>
#include <QDomDocument>
#include <QString>

/// Turns the bytes of a setup file or of a clipboard document into a document. Files written as
/// UTF-8 (with or without a declaration) parse directly; older files written as Latin-1 without a
/// declaration, and older value maps holding raw control characters, are decoded and repaired
/// before a second attempt. Documents nested deeper than any setup ever is are refused before the
/// document is built, since building one costs time that grows with the square of the depth.
/// Any thread (it touches nothing shared).
class SetupDocumentParser
{
public:
    /// Setup documents nest nine levels deep; anything beyond this is not one of ours.
    static constexpr int kMaxNestingDepth = 64;

    /// Parses the bytes; on failure returns false and a phrase saying where and why, in the form
    /// "line L, column C: reason" (no final full stop).
    static bool parse(const QByteArray& bytes, QDomDocument* document, QString* errorText);
};
