#include "support/SetListTestSongs.h"

#include "model/initializers/InitializerRegistry.h"
#include "model/initializers/ProgChgInitializer.h"
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "model/setlist/SetList.h"
#include "persistence/SetupFileReaderWriter.h"

#include <QDir>
#include <QFile>

namespace SetListTestSongs {

bool writeSong(const QString& path, const QString& inputPort, const QString& outputPort, int program)
{
    MIDIRoutingSetup setup(QStringLiteral("Song"), nullptr);
    MIDIRoute* route = setup.createNewMIDIRoute(false);
    route->setMIDIInputPortName(inputPort);
    route->setMIDIChannel(MIDIRoute::kAnyChannel);
    MIDIPatchTarget* patch = route->getMIDIOutputAtIndex(0)->getMIDIPatchTargetAtIndex(0);
    patch->setMIDIOutputPortName(outputPort);
    patch->setMIDIChannel(MIDIPatchTarget::kAnyChannel);
    patch->addMIDIPatchInitializer(createPCInitializer(program, nullptr));
    QFile file(path);
    return file.open(QIODevice::WriteOnly) &&
           file.write(SetupFileReaderWriter::setupDocumentBytes(&setup)) > 0;
}

void addSong(SetList* setList, const QString& folder, const QString& name, const QString& inputPort,
             const QString& outputPort, int program, bool broken)
{
    const QString fileName = name + QStringLiteral(".ms");
    if (!broken)
        writeSong(QDir(folder).filePath(fileName), inputPort, outputPort, program);
    setList->addSong(SetListSong(name, QDir(folder).filePath(fileName)));
}

} // namespace SetListTestSongs
