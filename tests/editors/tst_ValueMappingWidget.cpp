#include "EditorTestRig.h"
#include "editors/BuiltInTransformEditors.h"
#include "editors/CCMappingWidget.h"
#include "editors/LabeledValueMappingWidget.h"
#include "editors/ValueMapMenu.h"
#include "editors/ValueMappingWidget.h"
#include "editors/VelocityMappingWidget.h"
#include "model/transforms/MIDIDataTransform.h"
#include "model/transforms/TransformRegistry.h"
#include "model/transforms/ValueMapClipboard.h"
#include "support/TestPrefs.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QMenu>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

namespace {

// Pixel rows 253/254 are value 0 and rows 0/1 value 127; column i spans x = 4i to 4i + 3.
QPoint pointFor(int index, int value)
{
    return QPoint(4 * index + 1, 256 - 2 - 2 * value);
}

void press(QWidget* w, const QPoint& p, Qt::MouseButton button = Qt::LeftButton,
           Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::mousePress(w, button, modifiers, p);
}

void moveTo(QWidget* w, const QPoint& p, Qt::MouseButtons buttons = Qt::LeftButton)
{
    QMouseEvent event(QEvent::MouseMove, QPointF(p), QPointF(w->mapToGlobal(p)), Qt::NoButton, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

void release(QWidget* w, const QPoint& p, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mouseRelease(w, button, Qt::NoModifier, p);
}

void wheel(QWidget* w, const QPoint& p, int delta, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWheelEvent event(QPointF(p), QPointF(w->mapToGlobal(p)), QPoint(), QPoint(0, delta), Qt::NoButton,
                      modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &event);
}

QList<int> valuesOf(const ValueMappingWidget& graph)
{
    QList<int> values;
    for (int i = 0; i < 128; ++i)
        values << graph.getValueAt(i);
    return values;
}

/// Runs `check` on the popup menu that opens next, then closes it.
void whenMenuOpens(std::function<void(QMenu*)> check)
{
    QTimer::singleShot(50, [check] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        check(menu);
        if (menu)
            menu->close();
    });
}

} // namespace

class ValueMappingWidgetTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        useTemporaryPrefs();
        RoutingTestRig::install();
        registerBuiltInTransformEditors();
    }

    void graphIsFourPixelsPerValueAndTwoRowsPerStep()
    {
        ValueMappingWidget graph(0, 127, nullptr);
        QCOMPARE(graph.size(), QSize(512, 256));
        QCOMPARE(graph.indexAndValueAt(QPoint(0, 253))->y(), 0);
        QCOMPARE(graph.indexAndValueAt(QPoint(0, 254))->y(), 0);
        QCOMPARE(graph.indexAndValueAt(QPoint(0, 255))->y(), 0);
        QCOMPARE(graph.indexAndValueAt(QPoint(511, 0))->y(), 127);
        QCOMPARE(graph.indexAndValueAt(QPoint(511, 0))->x(), 127);
        QVERIFY(!graph.indexAndValueAt(QPoint(512, 10)));
        QVERIFY(!graph.indexAndValueAt(QPoint(-1, 10)));
        QCOMPARE(valuesOf(graph).at(77), 77);
    }

    void clickingSetsTheValueUnderThePointer()
    {
        ValueMappingWidget graph(0, 127, nullptr);
        QSignalSpy changed(&graph, &ValueMappingWidget::valueChanged);
        press(&graph, pointFor(30, 100));
        release(&graph, pointFor(30, 100));
        QCOMPARE(graph.getValueAt(30), 100);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toInt(), 30);
        QCOMPARE(changed.at(0).at(1).toInt(), 100);
    }

    void fastFreehandStrokeLeavesNoGaps()
    {
        ValueMappingWidget graph(0, 127, nullptr);
        press(&graph, pointFor(10, 20));
        moveTo(&graph, pointFor(20, 40));
        release(&graph, pointFor(20, 40));
        QCOMPARE(graph.getValueAt(10), 20);
        QCOMPARE(graph.getValueAt(15), 30);
        for (int i = 10; i <= 20; ++i)
            QCOMPARE(graph.getValueAt(i), 20 + 2 * (i - 10));
        QCOMPARE(graph.getValueAt(21), 21);
    }

    void aStrokeWhoseReleaseIsLostStopsDrawing()
    {
        // The release went to another window: the next move has no button held.
        ValueMappingWidget graph(0, 127, nullptr);
        press(&graph, pointFor(10, 20));
        moveTo(&graph, pointFor(12, 24));
        moveTo(&graph, pointFor(30, 90), Qt::NoButton);
        QCOMPARE(graph.getValueAt(30), 30);
        QCOMPARE(graph.getValueAt(12), 24);
        // The window lost focus in the middle of a stroke: later moves draw nothing either.
        press(&graph, pointFor(40, 10));
        QFocusEvent focusOut(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
        QApplication::sendEvent(&graph, &focusOut);
        moveTo(&graph, pointFor(50, 100));
        QCOMPARE(graph.getValueAt(50), 50);
        // A ramp whose release never came is dropped.
        press(&graph, pointFor(60, 0), Qt::MiddleButton);
        QApplication::sendEvent(&graph, &focusOut);
        release(&graph, pointFor(70, 127), Qt::MiddleButton);
        QCOMPARE(graph.getValueAt(65), 65);
    }

    void strokeLeftwardsFollowsTheLineToo()
    {
        ValueMappingWidget graph(0, 127, nullptr);
        press(&graph, pointFor(40, 0));
        moveTo(&graph, pointFor(30, 100));
        release(&graph, pointFor(30, 100));
        QCOMPARE(graph.getValueAt(40), 0);
        QCOMPARE(graph.getValueAt(35), 50);
        QCOMPARE(graph.getValueAt(30), 100);
    }

    void draggingOutsideTheGraphChangesNothingThere()
    {
        ValueMappingWidget graph(0, 127, nullptr);
        press(&graph, pointFor(120, 10));
        moveTo(&graph, QPoint(600, 100));
        moveTo(&graph, QPoint(-30, 100));
        release(&graph, QPoint(600, 100));
        QList<int> expected;
        for (int i = 0; i < 128; ++i)
            expected << (i == 120 ? 10 : i);
        QCOMPARE(valuesOf(graph), expected);
        // The stroke has ended: moving back in without a button draws nothing.
        moveTo(&graph, pointFor(5, 90), Qt::NoButton);
        QCOMPARE(graph.getValueAt(5), 5);
    }

    void middleButtonRampFromCornerToCornerIsTheIdentity()
    {
        ValueMappingWidget graph(0, 127, nullptr);
        for (int i = 0; i < 128; ++i)
            graph.setValueAt(i, 64);
        press(&graph, QPoint(0, 255), Qt::MiddleButton);
        moveTo(&graph, QPoint(300, 100), Qt::MiddleButton);
        QCOMPARE(graph.getValueAt(50), 64); // nothing changes before the release
        release(&graph, QPoint(511, 0), Qt::MiddleButton);
        for (int i = 0; i < 128; ++i)
            QCOMPARE(graph.getValueAt(i), i);
    }

    void altLeftDragDrawsARampToo()
    {
        ValueMappingWidget graph(0, 127, nullptr);
        press(&graph, pointFor(0, 127), Qt::LeftButton, Qt::AltModifier);
        release(&graph, pointFor(127, 127));
        for (int i = 0; i < 128; ++i)
            QCOMPARE(graph.getValueAt(i), 127);
    }

    void rampInOnePixelColumnSetsOnlyTheReleasePoint()
    {
        ValueMappingWidget graph(0, 127, nullptr);
        QSignalSpy changed(&graph, &ValueMappingWidget::valueChanged);
        press(&graph, QPoint(41, 250), Qt::MiddleButton);
        release(&graph, QPoint(41, 10), Qt::MiddleButton);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(graph.getValueAt(10), 122);
    }

    void rampLeavingTheGraphSkipsThePointsOutside()
    {
        ValueMappingWidget graph(0, 127, nullptr);
        press(&graph, pointFor(100, 0), Qt::MiddleButton);
        release(&graph, QPoint(700, -400), Qt::MiddleButton);
        QVERIFY(graph.getValueAt(100) <= 2);
        QVERIFY(graph.getValueAt(127) > 100);
        QCOMPARE(graph.getValueAt(99), 99);
        for (int i = 0; i < 128; ++i)
            QVERIFY(graph.getValueAt(i) >= 0 && graph.getValueAt(i) <= 127);
    }

    void wheelNudgesOneValueAndShiftWheelAll()
    {
        ValueMappingWidget graph(0, 127, nullptr);
        wheel(&graph, pointFor(64, 10), 120);
        QCOMPARE(graph.getValueAt(64), 65);
        QCOMPARE(graph.getValueAt(63), 63);
        wheel(&graph, pointFor(64, 10), -240);
        QCOMPARE(graph.getValueAt(64), 63);
        wheel(&graph, pointFor(3, 10), 120, Qt::ShiftModifier);
        QCOMPARE(graph.getValueAt(0), 1);
        QCOMPARE(graph.getValueAt(64), 64);
        QCOMPARE(graph.getValueAt(127), 127);
    }

    void readoutFollowsTheMouseAndEmptiesWhenItLeaves()
    {
        LabeledValueMappingWidget labeled(0, 127, nullptr, QStringLiteral("In"), QStringLiteral("Out"));
        ValueMappingWidget* graph = labeled.getValueMappingWidget();
        moveTo(graph, pointFor(12, 99), Qt::NoButton);
        QCOMPARE(labeled.getReadoutText(), QStringLiteral("In: 12\nOut: 99"));
        QCOMPARE(graph->toolTip(), QStringLiteral("In: 12\nOut: 12"));
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(graph, &leave);
        QCOMPARE(labeled.getReadoutText(), QStringLiteral("In:\nOut:"));
        labeled.setXLabel(QStringLiteral("Velocity"));
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(graph, &enter);
        QCOMPARE(labeled.getReadoutText(), QStringLiteral("Velocity:\nOut:"));
    }

    void drawingAVelocityCurveChangesWhatIsPlayed()
    {
        OnePatchRig rig;
        MIDIDataTransform* map = rig.patch->createNewMIDIDataTransform(QStringLiteral("Velocity Map"));
        QVERIFY(map);
        VelocityMappingWidget editor(map, nullptr);
        ValueMappingWidget* graph = editor.getLabeledValueMappingWidget()->getValueMappingWidget();
        // Soft notes louder: a stroke from (90, 127) down to (100, 127).
        press(graph, pointFor(90, 127));
        moveTo(graph, pointFor(100, 127));
        release(graph, pointFor(100, 127));
        QCOMPARE(map->getMapValueAt(95), BYTE(127));
        QCOMPARE(map->getMapValueAt(89), BYTE(89));
        QCOMPARE(OnePatchRig::play({0x90, 60, 95}), Sent({{0x90, 60, 127}}));
        QCOMPARE(OnePatchRig::play({0x90, 61, 50}), Sent({{0x90, 61, 50}}));
        // A note off is never mapped.
        QCOMPARE(OnePatchRig::play({0x80, 60, 95}), Sent({{0x80, 60, 95}}));
    }

    void mapOperationsShowInTheGraphWithoutEchoingBack()
    {
        auto map = std::unique_ptr<MIDIDataTransform>(createMIDIDataTransformOfTypeForTest("Velocity Map"));
        VelocityMappingWidget editor(map.get(), nullptr);
        ValueMappingWidget* graph = editor.getLabeledValueMappingWidget()->getValueMappingWidget();
        QSignalSpy written(map.get(), &MIDIDataTransform::mapValueChangedTo);
        map->invertMapping();
        QCOMPARE(written.count(), 128); // the graph wrote nothing back
        QCOMPARE(graph->getValueAt(0), 127);
        QCOMPARE(graph->getValueAt(127), 0);
        map->setMapValueAt(5, 77);
        QCOMPARE(graph->getValueAt(5), 77);
        emit map->lastValueReceived(42);
        QCOMPARE(graph->getHighlightedIndex(), 42);
    }

    void openingAnEditorLeavesTheTransformUnmodified()
    {
        auto map = std::unique_ptr<MIDIDataTransform>(createMIDIDataTransformOfTypeForTest("CC Map"));
        map->setMapValueAt(3, 90);
        map->setModified(false);
        CCMappingWidget editor(map.get(), nullptr);
        QVERIFY(!map->isModified());
        QCOMPARE(editor.getLabeledValueMappingWidget()->getValueAt(3), 90);
        QCOMPARE(editor.getControllerCombo()->currentIndex(), 1);
    }

    void ccMapEditorChoosesTheControllerAndRemapsIt()
    {
        OnePatchRig rig;
        MIDIDataTransform* map = rig.patch->createNewMIDIDataTransform(QStringLiteral("CC Map"));
        CCMappingWidget editor(map, nullptr);
        editor.getControllerCombo()->setCurrentIndex(7);
        emit editor.getControllerCombo()->activated(7);
        QCOMPARE(map->getByte1(), BYTE(7));
        ValueMappingWidget* graph = editor.getLabeledValueMappingWidget()->getValueMappingWidget();
        press(graph, pointFor(100, 10));
        release(graph, pointFor(100, 10));
        QCOMPARE(OnePatchRig::play({0xB0, 7, 100}), Sent({{0xB0, 7, 10}}));
        QCOMPARE(OnePatchRig::play({0xB0, 1, 100}), Sent({{0xB0, 1, 100}}));
        map->setByte1(120);
        CCMappingWidget high(map, nullptr);
        QCOMPARE(high.getControllerCombo()->currentIndex(), -1);
        QCOMPARE(high.getControllerCombo()->count(), 120);
    }

    void valueMapMenuOffersPasteOnlyWithAMapOnTheClipboard()
    {
        auto map = std::unique_ptr<MIDIDataTransform>(createMIDIDataTransformOfTypeForTest("Velocity Map"));
        QApplication::clipboard()->setText(QStringLiteral("not a map"));
        QStringList texts;
        bool pasteEnabled = true;
        whenMenuOpens([&](QMenu* menu) {
            QVERIFY(menu);
            for (QAction* action : menu->actions()) {
                if (!action->isSeparator())
                    texts << action->text();
                if (action->text() == QStringLiteral("Paste"))
                    pasteEnabled = action->isEnabled();
            }
        });
        doContextMenuForTransformAtGlobalPos(map.get(), QPoint(10, 10), nullptr);
        QCOMPARE(texts, QStringList({"Set To Default", "Sine Ramp Up", "Reverse", "Invert", "Ceiling",
                                     "Floor", "Copy", "Paste"}));
        QVERIFY(!pasteEnabled);
    }

    void copyAndPasteCarryAMapFromOneEditorToAnother()
    {
        auto from = std::unique_ptr<MIDIDataTransform>(createMIDIDataTransformOfTypeForTest("Velocity Map"));
        auto to = std::unique_ptr<MIDIDataTransform>(createMIDIDataTransformOfTypeForTest("CC Map"));
        from->setMappingToSineRampUp();
        chooseFromMenu(from.get(), QStringLiteral("Copy"));
        QVERIFY(doesClipboardHaveValueMap());
        CCMappingWidget editor(to.get(), nullptr);
        chooseFromMenu(to.get(), QStringLiteral("Paste"));
        QCOMPARE(to->getMapValueAt(64), BYTE(90));
        QCOMPARE(editor.getLabeledValueMappingWidget()->getValueAt(64), 90);
        chooseFromMenu(to.get(), QStringLiteral("Ceiling"));
        QCOMPARE(editor.getLabeledValueMappingWidget()->getValueAt(3), 127);
    }

    void transformDeletedWhileItsMenuIsOpenIsLeftAlone()
    {
        auto* map = createMIDIDataTransformOfTypeForTest("Velocity Map");
        QPointer<MIDIDataTransform> guard(map);
        QTimer::singleShot(30, [map] { delete map; });
        whenMenuOpens([](QMenu* menu) {
            if (!menu)
                return;
            for (QAction* action : menu->actions())
                if (action->text() == QStringLiteral("Invert"))
                    action->trigger();
        });
        doContextMenuForTransformAtGlobalPos(map, QPoint(10, 10), nullptr);
        QVERIFY(guard.isNull());
    }

private:
    static MIDIDataTransform* createMIDIDataTransformOfTypeForTest(const char* name)
    {
        return createMIDIDataTransformOfType(QString::fromLatin1(name), nullptr);
    }

    static void chooseFromMenu(MIDIDataTransform* transform, const QString& text)
    {
        whenMenuOpens([text](QMenu* menu) {
            QVERIFY(menu);
            for (QAction* action : menu->actions())
                if (action->text() == text)
                    action->trigger();
        });
        doContextMenuForTransformAtGlobalPos(transform, QPoint(10, 10), nullptr);
    }
};

QTEST_MAIN(ValueMappingWidgetTest)
#include "tst_ValueMappingWidget.moc"
