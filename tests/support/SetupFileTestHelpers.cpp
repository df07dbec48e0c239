#include "support/SetupFileTestHelpers.h"

#include "model/routing/MIDIRoutingSetup.h"
#include "persistence/SetupFileReaderWriter.h"

#include <QFile>

namespace SetupFileTestHelpers {

SetupFileReaderWriter* files()
{
    return SetupFileReaderWriter::GetInstance();
}

QByteArray documentOf(MIDIRoutingSetup* setup)
{
    return SetupFileReaderWriter::setupDocumentBytes(setup);
}

SetupPtr readDocument(const QByteArray& bytes)
{
    SetupPtr setup = std::make_unique<MIDIRoutingSetup>(QStringLiteral("no name"), nullptr);
    if (!files()->readSetupFromDocumentBytes(setup.get(), bytes, QStringLiteral("test document")))
        return nullptr;
    return setup;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

} // namespace SetupFileTestHelpers
