#pragma once

#include <QString>
#include <QTextDocument>

/// A tool tip that shows the text exactly as given. Tool tips guess whether a text is rich text,
/// so a port or output name such as "<b>Synth</b>" would otherwise be drawn as markup. Line breaks
/// are kept.
inline QString plainTextToolTip(const QString& text)
{
    if (!Qt::mightBeRichText(text))
        return text;
    QString escaped = text.toHtmlEscaped();
    escaped.replace(QLatin1Char('\n'), QStringLiteral("<br>"));
    return QStringLiteral("<p style='white-space:pre'>") + escaped + QStringLiteral("</p>");
}
