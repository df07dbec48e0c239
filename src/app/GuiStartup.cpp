#include "app/GuiStartup.h"

#include "app/MainWindow.h"
#include "app/WindowedOscRemote.h"
#include "app/WindowedStop.h"
#include "app/cli/CleanStop.h"
#include "app/cli/CommandLineOptions.h"
#include "editors/BuiltInTransformEditors.h"
#include "editors/InitializerEditors.h"
#include "midi/MIDIPortInfo.h"
#include "model/initializers/InitializerRegistry.h"
#include "model/transforms/BuiltInTransforms.h"
#include "persistence/AppPrefs.h"
#include "persistence/PrefKeys.h"
#include "persistence/RecentFilesTracker.h"
#include "persistence/RecoveryFile.h"
#include "widgets/LookAndFeel.h"

#include <QApplication>
#include <QFile>
#include <QIcon>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

QtMessageHandler previousMessageHandler = nullptr;

// While the application object is made: a platform plugin that cannot start (no display, X server
// gone) ends the program with one clear line instead of Qt's abort.
void startupMessageHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtFatalMsg && message.contains(QLatin1String("platform plugin"))) {
        std::fprintf(stderr, "%s\n", qPrintable(GuiStartup::noDisplayMessage()));
        std::fflush(stderr);
        std::_Exit(GuiStartup::kNoDisplayExitStatus);
    }
    // The platform layer's own complaints on the way to that end say the same, less clearly.
    if (context.category && std::strncmp(context.category, "qt.qpa", 6) == 0 && type != QtFatalMsg)
        return;
    if (previousMessageHandler)
        previousMessageHandler(type, context, message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

QString fileToOpenAtStart(const QString& setupFileFromCommandLine)
{
    if (!setupFileFromCommandLine.isEmpty())
        return setupFileFromCommandLine;
    if (getBoolPrefValue(PrefKeys::LoadMostRecentFileAtStart, PrefKeys::LoadMostRecentFileAtStartDefault)) {
        const QString recent = getMostRecentlyOpenedFile();
        if (!recent.isEmpty() && QFile::exists(recent))
            return recent;
    }
    return QString();
}

} // namespace

bool GuiStartup::environmentOffersDisplay()
{
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    const bool needsWindowSystem =
        platform.isEmpty() || platform.startsWith("xcb") || platform.startsWith("wayland");
    if (!needsWindowSystem)
        return true;
    return !qgetenv("DISPLAY").isEmpty() || !qgetenv("WAYLAND_DISPLAY").isEmpty();
}

QString GuiStartup::noDisplayMessage()
{
    return QStringLiteral(
        "error: no display to open the window on; use --headless FILE.ms to route without one");
}

int GuiStartup::run(int& argc, char** argv, const CommandLineOptions& options)
{
    const QString setupFileFromCommandLine = options.setupFile();
    if (!environmentOffersDisplay()) {
        std::fprintf(stderr, "%s\n", qPrintable(noDisplayMessage()));
        return kNoDisplayExitStatus;
    }

    QApplication::setDesktopSettingsAware(false);
    previousMessageHandler = qInstallMessageHandler(startupMessageHandler);
    new QApplication(argc, argv); // lives until the process ends
    qInstallMessageHandler(previousMessageHandler);
    QApplication::setApplicationName(QStringLiteral("Quorvell"));
    QApplication::setOrganizationName(QStringLiteral("Dunmoor Software"));
    QApplication::setApplicationVersion(QStringLiteral(QUORVELL_VERSION));
    styleTheApplication();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/quorvell_32x32.png")));
    // From here on SIGINT and SIGTERM stop cleanly, even while a start-up box is up.
    auto* stop = new WindowedStop(QCoreApplication::instance());

    if (!hasAnyInputPorts() || !hasAnyOutputPorts()) {
        QMessageBox::warning(
            nullptr, QStringLiteral("Quorvell Warning"),
            QStringLiteral("Insufficient MIDI I/O ports detected.\n\nFor best results please check "
                           "MIDI device connections and relaunch."),
            QMessageBox::Ok);
    }
    registerBuiltInTransforms();
    registerBuiltInTransformEditors();
    registerBuiltInInitializers();
    installInitializerEditors();

    MainWindow* window = nullptr;
    if (!stop->wasStoppedBySignal()) {
        window = new MainWindow();
        stop->setWindow(window);
        window->show();
        QCoreApplication::processEvents();
    }
    if (!stop->wasStoppedBySignal()) {
        // A set list plays from its first song; one that cannot be opened leaves the usual first setup.
        const QString setListFile = options.setListFile();
        window->openFirstSetup(setListFile.isEmpty() ? fileToOpenAtStart(setupFileFromCommandLine)
                                                     : QString());
        if (!setListFile.isEmpty() && !stop->wasStoppedBySignal())
            window->openSetList(setListFile);
    }
    if (!stop->wasStoppedBySignal()) {
        const QString recoveryNotice = takeRecoveryFileNotice();
        if (!recoveryNotice.isEmpty())
            window->showInformation(QStringLiteral("Unsaved Setup Kept"), recoveryNotice);
    }

    // A stop during start-up has ended the dialogs it interrupted; the event loop is not begun.
    int status = 0;
    if (!stop->wasStoppedBySignal()) {
        WindowedOscRemote remote(options.oscPort(), options.oscBindAddress());
        status = QApplication::exec();
    }
    // The setup let go of when the window closed is deleted now, ending what it left sounding.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    delete window;
    CleanStop::perform();
    return status;
}
