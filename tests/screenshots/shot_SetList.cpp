// A picture of the set list panel in the main window, playing the second song of an evening,
// with a foot-switch trigger: docs/screenshots/set-list-panel.png.

#include "ScreenshotSupport.h"
#include "app/MainWindow.h"
#include "editors/BuiltInTransformEditors.h"
#include "editors/InitializerEditors.h"
#include "model/initializers/InitializerRegistry.h"
#include "model/setlist/SetListPlayer.h"
#include "model/transforms/BuiltInTransforms.h"
#include "support/FakeMIDIBackend.h"
#include "support/SetListTestSongs.h"
#include "support/TestPrefs.h"
#include "widgets/LookAndFeel.h"

#include <QAction>
#include <QFile>
#include <QTemporaryDir>

int main(int argc, char** argv)
{
    useTemporaryPrefs();
    FakeMIDIBackend::install({"Stage Keys MIDI 1", "Foot Switch"},
                             {"Piano Module", "Poly Synth", "Bass Synth", "Drum Machine"});
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvell"));
    styleTheApplication();
    registerBuiltInTransforms();
    registerBuiltInTransformEditors();
    registerBuiltInInitializers();
    installInitializerEditors();

    QTemporaryDir dir;
    const QStringList outputs{"Piano Module", "Poly Synth", "Bass Synth", "Drum Machine", "Poly Synth"};
    const QStringList files{"opener.ms", "ballad.ms", "groove.ms", "drums.ms", "encore.ms"};
    for (int i = 0; i < files.size(); ++i)
        SetListTestSongs::writeSong(dir.filePath(files.at(i)), "Stage Keys MIDI 1", outputs.at(i), i + 1);
    QFile list(dir.filePath("friday.msl"));
    if (!list.open(QIODevice::WriteOnly))
        return 1;
    list.write("<!DOCTYPE QuorvellSetList>\n<SetList name=\"Friday at the Anchor\" documentVersion=\"1.0\">\n"
               " <Songs>\n"
               "  <Song name=\"Opener\" file=\"opener.ms\"/>\n"
               "  <Song name=\"Slow Ballad\" file=\"ballad.ms\"/>\n"
               "  <Song name=\"Night Groove\" file=\"groove.ms\"/>\n"
               "  <Song name=\"Drum Feature\" file=\"drums.ms\"/>\n"
               "  <Song name=\"Encore\" file=\"encore.ms\"/>\n"
               " </Songs>\n <Triggers>\n"
               "  <Trigger action=\"next\" midiPortName=\"Foot Switch\" midiChannelIndex=\"127\" "
               "messageType=\"controller\" number=\"80\" minValue=\"64\" maxValue=\"127\"/>\n"
               "  <Trigger action=\"previous\" midiPortName=\"Stage Keys MIDI 1\" midiChannelIndex=\"127\" "
               "messageType=\"note\" number=\"21\"/>\n"
               " </Triggers>\n</SetList>\n");
    list.close();

    MainWindow window;
    window.show();
    window.resize(window.width(), 900);
    window.openSetList(dir.filePath("friday.msl"));
    for (QAction* action : window.findChildren<QAction*>()) {
        if (action->text() == QStringLiteral("Next Song"))
            action->trigger();
    }
    QTest::qWait(100);
    const bool saved = ScreenshotSupport::saveScreenshot(&window, QStringLiteral("set-list-panel"));
    window.close();
    return saved ? 0 : 1;
}
