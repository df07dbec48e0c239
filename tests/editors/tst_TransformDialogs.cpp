#include "EditorTestRig.h"
#include "editors/BuiltInTransformEditors.h"
#include "editors/MIDIDataTransformEditorDialog.h"
#include "editors/TransformDialogManager.h"
#include "editors/TransformStripWidget.h"
#include "editors/TransformWidget.h"
#include "model/transforms/MIDIDataTransform.h"
#include "model/transforms/TransformRegistry.h"
#include "support/TestPrefs.h"

#include <QApplication>
#include <QDomDocument>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

namespace {

TransformDialogManager* manager()
{
    return TransformDialogManager::GetInstance();
}

/// A patch with Transpose, Make Monophonic and Velocity Map, shown in a strip.
struct StripRig
{
    OnePatchRig rig;
    MIDIDataTransform* transpose = nullptr;
    MIDIDataTransform* mono = nullptr;
    MIDIDataTransform* velocity = nullptr;
    std::unique_ptr<TransformStripWidget> strip;

    StripRig()
    {
        transpose = rig.patch->createNewMIDIDataTransform(QStringLiteral("Transpose"));
        mono = rig.patch->createNewMIDIDataTransform(QStringLiteral("Make Monophonic"));
        velocity = rig.patch->createNewMIDIDataTransform(QStringLiteral("Velocity Map"));
        strip = std::make_unique<TransformStripWidget>(rig.patch, nullptr);
        strip->show();
    }

    ~StripRig() { manager()->closeAllTransformEditors(); }

    TransformWidget* indicator(MIDIDataTransform* mdt) const { return strip->getWidgetForTransform(mdt); }

    void click(MIDIDataTransform* mdt, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const
    {
        QTest::mouseClick(indicator(mdt), Qt::LeftButton, modifiers);
    }
};

} // namespace

class TransformDialogsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        useTemporaryPrefs();
        RoutingTestRig::install();
        registerBuiltInTransformEditors();
        _mainWindow = std::make_unique<QMainWindow>();
        _mainWindow->show();
        manager()->setMainWindow(_mainWindow.get());
    }

    void cleanup() { manager()->closeAllTransformEditors(); }

    void clickOpensOneEditorAndAgainRaisesIt()
    {
        StripRig s;
        s.click(s.transpose);
        MIDIDataTransformEditorDialog* dialog = manager()->getEditorForTransform(s.transpose);
        QVERIFY(dialog);
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Edit Transpose"));
        s.click(s.transpose);
        QCOMPARE(manager()->getNumOpenEditors(), 1);
        QCOMPARE(manager()->getEditorForTransform(s.transpose), dialog);
    }

    void editorsAreToolWindowsOfTheMainWindow()
    {
        StripRig s;
        s.click(s.velocity);
        MIDIDataTransformEditorDialog* dialog = manager()->getEditorForTransform(s.velocity);
        QCOMPARE(dialog->parentWidget(), _mainWindow.get());
        QCOMPARE(dialog->windowFlags() & Qt::WindowType_Mask, Qt::Tool);
        QVERIFY(!(dialog->windowFlags() & Qt::WindowStaysOnTopHint));
    }

    void shiftClickOpensEveryEditorOfThePatch()
    {
        StripRig s;
        s.click(s.velocity, Qt::ShiftModifier);
        QCOMPARE(manager()->getNumOpenEditors(), 3);
        auto* nothing = qobject_cast<QLabel*>(manager()->getEditorForTransform(s.mono)->getEditorWidget());
        QVERIFY(nothing);
        QCOMPARE(nothing->text(), QStringLiteral("(nothing to edit)"));
    }

    void altClickOpensThisAndTheFollowingEditors()
    {
        StripRig s;
        s.click(s.mono, Qt::AltModifier);
        QVERIFY(!manager()->hasEditorForTransform(s.transpose));
        QVERIFY(manager()->hasEditorForTransform(s.mono));
        QVERIFY(manager()->hasEditorForTransform(s.velocity));
    }

    void controlClickTogglesBypassAndIsHeard()
    {
        StripRig s;
        s.transpose->setInt1(12);
        QCOMPARE(OnePatchRig::play({0x90, 60, 100}), Sent({{0x90, 72, 100}}));
        s.click(s.transpose, Qt::ControlModifier);
        QVERIFY(s.transpose->isBypassed());
        QCOMPARE(manager()->getNumOpenEditors(), 0);
        // Make Monophonic ends the first note (still transposed) before the new one, untransposed.
        QCOMPARE(OnePatchRig::play({0x90, 61, 100}), Sent({{0x80, 72, 127}, {0x90, 61, 100}}));
        s.click(s.transpose, Qt::ControlModifier);
        QVERIFY(!s.transpose->isBypassed());
    }

    void controlShiftAndControlAltBypassSeveral()
    {
        StripRig s;
        s.transpose->setBypassed(true);
        s.velocity->setBypassed(true);
        s.click(s.transpose, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(!s.transpose->isBypassed() && !s.mono->isBypassed() && !s.velocity->isBypassed());
        s.click(s.mono, Qt::ControlModifier | Qt::AltModifier);
        QVERIFY(!s.transpose->isBypassed());
        QVERIFY(s.mono->isBypassed() && s.velocity->isBypassed());
        // Keys not in the table open the editor.
        s.click(s.transpose, Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier);
        QVERIFY(manager()->hasEditorForTransform(s.transpose));
        QVERIFY(!s.transpose->isBypassed());
    }

    void bypassButtonTogglesAndWearsTheMutedLook()
    {
        StripRig s;
        editMIDIDataTransform(s.transpose);
        QPushButton* bypass = manager()->getEditorForTransform(s.transpose)->getBypassButton();
        const QColor normal = bypass->palette().color(QPalette::Button);
        QTest::mouseClick(bypass, Qt::LeftButton);
        QVERIFY(s.transpose->isBypassed());
        QVERIFY(bypass->palette().color(QPalette::Button) != normal);
        QVERIFY(s.indicator(s.transpose)->palette().color(QPalette::Button) != normal);
        QVERIFY(s.indicator(s.transpose)->toolTip().endsWith(QStringLiteral(" (bypassed)")));
    }

    void shiftCloseClosesEveryEditorOnce()
    {
        StripRig s;
        editAllMIDIDataTransforms(s.rig.patch);
        QCOMPARE(manager()->getNumOpenEditors(), 3);
        QPointer<MIDIDataTransformEditorDialog> first = manager()->getEditorForTransform(s.transpose);
        QTest::mouseClick(first->getCloseButton(), Qt::LeftButton, Qt::ShiftModifier);
        QCOMPARE(manager()->getNumOpenEditors(), 0);
        QTRY_VERIFY(first.isNull());
    }

    void plainCloseClosesOnlyThatEditor()
    {
        StripRig s;
        editAllMIDIDataTransforms(s.rig.patch);
        QTest::mouseClick(manager()->getEditorForTransform(s.mono)->getCloseButton(), Qt::LeftButton);
        QCOMPARE(manager()->getNumOpenEditors(), 2);
        QVERIFY(!manager()->hasEditorForTransform(s.mono));
    }

    void editorReopensWhereItWasLeftAlsoAfterSavingAndLoading()
    {
        StripRig s;
        editMIDIDataTransform(s.transpose);
        MIDIDataTransformEditorDialog* dialog = manager()->getEditorForTransform(s.transpose);
        const QPoint spot = dialog->screen()->availableGeometry().topLeft() + QPoint(130, 90);
        dialog->move(spot);
        QTest::mouseClick(dialog->getCloseButton(), Qt::LeftButton);
        QCOMPARE(s.transpose->getEditorPosition(), spot);
        editMIDIDataTransform(s.transpose);
        QCOMPARE(manager()->getEditorForTransform(s.transpose)->pos(), spot);

        QDomDocument doc;
        const QDomElement saved = s.transpose->toDomElement(doc);
        std::unique_ptr<MIDIDataTransform> loaded(
            createMIDIDataTransformOfType(QStringLiteral("Transpose"), nullptr));
        loaded->initFromDomElement(saved);
        editMIDIDataTransform(loaded.get());
        QCOMPARE(manager()->getEditorForTransform(loaded.get())->pos(), spot);
    }

    void positionFromAnotherMachineIsBroughtOnScreen()
    {
        StripRig s;
        s.transpose->setEditorPosition(QPoint(-9000, 40000));
        editMIDIDataTransform(s.transpose);
        MIDIDataTransformEditorDialog* dialog = manager()->getEditorForTransform(s.transpose);
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY(screen.contains(dialog->pos()));
        QVERIFY(screen.contains(dialog->pos() + QPoint(dialog->width() - 1, dialog->height() - 1)));
        // Only where it shows moved; the stored position waits for the user to move it.
        QCOMPARE(s.transpose->getEditorPosition(), QPoint(-9000, 40000));
    }

    void removingTheTransformClosesItsEditorFirst()
    {
        StripRig s;
        editMIDIDataTransform(s.velocity);
        QPointer<MIDIDataTransformEditorDialog> dialog = manager()->getEditorForTransform(s.velocity);
        QPointer<MIDIDataTransform> transform = s.velocity;
        s.rig.patch->removeMIDIDataTransform(s.velocity, true);
        QVERIFY(!transform.isNull());                          // deleted later ...
        QVERIFY(!manager()->hasEditorForTransform(transform)); // ... but the editor is already gone
        QVERIFY(!dialog->isVisible());
        QVERIFY(s.strip->getWidgetForTransform(transform) == nullptr);
        QTRY_VERIFY(transform.isNull() && dialog.isNull());
    }

    void removingThePatchWhileNotesPlayClosesItsEditors()
    {
        StripRig s;
        editAllMIDIDataTransforms(s.rig.patch);
        s.transpose->setInt1(2);
        QCOMPARE(OnePatchRig::play({0x90, 60, 100}), Sent({{0x90, 62, 100}}));
        QPointer<MIDIDataTransform> transform = s.transpose;
        s.rig.output->createNewMIDIPatchTarget(false, QStringLiteral("SynthB"));
        s.strip.reset();
        s.rig.output->removeMIDIPatchTarget(s.rig.patch, true);
        QCOMPARE(manager()->getNumOpenEditors(), 0);
        // The note that was sounding is ended where it began.
        QCOMPARE(OnePatchRig::heard(), Sent({{0x80, 62, 127}}));
        QTRY_VERIFY(transform.isNull());
    }

    void removeFromTheMenuHonoursShiftAndAlt()
    {
        {
            StripRig s;
            s.indicator(s.mono)->removeWithModifiers(Qt::AltModifier);
            QCOMPARE(s.rig.patch->getNumMIDIDataTransforms(), 1);
            QCOMPARE(s.strip->getNumWidgets(), 1);
        }
        {
            StripRig s;
            s.indicator(s.mono)->removeWithModifiers(Qt::ShiftModifier);
            QCOMPARE(s.rig.patch->getNumMIDIDataTransforms(), 0);
        }
        {
            StripRig s;
            s.indicator(s.mono)->removeWithModifiers(Qt::ShiftModifier | Qt::AltModifier);
            QCOMPARE(s.rig.patch->getNumMIDIDataTransforms(), 2);
            QVERIFY(!s.rig.patch->hasMIDIDataTransform(s.mono));
        }
    }

    void contextMenuRemovesAfterTheMenuCloses()
    {
        StripRig s;
        TransformWidget* indicator = s.indicator(s.velocity);
        QString text;
        QTimer::singleShot(50, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QVERIFY(menu);
            text = menu->actions().at(0)->text();
            menu->actions().at(0)->trigger();
            menu->close();
        });
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2), indicator->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(indicator, &event);
        QCOMPARE(text, QStringLiteral("Remove Velocity Map"));
        QCOMPARE(s.rig.patch->getNumMIDIDataTransforms(), 3);
        QTRY_COMPARE(s.rig.patch->getNumMIDIDataTransforms(), 2);
    }

    void draggingAnIndicatorMovesTheTransformAndTheRowFollows()
    {
        StripRig s;
        emit s.strip->reorderRequested(s.indicator(s.velocity), 0);
        QCOMPARE(s.rig.patch->getIndexOfMIDIDataTransform(s.velocity), 0);
        QCOMPARE(s.strip->getWidgetIndex(s.indicator(s.velocity)), 0);
        s.rig.patch->moveMIDIDataTransformToIndex(s.transpose, 2);
        QCOMPARE(s.strip->getWidgetIndex(s.indicator(s.transpose)), 2);
        MIDIDataTransform* added = s.rig.patch->createNewMIDIDataTransform(QStringLiteral("Inspector"));
        QCOMPARE(s.strip->getWidgetIndex(s.indicator(added)), 3);
    }

    void closingAllOnQuitRemembersEachPosition()
    {
        StripRig s;
        editAllMIDIDataTransforms(s.rig.patch);
        const QPoint spot = QGuiApplication::primaryScreen()->availableGeometry().topLeft() + QPoint(60, 70);
        manager()->getEditorForTransform(s.mono)->move(spot);
        manager()->closeAllTransformEditors();
        QCOMPARE(manager()->getNumOpenEditors(), 0);
        QCOMPARE(s.mono->getEditorPosition(), spot);
    }

private:
    std::unique_ptr<QMainWindow> _mainWindow;
};

QTEST_MAIN(TransformDialogsTest)
#include "tst_TransformDialogs.moc"
