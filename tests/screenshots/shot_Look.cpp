// Pictures of the dark look and the common widgets: docs/screenshots/look_widgets.png and
// look_reorder_drag.png (a panel being dragged to a new place).

#include "ScreenshotSupport.h"
#include "widgets/SimpleWidgets.h"

#include <QApplication>
#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>

namespace {

QWidget* panel(const QString& name, const QPalette& palette, bool lampOn)
{
    auto* frame = new QFrame();
    frame->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    frame->setAutoFillBackground(true);
    frame->setPalette(palette);
    auto* row = new QHBoxLayout(frame);
    row->setContentsMargins(6, 4, 6, 4);
    auto* toggler = new VisibilityToggler(frame);
    row->addWidget(toggler);
    auto* icon = new QLabel(frame);
    icon->setPixmap(QPixmap(QStringLiteral(":/icons/midi_output_12x12.png")));
    row->addWidget(icon);
    auto* title = new ShrinkableDropShadowLabel(name, frame);
    title->setFont(getTitleFont());
    row->addWidget(title, 1);
    auto* lamp = new ActivityIndicator(frame);
    lamp->setFixedSize(12, 12);
    // Lit just as the picture is taken (it is taken 300 ms after the window shows).
    if (lampOn)
        QTimer::singleShot(250, lamp, &ActivityIndicator::blink);
    row->addWidget(lamp);
    auto* mute = new QPushButton(QStringLiteral("M"), frame);
    mute->setFixedSize(22, 20);
    if (lampOn)
        mute->setPalette(getMuteButtonMutedPalette());
    row->addWidget(mute);
    return frame;
}

QWidget* buildWidgetsWindow()
{
    auto* window = new QWidget();
    window->setWindowTitle(QStringLiteral("Quorvell look"));
    auto* layout = new QVBoxLayout(window);

    auto* heading = new DropShadowLabel(QStringLiteral("Stage Piano Setup"), window);
    heading->setFont(getTitleFont());
    layout->addWidget(heading);

    auto* form = new QFormLayout();
    auto* port = new ShrinkableTextMenuButton(window);
    port->setDisplayText(QStringLiteral("Synth Module MIDI 1 - Channel 10"));
    port->setFixedWidth(170);
    form->addRow(QStringLiteral("Port:"), port);
    auto* value = new ValueEntryLineEdit(window);
    value->setIntMinMax(0, 127);
    value->setIntValue(100);
    value->setWidthForNumDigits(3);
    form->addRow(QStringLiteral("Velocity:"), value);
    auto* combo = new NoWheelComboBox(window);
    combo->addItems(
        {QStringLiteral("Note On"), QStringLiteral("Program Change"), QStringLiteral("Controller")});
    form->addRow(QStringLiteral("Activation:"), combo);
    auto* slider = new QSlider(Qt::Horizontal, window);
    slider->setRange(0, 127);
    slider->setValue(90);
    form->addRow(QStringLiteral("Volume:"), slider);
    layout->addLayout(form);

    auto* checks = new QHBoxLayout();
    auto* on = new QCheckBox(QStringLiteral("Sustain"), window);
    on->setChecked(true);
    auto* off = new QCheckBox(QStringLiteral("Mute"), window);
    auto* partial = new QCheckBox(QStringLiteral("Some"), window);
    partial->setTristate(true);
    partial->setCheckState(Qt::PartiallyChecked);
    checks->addWidget(on);
    checks->addWidget(off);
    checks->addWidget(partial);
    checks->addStretch(1);
    layout->addLayout(checks);

    auto* buttons = new QHBoxLayout();
    auto* menu = new MenuButton(QStringLiteral("Add Output"), window);
    menu->setIcon(QIcon(QStringLiteral(":/icons/generic_add_16x16.png")));
    auto* disabled = new QPushButton(QStringLiteral("Disabled"), window);
    disabled->setEnabled(false);
    buttons->addWidget(menu);
    buttons->addWidget(disabled);
    fixBothWidthsToWiderOf(menu, disabled);
    buttons->addStretch(1);
    for (const char* name : {"note_16x16", "cc_16x16", "pitch_16x16", "aftertouch_16x16", "transpose_16x16",
                             "ignore_all_notes_16x16", "inspector_16x16"}) {
        auto* indicator = new ObjectIndicatorWidget(window);
        indicator->setIcon(QIcon(QStringLiteral(":/icons/") + QLatin1String(name) + QStringLiteral(".png")));
        indicator->setFixedSize(24, 22);
        buttons->addWidget(indicator);
    }
    layout->addLayout(buttons);

    auto* box = new ReorderWidget(Qt::Vertical, -1, 1, window);
    box->setObjectName(QStringLiteral("panels"));
    box->setSpacing(3);
    box->addWidget(panel(QStringLiteral("Grand Piano"), getActivatedPalette(), false));
    box->addWidget(
        panel(QStringLiteral("Strings Layer With A Name Too Long To Show"), getHoverPalette(), true));
    box->addWidget(panel(QStringLiteral("Bass Split"), getDefaultPalette(), false));
    layout->addWidget(box, 1);
    window->resize(420, 440);
    return window;
}

void sendMouse(QWidget* target, QEvent::Type type, const QPoint& point, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, point, target->mapToGlobal(point),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    styleTheApplication();
    QWidget* window = buildWidgetsWindow();
    bool saved = ScreenshotSupport::saveScreenshot(window, QStringLiteral("look_widgets"));

    // Drag the first panel down between the second and the third and take the picture mid-drag.
    auto* box = window->findChild<ReorderWidget*>(QStringLiteral("panels"));
    QWidget* first = box->getWidgetAtIndex(0);
    QWidget* third = box->getWidgetAtIndex(2);
    const QPoint from = first->geometry().center();
    const QPoint to(from.x() + 10, third->geometry().top() + 4);
    sendMouse(box, QEvent::MouseButtonPress, from, Qt::LeftButton);
    sendMouse(box, QEvent::MouseMove, from + QPoint(0, QApplication::startDragDistance()), Qt::LeftButton);
    sendMouse(box, QEvent::MouseMove, to, Qt::LeftButton);
    saved = ScreenshotSupport::saveScreenshot(window, QStringLiteral("look_reorder_drag")) && saved;
    sendMouse(box, QEvent::MouseButtonRelease, to, Qt::NoButton);
    delete window;
    return saved ? 0 : 1;
}
