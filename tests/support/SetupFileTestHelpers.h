#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

class MIDIRoutingSetup;
class SetupFileReaderWriter;

/// What the setup-file tests share: the reader/writer, a setup's document text, a setup read back
/// from text, and plain file access that does not go through the code under test.
namespace SetupFileTestHelpers {

using SetupPtr = std::unique_ptr<MIDIRoutingSetup>;

SetupFileReaderWriter* files();
/// The document text the reader/writer writes for the setup.
QByteArray documentOf(MIDIRoutingSetup* setup);
/// A fresh setup read from the document text; null when it was refused.
SetupPtr readDocument(const QByteArray& bytes);
/// Writes the bytes to the path; false when that failed.
bool writeFile(const QString& path, const QByteArray& bytes);
/// The file's bytes, or "(unreadable)".
QByteArray readFile(const QString& path);

} // namespace SetupFileTestHelpers
