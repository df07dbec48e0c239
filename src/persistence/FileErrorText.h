#pragma once

#include <QFileDevice>
#include <QString>

/// How the files' readers and writers name a file and a file-layer failure in their messages.
namespace FileErrorText {

/// The path as the user's system writes it.
QString shownPath(const QString& path);
/// The file layer's reason for its last failure, fit to follow a colon inside a sentence;
/// `fallback` where the layer gives none.
QString reasonOf(const QFileDevice& file, const QString& fallback);

} // namespace FileErrorText
