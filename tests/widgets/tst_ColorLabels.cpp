#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIRoute.h"
#include "persistence/AppPrefs.h"
#include "persistence/AppPrefsChangeNotifier.h"
#include "support/RoutingTestRig.h"
#include "support/TestPrefs.h"
#include "widgets/ColorChoiceAction.h"
#include "widgets/ColorChoiceMenu.h"
#include "widgets/ColorChoiceRegistry.h"
#include "widgets/ColorLabelApplier.h"
#include "widgets/ColorSwatchFrame.h"

#include <QApplication>
#include <QColorDialog>
#include <QDrag>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

class ColorLabelsTest : public QObject
{
    Q_OBJECT

private:
    static void sendMouse(QWidget* widget, QEvent::Type type, QPoint pos, Qt::MouseButtons buttons)
    {
        QMouseEvent event(type, pos, widget->mapToGlobal(pos),
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(widget, &event);
    }

    static QAction* actionNamed(QMenu& menu, const QString& text)
    {
        for (QAction* action : menu.actions()) {
            if (action->text() == text)
                return action;
        }
        return nullptr;
    }

private slots:
    void initTestCase()
    {
        useTemporaryPrefs();
        RoutingTestRig::install();
        // What a user's settings file might hold before the labels are first used.
        setStringPrefValue(QStringLiteral("colorLabelValue2"), QStringLiteral("not a colour"));
        setStringPrefValue(QStringLiteral("colorLabelValue3"), QStringLiteral("#123456"));
        setStringPrefValue(QStringLiteral("colorLabelName4"), QStringLiteral("Strings"));
    }

    void labelsStartFromDefaultsAndStoredValues()
    {
        ColorChoiceRegistry* registry = getColorChoiceRegistryInstance();
        QCOMPARE(registry->getNumRegisteredColors(), 10);
        QCOMPARE(registry->getNameOfColorChoiceAtIndex(0), QStringLiteral("Red"));
        QCOMPARE(registry->getColorOfChoiceAtIndex(1), QColor(255, 128, 64));
        QCOMPARE(registry->getNameOfColorChoiceAtIndex(9), QStringLiteral("Black"));
        // A stored value that names no colour keeps the default.
        QCOMPARE(registry->getColorOfChoiceAtIndex(2), QColor(255, 255, 0));
        QCOMPARE(registry->getColorOfChoiceAtIndex(3), QColor(0x12, 0x34, 0x56));
        QCOMPARE(registry->getNameOfColorChoiceAtIndex(3), QStringLiteral("Green"));
        QCOMPARE(registry->getNameOfColorChoiceAtIndex(4), QStringLiteral("Strings"));
        QCOMPARE(registry->getColorOfChoiceAtIndex(4), QColor(0, 0, 255));
        // Nothing written just by starting.
        QVERIFY(!hasPrefValueFor(QStringLiteral("colorLabelValue0")));
        QVERIFY(!hasPrefValueFor(QStringLiteral("colorLabelName0")));
        QCOMPARE(registry->getColorChoiceAtIndex(10), nullptr);
        QCOMPARE(registry->getColorChoiceAtIndex(-1), nullptr);
        QVERIFY(!registry->getColorOfChoiceAtIndex(10).isValid());
        QCOMPARE(registry->getNameOfColorChoiceAtIndex(-3), QString());
        ColorChoice stranger;
        QCOMPARE(registry->getIndexOfColorChoice(&stranger), -1);
        QCOMPARE(registry->getIndexOfColorChoice(registry->getColorChoiceAtIndex(7)), 7);
    }

    void renamingToTheSameNameWritesNothing()
    {
        ColorChoiceRegistry* registry = getColorChoiceRegistryInstance();
        QSignalSpy written(AppPrefsChangeNotifier::GetInstance(), &AppPrefsChangeNotifier::prefValueChanged);
        QSignalSpy renamed(registry, &ColorChoiceRegistry::colorChoiceAtIndexChangedNameTo);
        registry->getColorChoiceAtIndex(0)->setName(QStringLiteral("Red"));
        registry->getColorChoiceAtIndex(0)->setColor(QColor(255, 0, 0));
        QCOMPARE(written.count(), 0);
        QCOMPARE(renamed.count(), 0);
    }

    void changingALabelStoresEveryLabel()
    {
        ColorChoiceRegistry* registry = getColorChoiceRegistryInstance();
        QSignalSpy recoloured(registry, &ColorChoiceRegistry::colorChoiceAtIndexChangedColorTo);
        QSignalSpy renamed(registry, &ColorChoiceRegistry::colorChoiceAtIndexChangedNameTo);
        registry->getColorChoiceAtIndex(5)->setName(QStringLiteral("Pads"));
        registry->getColorChoiceAtIndex(6)->setColor(QColor(250, 240, 230));
        QCOMPARE(renamed.count(), 1);
        QCOMPARE(renamed.at(0).at(0).toInt(), 5);
        QCOMPARE(renamed.at(0).at(1).toString(), QStringLiteral("Pads"));
        QCOMPARE(recoloured.count(), 1);
        QCOMPARE(recoloured.at(0).at(0).toInt(), 6);
        QCOMPARE(getStringPrefValue(QStringLiteral("colorLabelName5"), {}), QStringLiteral("Pads"));
        QCOMPARE(getStringPrefValue(QStringLiteral("colorLabelValue6"), {}), QStringLiteral("#faf0e6"));
        QCOMPARE(getStringPrefValue(QStringLiteral("colorLabelValue0"), {}), QStringLiteral("#ff0000"));
        QCOMPARE(getStringPrefValue(QStringLiteral("colorLabelName9"), {}), QStringLiteral("Black"));
        // The label whose stored colour was broken is saved with its default, not as black.
        QCOMPARE(getStringPrefValue(QStringLiteral("colorLabelValue2"), {}), QStringLiteral("#ffff00"));
        // An invalid colour never reaches a label.
        registry->getColorChoiceAtIndex(6)->setColor(QColor());
        QCOMPARE(registry->getColorOfChoiceAtIndex(6), QColor(250, 240, 230));
    }

    void defaultsStayTheDefaults()
    {
        const QList<ColorChoice> defaults = ColorChoiceRegistry::getDefaultColorChoices();
        QCOMPARE(defaults.size(), 10);
        QCOMPARE(defaults.at(5).getName(), QStringLiteral("Purple"));
        QCOMPARE(defaults.at(3).getColor(), QColor(0, 217, 0));
        QCOMPARE(defaults.at(8).getColor(), QColor(89, 89, 89));
    }

    void menuOffersNoColorThenEveryLabel()
    {
        ColorChoiceMenu menu(nullptr);
        QCOMPARE(menu.title(), QStringLiteral("Set Color Label"));
        const QList<QAction*> actions = menu.actions();
        QCOMPARE(actions.size(), 12);
        QCOMPARE(actions.at(0)->text(), QStringLiteral("No Color"));
        QVERIFY(actions.at(1)->isSeparator());
        QCOMPARE(actions.at(2)->text(), QStringLiteral("Red"));
        QCOMPARE(actions.at(11)->text(), QStringLiteral("Black"));

        QSignalSpy none(&menu, &ColorChoiceMenu::noColorSelected);
        QSignalSpy choice(&menu, &ColorChoiceMenu::colorChoiceSelected);
        QSignalSpy colour(&menu, &ColorChoiceMenu::colorSelected);
        actions.at(0)->trigger();
        QCOMPARE(none.count(), 1);
        QCOMPARE(choice.count(), 0);
        actions.at(3)->trigger();
        QCOMPARE(choice.count(), 1);
        QCOMPARE(choice.at(0).at(0).value<ColorChoice*>(),
                 getColorChoiceRegistryInstance()->getColorChoiceAtIndex(1));
        QCOMPARE(colour.count(), 1);
        QCOMPARE(colour.at(0).at(0).value<QColor>(), QColor(255, 128, 64));
        QCOMPARE(colour.at(0).at(1).toString(), QStringLiteral("Orange"));
    }

    void menuShowsLabelNamesAsTheUserTypedThem()
    {
        ColorChoice* choice = getColorChoiceRegistryInstance()->getColorChoiceAtIndex(8);
        choice->setName(QStringLiteral("Drums & Bass"));
        ColorChoiceMenu menu(nullptr);
        auto* action = qobject_cast<ColorChoiceAction*>(menu.actions().at(10));
        QVERIFY(action);
        QCOMPARE(action->text(), QStringLiteral("Drums && Bass"));
        QCOMPARE(action->getColorChoice(), choice);
        choice->setName(QStringLiteral("Dark Gray"));
        QCOMPARE(action->text(), QStringLiteral("Dark Gray"));
        QCOMPARE(action->icon().pixmap(16, 16).toImage().pixelColor(8, 8), QColor(89, 89, 89));
    }

    void menuChoicesLabelOneOrManyOutputs()
    {
        MIDIRoute route(QStringLiteral("Keys"), 0, QStringLiteral("Input1"), nullptr);
        QList<MIDIOutput*> outputs;
        for (int i = 0; i < 4; ++i) {
            outputs << new MIDIOutput(QStringLiteral("Output%1").arg(i + 1), nullptr);
            route.addMIDIOutput(outputs.last());
        }
        ColorLabelApplier::apply(outputs.at(1), 4, Qt::NoModifier);
        QCOMPARE(outputs.at(1)->getColorLabel(), 4);
        QVERIFY(!outputs.at(0)->hasColorLabel());

        ColorLabelApplier::apply(outputs.at(2), 2, Qt::AltModifier);
        QVERIFY(!outputs.at(0)->hasColorLabel());
        QCOMPARE(outputs.at(1)->getColorLabel(), 4);
        QCOMPARE(outputs.at(2)->getColorLabel(), 2);
        QCOMPARE(outputs.at(3)->getColorLabel(), 2);

        ColorLabelApplier::apply(outputs.at(3), 7, Qt::ShiftModifier);
        for (MIDIOutput* output : outputs)
            QCOMPARE(output->getColorLabel(), 7);

        // "No Color" with Shift clears every sibling.
        ColorLabelApplier::apply(outputs.at(0), -1, Qt::ShiftModifier);
        for (MIDIOutput* output : outputs)
            QVERIFY(!output->hasColorLabel());

        // Shift together with Control is not "exactly Shift": this output only.
        ColorLabelApplier::apply(outputs.at(0), 3, Qt::ShiftModifier | Qt::ControlModifier);
        QCOMPARE(outputs.at(0)->getColorLabel(), 3);
        QVERIFY(!outputs.at(1)->hasColorLabel());
        QVERIFY(ColorLabelApplier::isInColorStrip(8, 2));
        QVERIFY(!ColorLabelApplier::isInColorStrip(9, 2));
    }

    void swatchDroppedOnAnotherCopiesItsColour()
    {
        ColorSwatchFrame source(QColor(10, 20, 30), nullptr);
        ColorSwatchFrame target(QColor(200, 100, 0), nullptr);
        QSignalSpy changed(&target, &ColorSwatchFrame::colorChangedTo);
        QMimeData data;
        data.setColorData(source.getColor());
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QCoreApplication::sendEvent(&target, &enter);
        QVERIFY(enter.isAccepted());
        QCOMPARE(enter.dropAction(), Qt::CopyAction);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&target, &drop);
        QCOMPARE(target.getColor(), QColor(10, 20, 30));
        QCOMPARE(source.getColor(), QColor(10, 20, 30));
        QCOMPARE(changed.count(), 1);

        QMimeData text;
        text.setText(QStringLiteral("#ffffff"));
        QDragEnterEvent textEnter(QPoint(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&target, &textEnter);
        QVERIFY(!textEnter.isAccepted());
        QDragEnterEvent moveOnly(QPoint(5, 5), Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&target, &moveOnly);
        QVERIFY(!moveOnly.isAccepted());
    }

    void swatchDragStartsAtTheDragDistance()
    {
        ColorSwatchFrame swatch(QColor(0, 128, 255), nullptr);
        swatch.resize(50, 50);
        swatch.show();
        QVERIFY(QTest::qWaitForWindowExposed(&swatch));
        const int distance = QApplication::startDragDistance();

        sendMouse(&swatch, QEvent::MouseButtonPress, QPoint(10, 10), Qt::LeftButton);
        sendMouse(&swatch, QEvent::MouseMove, QPoint(10 + distance - 1, 10), Qt::LeftButton);
        QCOMPARE(swatch.findChild<QDrag*>(), nullptr);

        // At exactly the drag distance the colour leaves on a drag (the platform ends it at once).
        sendMouse(&swatch, QEvent::MouseMove, QPoint(10 + distance, 10), Qt::LeftButton);
        QDrag* drag = swatch.findChild<QDrag*>();
        QVERIFY(drag);
        QCOMPARE(drag->mimeData()->colorData().value<QColor>(), QColor(0, 128, 255));
        QCOMPARE(drag->supportedActions(), Qt::CopyAction);
        QCOMPARE(drag->pixmap().size(), QSize(30, 30));
        QCOMPARE(swatch.getColor(), QColor(0, 128, 255));
    }

    void clickOpensTheColourDialogAndCancelKeepsTheColour()
    {
        ColorSwatchFrame swatch(QColor(0, 128, 255), nullptr);
        swatch.resize(50, 50);
        swatch.show();
        QVERIFY(QTest::qWaitForWindowExposed(&swatch));
        QString title;
        auto answerDialog = [&title](bool accept) {
            QTimer::singleShot(0, [&title, accept] {
                auto* dialog = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
                if (!dialog)
                    return;
                title = dialog->windowTitle();
                dialog->setCurrentColor(QColor(1, 2, 3));
                accept ? dialog->accept() : dialog->reject();
            });
        };
        answerDialog(false);
        sendMouse(&swatch, QEvent::MouseButtonPress, QPoint(10, 10), Qt::LeftButton);
        sendMouse(&swatch, QEvent::MouseButtonRelease, QPoint(10, 10), Qt::NoButton);
        QCOMPARE(title, QStringLiteral("Select New Color"));
        QCOMPARE(swatch.getColor(), QColor(0, 128, 255));

        title.clear();
        answerDialog(true);
        sendMouse(&swatch, QEvent::MouseButtonPress, QPoint(10, 10), Qt::LeftButton);
        sendMouse(&swatch, QEvent::MouseMove, QPoint(11, 10), Qt::LeftButton);
        sendMouse(&swatch, QEvent::MouseButtonRelease, QPoint(11, 10), Qt::NoButton);
        QCOMPARE(title, QStringLiteral("Select New Color"));
        QCOMPARE(swatch.getColor(), QColor(1, 2, 3));
    }

    void pickingFromScreenTakesThePixelUnderThePointer()
    {
        QVERIFY(ColorSwatchFrame::canPickFromScreen());
        QWidget red;
        red.setAutoFillBackground(true);
        QPalette palette = red.palette();
        palette.setColor(QPalette::Window, QColor(220, 30, 40));
        red.setPalette(palette);
        red.setGeometry(300, 300, 80, 80);
        red.show();
        QVERIFY(QTest::qWaitForWindowExposed(&red));
        ColorSwatchFrame swatch(QColor(0, 0, 0), nullptr);
        swatch.setGeometry(50, 50, 50, 50);
        swatch.show();
        QVERIFY(QTest::qWaitForWindowExposed(&swatch));

        swatch.startPickingFromScreen();
        QVERIFY(swatch.isPickingFromScreen());
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(&swatch, &escape);
        QVERIFY(!swatch.isPickingFromScreen());

        swatch.startPickingFromScreen();
        const QPoint inRed = red.mapToGlobal(QPoint(40, 40));
        QMouseEvent press(QEvent::MouseButtonPress, swatch.mapFromGlobal(inRed), inRed, Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&swatch, &press);
        QVERIFY(!swatch.isPickingFromScreen());
        if (swatch.getColor() == QColor(0, 0, 0))
            QSKIP("this platform plugin cannot read back the screen");
        QCOMPARE(swatch.getColor(), QColor(220, 30, 40));
    }
};

QTEST_MAIN(ColorLabelsTest)
#include "tst_ColorLabels.moc"
