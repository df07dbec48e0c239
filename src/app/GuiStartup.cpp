#include "app/GuiStartup.h"

#include "app/LocalWaitCursor.h"
#include "app/PlaceholderWindow.h"
#include "app/cli/CleanStop.h"
#include "editors/BuiltInTransformEditors.h"
#include "editors/InitializerEditors.h"
#include "midi/MIDIPortInfo.h"
#include "model/initializers/InitializerRegistry.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "model/routing/MIDIRoutingSetupManager.h"
#include "model/transforms/BuiltInTransforms.h"
#include "persistence/AppPrefs.h"
#include "persistence/PrefKeys.h"
#include "persistence/RecentFilesTracker.h"
#include "persistence/RememberedPaths.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QStyleFactory>

int GuiStartup::run(int& argc, char** argv, const QString& setupFileFromCommandLine)
{
    QApplication::setDesktopSettingsAware(false);
    new QApplication(argc, argv); // lives until the process ends
    QApplication::setApplicationName(QStringLiteral("Quorvell"));
    QApplication::setOrganizationName(QStringLiteral("Dunmoor Software"));
    QApplication::setApplicationVersion(QStringLiteral(QUORVELL_VERSION));
    for (const QString& name : {QStringLiteral("Fusion"), QStringLiteral("Windows")}) {
        if (QStyle* style = QStyleFactory::create(name)) {
            QApplication::setStyle(style);
            break;
        }
    }

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

    auto* window = new PlaceholderWindow();
    window->show();
    QCoreApplication::processEvents();

    QString file = setupFileFromCommandLine;
    if (file.isEmpty() &&
        getBoolPrefValue(PrefKeys::LoadMostRecentFileAtStart, PrefKeys::LoadMostRecentFileAtStartDefault)) {
        const QString recent = getMostRecentlyOpenedFile();
        if (!recent.isEmpty() && QFile::exists(recent))
            file = recent;
    }
    MIDIRoutingSetupManager* manager = MIDIRoutingSetupManager::GetInstance();
    if (!file.isEmpty()) {
        LocalWaitCursor waitCursor;
        manager->createNewRoutingSetup(true, file);
        setLastOpenPathFromFilePath(file);
    } else {
        MIDIRoutingSetup* setup = manager->createNewRoutingSetup(true, QString());
        setup->createNewMIDIRoute(true);
        setup->setModified(false);
    }

    const int status = QApplication::exec();
    delete window;
    CleanStop::perform();
    return status;
}
