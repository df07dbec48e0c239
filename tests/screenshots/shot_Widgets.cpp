// Pictures of the keyboard and the choosers: docs/screenshots/widgets_keyboard.png (the on-screen
// keyboard with a chord held, the wheel bent and keyswitches named), widgets_port_menu.png (a port
// and channel selector with its menu open on a port) and widgets_color_menu.png (the colour label
// menu).

#include "ScreenshotSupport.h"
#include "midi/MIDIPortInfo.h"
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "model/routing/MIDIRoutingSetupManager.h"
#include "support/RoutingTestRig.h"
#include "support/TestPrefs.h"
#include "widgets/ColorChoiceMenu.h"
#include "widgets/CurrentRouteKeyboardWidget.h"
#include "widgets/LookAndFeel.h"
#include "widgets/MIDIPortChannelSelector.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QVBoxLayout>

namespace {

const QString kKeys = QStringLiteral("Stage Keys");
const QStringList kOutputs{QStringLiteral("Piano Module"), QStringLiteral("Analog Synth"),
                           QStringLiteral("String Machine"), QStringLiteral("Drum Machine")};

// A setup with one input that switches between three sounds by keyswitch.
MIDIRoute* buildSetup()
{
    auto* setup = new MIDIRoutingSetup(QStringLiteral("Gig"), nullptr);
    auto* route = new MIDIRoute(kKeys, MIDIRoute::kAnyChannel, QStringLiteral("Upper Manual"), nullptr);
    setup->addMIDIRoute(route);
    const QStringList names{QStringLiteral("Grand"), QStringLiteral("Lead"), QStringLiteral("Strings")};
    for (int i = 0; i < names.size(); ++i) {
        MIDIOutput* output = route->createNewMIDIOutput(false);
        output->setName(names.at(i));
        output->setMainActivationValue(BYTE(36 + 2 * i));
        MIDIPatchTarget* patch = output->getMIDIPatchTargetAtIndex(0);
        patch->setMIDIOutputPortName(kOutputs.at(i));
        patch->setMIDIChannel(BYTE(i));
    }
    route->getMIDIOutputAtIndex(0)->setActive(true);
    setup->setActiveRoute(route);
    MIDIRoutingSetupManager::GetInstance()->setCurrentRoutingSetup(setup, true);
    return route;
}

// The screen under the widgets: menus and their submenus are windows of their own.
bool saveScreenArea(const QList<QWidget*>& widgets, const QString& name)
{
    QTest::qWait(300);
    QRect area;
    for (QWidget* widget : widgets)
        area |= QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size());
    area.adjust(-6, -6, 6, 6);
    QScreen* screen = QGuiApplication::screenAt(area.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QPixmap picture = screen->grabWindow(0, area.x(), area.y(), area.width(), area.height());
    const QString path =
        ScreenshotSupport::screenshotDir() + QLatin1Char('/') + name + QStringLiteral(".png");
    const bool saved = picture.save(path);
    qInfo("%s %s", saved ? "saved" : "could not save", qPrintable(path));
    return saved;
}

bool shootKeyboard()
{
    QWidget window;
    window.setWindowTitle(QStringLiteral("Keyboard"));
    auto* layout = new QVBoxLayout(&window);
    auto* keyboard = new CurrentRouteKeyboardWidget(&window);
    layout->addWidget(keyboard);
    window.resize(900, keyboard->height() + 20);
    window.show();
    keyboard->setHorizontalScrollAmount(240);
    window.setFocus();
    // A chord from the controller, softer towards the top, and the wheel and modulation moved.
    RoutingTestRig::play(kKeys, {0x90, 48, 110});
    RoutingTestRig::play(kKeys, {0x90, 55, 70});
    RoutingTestRig::play(kKeys, {0x90, 60, 100});
    RoutingTestRig::play(kKeys, {0x90, 64, 85});
    RoutingTestRig::play(kKeys, {0x90, 67, 50});
    RoutingTestRig::play(kKeys, {0xE0, 0x00, 0x58});
    RoutingTestRig::play(kKeys, {0xB0, 1, 80});
    const bool saved = ScreenshotSupport::saveScreenshot(&window, QStringLiteral("widgets_keyboard"));
    for (BYTE note : {48, 55, 60, 64, 67})
        RoutingTestRig::play(kKeys, {0x80, note, 0});
    return saved;
}

bool shootPortMenu()
{
    QWidget window;
    auto* row = new QHBoxLayout(&window);
    row->addWidget(new QLabel(QStringLiteral("Patch sends to:"), &window));
    auto* selector = new MIDIPortChannelSelector(MIDIPortType::Output, &window);
    selector->setMIDIPortNameAndChannel(kOutputs.at(1), 1, Qt::NoModifier, false);
    selector->setFixedWidth(190);
    row->addWidget(selector);
    window.move(60, 60);
    window.show();
    QTest::qWait(200);
    QMenu* menu = selector->createPortMenu();
    menu->popup(selector->mapToGlobal(QPoint(0, 0)));
    QTest::qWait(200);
    QMenu* portMenu = nullptr;
    for (QAction* action : menu->actions()) {
        if (action->menu() && action->menu()->objectName() == kOutputs.at(1))
            portMenu = action->menu();
    }
    if (portMenu)
        menu->setActiveAction(portMenu->menuAction());
    QTest::qWait(400);
    QList<QWidget*> shown{&window, menu};
    if (portMenu && portMenu->isVisible())
        shown << portMenu;
    const bool saved = saveScreenArea(shown, QStringLiteral("widgets_port_menu"));
    menu->close();
    delete menu;
    return saved;
}

bool shootColorMenu()
{
    ColorChoiceMenu menu(nullptr);
    menu.popup(QPoint(80, 80));
    QTest::qWait(200);
    menu.setActiveAction(menu.actions().at(5));
    return saveScreenArea({&menu}, QStringLiteral("widgets_color_menu"));
}

} // namespace

int main(int argc, char** argv)
{
    useTemporaryPrefs();
    RoutingTestRig::install({kKeys, QStringLiteral("Pad Controller")}, kOutputs);
    QApplication app(argc, argv);
    styleTheApplication();
    MIDIPortInfo::GetInstance()->setOutputPortAlias(kOutputs.at(3), QStringLiteral("Drums (back line)"));
    buildSetup();
    bool saved = shootKeyboard();
    saved = shootPortMenu() && saved;
    saved = shootColorMenu() && saved;
    MIDIRoutingSetupManager::GetInstance()->clearCurrentRoutingSetup(true);
    return saved ? 0 : 1;
}
