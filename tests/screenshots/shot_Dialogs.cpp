// Pictures of the dialogs: the preferences (ports, color labels, options), reroute, merge outputs,
// the three update check boxes and the about box, under docs/screenshots/dialogs_*.png.

#include "ScreenshotSupport.h"
#include "app/AboutBox.h"
#include "app/MIDIPortPrefsTreeWidget.h"
#include "app/MIDIRoutingSetupOutputMergerDialog.h"
#include "app/PrefsDialog.h"
#include "app/RerouteDialog.h"
#include "app/UpdateCheckRunner.h"
#include "midi/MIDIPortInfo.h"
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "model/routing/MIDIRoutingSetupManager.h"
#include "model/routing/MIDIRoutingSetupOutputMerger.h"
#include "support/FakeMIDIBackend.h"
#include "support/TestPrefs.h"
#include "widgets/LookAndFeel.h"

#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QTabWidget>

namespace {

void buildSetup()
{
    MIDIRoutingSetup* setup = MIDIRoutingSetupManager::GetInstance()->createNewRoutingSetup(true, QString());
    MIDIRoute* piano = setup->createNewMIDIRoute(false);
    piano->setName(QStringLiteral("Stage Piano"));
    piano->setMIDIInputPortName(QStringLiteral("Stage Keys MIDI 1"));
    piano->getMIDIOutputAtIndex(0)->setName(QStringLiteral("Grand"));
    piano->createNewMIDIOutput(false)->setName(QStringLiteral("Strings"));
    MIDIRoute* layers = setup->createNewMIDIRoute(false);
    layers->setName(QStringLiteral("Upper Layers"));
    layers->getMIDIOutputAtIndex(0)->setName(QStringLiteral("Strings"));
    setup->setActiveRoute(layers);
    setup->setModified(false);
}

bool shoot(QWidget* widget, const QString& name)
{
    const bool saved = ScreenshotSupport::saveScreenshot(widget, name);
    widget->hide();
    return saved;
}

bool shootBox(QMessageBox::Icon icon, const QString& title, const QString& text, bool richText,
              const QString& name)
{
    QMessageBox box(icon, title, text, QMessageBox::Ok);
    box.setTextFormat(richText ? Qt::RichText : Qt::PlainText);
    return shoot(&box, name);
}

} // namespace

int main(int argc, char** argv)
{
    useTemporaryPrefs();
    FakeMIDIBackend::install(
        {"Stage Keys MIDI 1", "Drum Pads MIDI 1", "Wind Controller", "Midi Through Port-0"},
        {"Synth Module MIDI 1", "Sampler In", "Organ Expander", "Midi Through Port-0"});
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvell"));
    styleTheApplication();

    MIDIPortInfo* info = MIDIPortInfo::GetInstance();
    info->setInputPortAlias(QStringLiteral("Stage Keys MIDI 1"), QStringLiteral("Main Keys"));
    info->setOutputPortAlias(QStringLiteral("Synth Module MIDI 1"), QStringLiteral("Rack Synth"));
    info->setUseInputPort(QStringLiteral("Midi Through Port-0"), false);
    info->setUseOutputPort(QStringLiteral("Midi Through Port-0"), false);
    buildSetup();

    bool saved = true;
    {
        PrefsDialog prefs(nullptr);
        prefs.resize(560, 380);
        prefs.inputPortTree()->topLevelItem(0)->setSelected(true);
        saved = shoot(&prefs, QStringLiteral("dialogs_prefs_inputs")) && saved;
        prefs.tabWidget()->setCurrentIndex(2);
        saved = shoot(&prefs, QStringLiteral("dialogs_prefs_color_labels")) && saved;
        prefs.tabWidget()->setCurrentIndex(3);
        saved = shoot(&prefs, QStringLiteral("dialogs_prefs_options")) && saved;
    }
    {
        RerouteDialog reroute(true, nullptr);
        reroute.sourceChannelComboBox()->setCurrentIndex(1);
        saved = shoot(&reroute, QStringLiteral("dialogs_reroute")) && saved;
    }
    {
        MIDIRoutingSetupOutputMerger merger(getCurrentRoutingSetup());
        MIDIRoutingSetupOutputMergerDialog merge(&merger, nullptr);
        saved = shoot(&merge, QStringLiteral("dialogs_merge_outputs")) && saved;
    }
    saved = shootBox(QMessageBox::Information, QStringLiteral("Update Avaiable"),
                     UpdateCheckRunner::makeUpdateAvailableText(
                         QStringLiteral("2.1.0"),
                         {QStringLiteral("Faster output switching"),
                          QStringLiteral("New <velocity> curve editor")},
                         QStringLiteral("https://quorvell.example/downloads/")),
                     true, QStringLiteral("dialogs_update_available")) &&
            saved;
    saved = shootBox(QMessageBox::Information, QStringLiteral("Update Check"),
                     QStringLiteral("Quorvell is up-to-date."), false,
                     QStringLiteral("dialogs_update_up_to_date")) &&
            saved;
    saved = shootBox(QMessageBox::Critical, QStringLiteral("Update Check"),
                     UpdateCheckRunner::makeErrorText(QStringLiteral("Connection refused")), false,
                     QStringLiteral("dialogs_update_error")) &&
            saved;
    {
        AboutBox about(QStringLiteral("Quorvell"), QPixmap(QStringLiteral(":/icons/quorvell_32x32.png")),
                       AboutBox::makeApplicationBody(), nullptr);
        saved = shoot(&about, QStringLiteral("dialogs_about")) && saved;
    }
    MIDIRoutingSetupManager::GetInstance()->clearCurrentRoutingSetup(true);
    return saved ? 0 : 1;
}
