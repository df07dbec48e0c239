// libFuzzer entry for the setup file reader. Each input is read as a setup document into a fresh
// setup on the fake MIDI ports. A refused input must leave the setup empty and post an error; an
// accepted one must save and read back to the same document. Anything else aborts, so that
// libFuzzer keeps the input.
#include "app/StatusManager.h"
#include "model/initializers/InitializerRegistry.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "model/transforms/BuiltInTransforms.h"
#include "persistence/SetupFileReaderWriter.h"
#include "support/RoutingTestRig.h"
#include "support/TestPrefs.h"

#include <QCoreApplication>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

int errorsPosted = 0;

void fail(const char* what)
{
    std::fprintf(stderr, "fuzz_SetupFileReader: %s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static QCoreApplication application(*argc, *argv);
    useTemporaryPrefs();
    RoutingTestRig::install();
    registerBuiltInTransforms();
    registerBuiltInInitializers();
    QObject::connect(StatusManager::GetInstance(), &StatusManager::errorMessagePosted,
                     [](const QString&) { ++errorsPosted; });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    SetupFileReaderWriter* files = SetupFileReaderWriter::GetInstance();
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    {
        MIDIRoutingSetup setup(QStringLiteral("no name"), nullptr);
        const int errorsBefore = errorsPosted;
        if (!files->readSetupFromDocumentBytes(&setup, bytes, QStringLiteral("input"))) {
            if (errorsPosted == errorsBefore)
                fail("input refused without an error");
            if (!setup.isEmpty() || setup.isModified())
                fail("refused input changed the setup");
        } else {
            if (setup.isModified())
                fail("setup read is marked modified");
            const QByteArray once = SetupFileReaderWriter::setupDocumentBytes(&setup);
            MIDIRoutingSetup again(QStringLiteral("no name"), nullptr);
            if (!files->readSetupFromDocumentBytes(&again, once, QStringLiteral("saved input")))
                fail("saved document cannot be read");
            if (SetupFileReaderWriter::setupDocumentBytes(&again) != once)
                fail("saved document does not read back to itself");
        }
    }
    RoutingTestRig::clearSent();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}
