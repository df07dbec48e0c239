#include "EditorTestRig.h"
#include "editors/InitializerEditorDialog.h"
#include "editors/InitializerStripWidget.h"
#include "editors/InitializerWidget.h"
#include "editors/NoteOnInitializerEditorWidget.h"
#include "editors/PitchBendInitializerEditorWidget.h"
#include "editors/ProgChgInitializerEditorWidget.h"
#include "editors/TransformDialogManager.h"
#include "editors/VolumeInitializerEditorWidget.h"
#include "model/initializers/InitializerRegistry.h"
#include "model/initializers/MIDIPatchInitializer.h"
#include "support/TestPrefs.h"
#include "widgets/ByteValueSlider.h"
#include "widgets/NoWheelComboBox.h"
#include "widgets/NoteNameCombo.h"
#include "widgets/ValueEntryLineEdit.h"

#include <QApplication>
#include <QDialog>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>

namespace {

void choose(QComboBox* combo, int index)
{
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

void typeInto(QLineEdit* field, const QString& text)
{
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Return);
}

/// A rig whose output is the active one, so initializer edits are heard on "SynthA".
struct ActiveRig : OnePatchRig
{
    ActiveRig()
    {
        output->setActive(true);
        RoutingTestRig::clearSent();
    }

    MIDIPatchInitializer* add(const char* type)
    {
        MIDIPatchInitializer* initializer = patch->createNewMIDIPatchInitializer(QString::fromLatin1(type));
        RoutingTestRig::clearSent();
        return initializer;
    }
};

/// Runs `whileOpen` on the modal initializer editor once it is up.
void whenDialogOpens(std::function<void(QDialog*)> whileOpen)
{
    QTimer::singleShot(50, [whileOpen] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        whileOpen(dialog);
    });
}

} // namespace

class InitializerEditorWidgetsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        useTemporaryPrefs();
        RoutingTestRig::install();
        registerBuiltInInitializers();
        _mainWindow = std::make_unique<QMainWindow>();
        _mainWindow->show();
        TransformDialogManager::GetInstance()->setMainWindow(_mainWindow.get());
    }

    void velocitySliderIsHeardAndEndsTheNoteItSoundedBefore()
    {
        ActiveRig rig;
        MIDIPatchInitializer* noteOn = rig.add("Note On");
        auto editor = std::make_unique<NoteOnInitializerEditorWidget>(noteOn, nullptr);
        QCOMPARE(OnePatchRig::heard(), Sent()); // opening is silent
        editor->getSlider()->setValue(100);
        editor->getSlider()->setValue(90);
        QCOMPARE(editor->getValueField()->text(), QStringLiteral("90"));
        QCOMPARE(OnePatchRig::heard(), Sent({{0x90, 12, 100}, {0x80, 12, 127}, {0x90, 12, 90}}));
        choose(editor->getNoteCombo(), 36);
        QCOMPARE(OnePatchRig::heard(), Sent({{0x80, 12, 127}, {0x90, 36, 90}}));
        editor.reset();
        QCOMPARE(OnePatchRig::heard(), Sent({{0x80, 36, 127}}));
        QCOMPARE(rig.patch->getNumNotesSounding(), 0);
    }

    void testNoteEndsWhenItsInitializerIsRemovedWhileTheEditorIsOpen_data()
    {
        QTest::addColumn<bool>("deleted");
        QTest::newRow("deleted") << true;
        QTest::newRow("kept for undo") << false;
    }

    void testNoteEndsWhenItsInitializerIsRemovedWhileTheEditorIsOpen()
    {
        QFETCH(bool, deleted);
        ActiveRig rig;
        MIDIPatchInitializer* noteOn = rig.add("Note On");
        auto editor = std::make_unique<NoteOnInitializerEditorWidget>(noteOn, nullptr);
        editor->getSlider()->setValue(100);
        QCOMPARE(OnePatchRig::heard(), Sent({{0x90, 12, 100}}));
        std::unique_ptr<MIDIPatchInitializer> kept(deleted ? nullptr : noteOn);
        rig.patch->removeMIDIPatchInitializer(noteOn, deleted);
        if (kept)
            kept->setParent(nullptr);
        editor.reset();
        QCOMPARE(OnePatchRig::heard(), Sent({{0x80, 12, 127}}));
    }

    void velocityFieldAndModelStayInStep()
    {
        ActiveRig rig;
        MIDIPatchInitializer* noteOn = rig.add("Note On");
        QWidget window;
        auto* editor = new NoteOnInitializerEditorWidget(noteOn, &window);
        typeInto(editor->getValueField(), QStringLiteral("64"));
        QCOMPARE(noteOn->getByte2(), BYTE(64));
        QCOMPARE(editor->getSlider()->value(), 64);
        noteOn->setByte2(5);
        QCOMPARE(editor->getValueField()->text(), QStringLiteral("5"));
        QCOMPARE(editor->getSlider()->value(), 5);
    }

    void volumeFieldWithBadTextShowsTheVolumeAgainAndSendsNothing()
    {
        ActiveRig rig;
        MIDIPatchInitializer* volume = rig.add("Volume");
        QWidget window;
        auto* editor = new VolumeInitializerEditorWidget(volume, &window);
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        ValueEntryLineEdit* field = editor->getValueField();
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Backspace);
        field->clearFocus();
        QCOMPARE(field->text(), QStringLiteral("127"));
        QCOMPARE(OnePatchRig::heard(), Sent());
        typeInto(field, QStringLiteral("80"));
        QCOMPARE(OnePatchRig::heard(), Sent({{0xB0, 7, 80}}));
    }

    void choosingProgramOneSendsProgramZero()
    {
        ActiveRig rig;
        MIDIPatchInitializer* program = rig.add("Program Change");
        program->setByte1(9);
        RoutingTestRig::clearSent();
        ProgChgInitializerEditorWidget editor(program, nullptr);
        QCOMPARE(editor.getProgramCombo()->currentText(), QStringLiteral("10"));
        choose(editor.getProgramCombo(), 0);
        QCOMPARE(program->getByte1(), BYTE(0));
        QCOMPARE(OnePatchRig::heard(), Sent({{0xC0, 0}}));
    }

    void pitchBendAboveTheRangeIsShownClampedAndKept()
    {
        ActiveRig rig;
        MIDIPatchInitializer* bend = rig.add("Pitch Bend");
        bend->setInt1(20000);
        bend->setModified(false);
        RoutingTestRig::clearSent();
        PitchBendInitializerEditorWidget editor(bend, nullptr);
        QCOMPARE(editor.getSlider()->value(), 16383);
        QCOMPARE(editor.getValueField()->text(), QStringLiteral("16383"));
        QCOMPARE(bend->getInt1(), 20000);
        QVERIFY(!bend->isModified());
        QCOMPARE(OnePatchRig::heard(), Sent());
        editor.getSlider()->setValue(8192);
        QCOMPARE(bend->getInt1(), 8192);
        QCOMPARE(OnePatchRig::heard(), Sent({{0xE0, 0x00, 0x40}}));
    }

    void editorIsModalOnTheMainWindowAndClosesWithItsInitializer()
    {
        ActiveRig rig;
        MIDIPatchInitializer* volume = rig.add("Volume");
        InitializerStripWidget strip(rig.patch, nullptr);
        QWidget* parentSeen = nullptr;
        bool modal = false;
        QString title;
        whenDialogOpens([&](QDialog* dialog) {
            QVERIFY(dialog);
            parentSeen = dialog->parentWidget();
            modal = dialog->isModal();
            title = dialog->windowTitle();
            rig.patch->removeMIDIPatchInitializer(volume, true);
        });
        QTest::mouseClick(strip.getWidgetForInitializer(volume), Qt::LeftButton);
        QCOMPARE(parentSeen, _mainWindow.get());
        QVERIFY(modal);
        QCOMPARE(title, QStringLiteral("Edit Volume"));
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        QCOMPARE(strip.getNumWidgets(), 0);
    }

    void closeButtonEndsTheEditor()
    {
        ActiveRig rig;
        MIDIPatchInitializer* cc = rig.add("CC");
        bool closed = false;
        whenDialogOpens([&](QDialog* dialog) {
            QVERIFY(dialog);
            const auto buttons = dialog->findChildren<QPushButton*>();
            for (QPushButton* button : buttons)
                if (button->text().contains(QStringLiteral("Close")))
                    QTest::mouseClick(button, Qt::LeftButton);
            closed = true;
        });
        editMIDIPatchInitializer(cc, nullptr);
        QVERIFY(closed);
        QVERIFY(QApplication::activeModalWidget() == nullptr);
    }

    void shiftAndAltRemoveSeveralInitializers()
    {
        ActiveRig rig;
        MIDIPatchInitializer* first = rig.add("Program Change");
        MIDIPatchInitializer* second = rig.add("Volume");
        rig.add("Pitch Bend");
        InitializerStripWidget strip(rig.patch, nullptr);
        strip.getWidgetForInitializer(second)->removeWithModifiers(Qt::AltModifier);
        QCOMPARE(rig.patch->getNumMIDIPatchInitializers(), 1);
        QCOMPARE(strip.getNumWidgets(), 1);
        rig.add("CC");
        strip.getWidgetForInitializer(first)->removeWithModifiers(Qt::ShiftModifier);
        QCOMPARE(rig.patch->getNumMIDIPatchInitializers(), 0);
        QCOMPARE(strip.getNumWidgets(), 0);
    }

    void removeEntryInTheMenuRemovesThisOne()
    {
        ActiveRig rig;
        rig.add("Program Change");
        MIDIPatchInitializer* volume = rig.add("Volume");
        InitializerStripWidget strip(rig.patch, nullptr);
        InitializerWidget* indicator = strip.getWidgetForInitializer(volume);
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
        QCOMPARE(text, QStringLiteral("Remove Volume: 127"));
        QTRY_COMPARE(rig.patch->getNumMIDIPatchInitializers(), 1);
        QCOMPARE(rig.patch->getMIDIPatchInitializerAtIndex(0)->getName(), QStringLiteral("Program Change"));
    }

    void draggingToTheFrontMovesTheInitializerFirst()
    {
        ActiveRig rig;
        rig.add("Program Change");
        MIDIPatchInitializer* volume = rig.add("Volume");
        InitializerStripWidget strip(rig.patch, nullptr);
        emit strip.reorderRequested(strip.getWidgetForInitializer(volume), 0);
        QCOMPARE(rig.patch->getIndexOfMIDIPatchInitializer(volume), 0);
        QCOMPARE(strip.getWidgetIndex(strip.getWidgetForInitializer(volume)), 0);
    }

private:
    std::unique_ptr<QMainWindow> _mainWindow;
};

QTEST_MAIN(InitializerEditorWidgetsTest)
#include "tst_InitializerEditorWidgets.moc"
