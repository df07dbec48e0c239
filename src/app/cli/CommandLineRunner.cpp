#include "app/cli/CommandLineRunner.h"

#include "app/cli/CleanStop.h"
#include "app/cli/CommandLineOptions.h"
#include "app/cli/HeadlessSession.h"
#include "app/cli/HeadlessSetListSession.h"
#include "app/cli/PortListing.h"
#include "app/cli/SetListReport.h"
#include "app/cli/SetupReport.h"
#include "app/cli/StderrStatusPrinter.h"
#include "midi/MIDIBackendChoice.h"
#include "model/initializers/InitializerRegistry.h"
#include "model/routing/MIDIRoutingSetupManager.h"
#include "model/transforms/BuiltInTransforms.h"

#include <QCoreApplication>
#include <cstdio>

namespace {

void print(FILE* stream, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

} // namespace

int CommandLineRunner::run(int& argc, char** argv, const CommandLineOptions& options)
{
    using Mode = CommandLineOptions::Mode;
    switch (options.mode()) {
    case Mode::Help:
        print(stdout, CommandLineOptions::usageText());
        return 0;
    case Mode::Version:
        print(stdout, QStringLiteral("Quorvell %1\n").arg(QStringLiteral(QUORVELL_VERSION)));
        return 0;
    case Mode::Error:
        print(stderr,
              QStringLiteral("error: %1\n\n%2").arg(options.errorText(), CommandLineOptions::usageText()));
        return 64;
    default:
        break;
    }

    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Quorvell"));
    QCoreApplication::setOrganizationName(QStringLiteral("Dunmoor Software"));
    if (!options.midiApi().isEmpty())
        MIDIBackendChoice::setPreferredApi(options.midiApi());

    if (options.mode() == Mode::Headless) {
        MIDIRoutingSetupManager::GetInstance()->setInitializersOnOpenAllowed(options.initializersOnOpen());
        if (!options.setListFile().isEmpty())
            return HeadlessSetListSession::run(options);
        return HeadlessSession::run(options);
    }

    if (options.mode() == Mode::ListPorts) {
        StderrStatusPrinter printer;
        print(stdout, PortListing::text());
        CleanStop::releaseMIDIService();
        return 0;
    }

    // --check: what the reader reports is gathered into the report's list of problems.
    registerBuiltInTransforms();
    registerBuiltInInitializers();
    int status = 0;
    if (SetListReport::isSetListFile(options.setupFile())) {
        const SetListReport report(options.setupFile());
        print(stdout, report.text());
        status = report.exitStatus();
    } else {
        const SetupReport report(options.setupFile());
        print(stdout, report.contentsText());
        if (report.isClean())
            print(stdout, QStringLiteral("No problems found.\n"));
        if (!report.problems().isEmpty()) {
            QString text = QStringLiteral("Problems:\n");
            for (const QString& problem : report.problems())
                text += QStringLiteral("  - %1\n").arg(problem);
            print(stdout, text);
        }
        status = report.exitStatus();
    }
    CleanStop::perform();
    return status;
}
