#include "EditorTestRig.h"
#include "editors/BuiltInTransformEditors.h"
#include "editors/CCCopyEditorWidget.h"
#include "editors/CCNumberChangerEditorWidget.h"
#include "editors/ChannelAftertouchToCCEditorWidget.h"
#include "editors/ConvergeOnNoteEditorWidget.h"
#include "editors/IgnoreCCEditorWidget.h"
#include "editors/MessageInspectorWidget.h"
#include "editors/NoteFilterEditorWidget.h"
#include "editors/NoteTransposerEditorWidget.h"
#include "editors/PitchChangeToCCEditorWidget.h"
#include "editors/VelocityFilterEditorWidget.h"
#include "editors/VelocityFromCCEditorWidget.h"
#include "editors/VelocityToCCEditorWidget.h"
#include "editors/VelocityVariationEditorWidget.h"
#include "model/transforms/MIDIDataTransform.h"
#include "model/transforms/NoteFilter.h"
#include "model/transforms/TransformRegistry.h"
#include "support/TestPrefs.h"
#include "widgets/NoWheelComboBox.h"
#include "widgets/NoteNameCombo.h"
#include "widgets/ValueEntryLineEdit.h"

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>
#include <QWheelEvent>

namespace {

/// Picks an entry of a combo box the way a click in its list does.
void choose(QComboBox* combo, int index)
{
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

/// Types into a field and leaves it with Return, as a player does.
void typeInto(QLineEdit* field, const QString& text)
{
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Return);
}

/// Shows the window as the active one, so that focus moves between its fields as for a player.
void showActive(QWidget* window)
{
    window->show();
    QApplication::setActiveWindow(window);
    QVERIFY(QTest::qWaitForWindowActive(window));
}

template <typename Editor> struct Edited
{
    OnePatchRig rig;
    MIDIDataTransform* transform = nullptr;
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    Editor* editor = nullptr;

    explicit Edited(const char* type)
    {
        transform = rig.patch->createNewMIDIDataTransform(QString::fromLatin1(type));
        editor = new Editor(transform, window.get());
        showActive(window.get());
    }
};

} // namespace

class TransformEditorWidgetsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        useTemporaryPrefs();
        RoutingTestRig::install();
        registerBuiltInTransformEditors();
    }

    void transposeFieldsMoveTheNotesPlayed()
    {
        Edited<NoteTransposerEditorWidget> e("Transpose");
        typeInto(e.editor->getOctavesField(), QStringLiteral("1"));
        typeInto(e.editor->getSemitonesField(), QStringLiteral("-2"));
        QCOMPARE(e.transform->getInt2(), 1);
        QCOMPARE(e.transform->getInt1(), -2);
        QCOMPARE(OnePatchRig::play({0x90, 60, 100}), Sent({{0x90, 70, 100}}));
    }

    void transposeOctavesCoverTheWholeRangeOfTheTransform()
    {
        Edited<NoteTransposerEditorWidget> e("Transpose");
        typeInto(e.editor->getOctavesField(), QStringLiteral("11"));
        QCOMPARE(e.transform->getInt2(), 11);
        typeInto(e.editor->getOctavesField(), QStringLiteral("-127"));
        QCOMPARE(e.transform->getInt2(), -127);
        typeInto(e.editor->getOctavesField(), QStringLiteral("127"));
        QCOMPARE(e.transform->getInt2(), 127);
        // Beyond the range the field takes nothing and shows the value again.
        typeInto(e.editor->getOctavesField(), QStringLiteral("128"));
        QCOMPARE(e.transform->getInt2(), 127);
        e.editor->getSemitonesField()->setFocus();
        QCOMPARE(e.editor->getOctavesField()->text(), QStringLiteral("127"));
        // Far octaves send no note outside 0 to 127.
        typeInto(e.editor->getOctavesField(), QStringLiteral("-20"));
        QCOMPARE(e.transform->getInt2(), -20);
        for (const midiMessage_t& sent : OnePatchRig::play({0x90, 60, 100}))
            QVERIFY(sent.size() < 2 || sent[1] <= 127);
    }

    void transposeLoadedFromAFileKeepsItsValueUntilEdited()
    {
        OnePatchRig rig;
        MIDIDataTransform* transpose = rig.patch->createNewMIDIDataTransform(QStringLiteral("Transpose"));
        transpose->setInt2(40);
        transpose->setModified(false);
        QWidget window;
        auto* editor = new NoteTransposerEditorWidget(transpose, &window);
        showActive(&window);
        QCOMPARE(editor->getOctavesField()->text(), QStringLiteral("40"));
        // Passing through the field without typing leaves the stored value alone.
        editor->getOctavesField()->setFocus();
        editor->getSemitonesField()->setFocus();
        QCOMPARE(transpose->getInt2(), 40);
        QVERIFY(!transpose->isModified());
    }

    void leavingAFieldWithUnacceptableTextShowsTheValueAgain()
    {
        Edited<NoteTransposerEditorWidget> e("Transpose");
        e.transform->setInt1(5);
        ValueEntryLineEdit* semitones = e.editor->getSemitonesField();
        semitones->setFocus();
        semitones->selectAll();
        QTest::keyClicks(semitones, QStringLiteral("-"));
        e.editor->getOctavesField()->setFocus();
        QCOMPARE(semitones->text(), QStringLiteral("5"));
        QCOMPARE(e.transform->getInt1(), 5);
    }

    void convergeChoosesTheNote()
    {
        Edited<ConvergeOnNoteEditorWidget> e("Converge On Note");
        QCOMPARE(e.editor->getNoteCombo()->currentIndex(), 60);
        choose(e.editor->getNoteCombo(), 48);
        QCOMPARE(e.transform->getByte1(), BYTE(48));
        QCOMPARE(OnePatchRig::play({0x90, 64, 90}), Sent({{0x90, 48, 90}}));
    }

    void velocityToCCSendsTheChosenController()
    {
        Edited<VelocityToCCEditorWidget> e("Velocity To CC");
        choose(e.editor->getControllerCombo(), 74);
        QCOMPARE(OnePatchRig::play({0x90, 60, 100}), Sent({{0xB0, 74, 100}, {0x90, 60, 100}}));
    }

    void velocityFromCCReadsTheChosenController()
    {
        Edited<VelocityFromCCEditorWidget> e("Velocity From CC");
        QCOMPARE(e.editor->getLabel()->text(), QStringLiteral("Set Note Velocity From"));
        choose(e.editor->getControllerCombo(), 2);
        QCOMPARE(e.transform->getByte1(), BYTE(2));
        OnePatchRig::play({0xB0, 2, 33});
        QCOMPARE(OnePatchRig::play({0x90, 60, 100}), Sent({{0x90, 60, 33}}));
    }

    void velocityFilterDropsSoftNotesAndFollowsTheTransform()
    {
        Edited<VelocityFilterEditorWidget> e("Velocity Filter");
        typeInto(e.editor->getVelocityField(), QStringLiteral("50"));
        QCOMPARE(e.transform->getByte1(), BYTE(50));
        QCOMPARE(OnePatchRig::play({0x90, 60, 40}), Sent());
        QCOMPARE(OnePatchRig::play({0x90, 61, 60}), Sent({{0x90, 61, 60}}));
        choose(e.editor->getDirectionCombo(), 1);
        QCOMPARE(e.transform->getByte2(), BYTE(1));
        QCOMPARE(OnePatchRig::play({0x90, 62, 60}), Sent());
        e.transform->setByte1(90);
        e.transform->setByte2(0);
        QCOMPARE(e.editor->getVelocityField()->text(), QStringLiteral("90"));
        QCOMPARE(e.editor->getDirectionCombo()->currentIndex(), 0);
    }

    void velocityVariationOfOneChangesNothingAndFollows()
    {
        Edited<VelocityVariationEditorWidget> e("Velocity Variation");
        typeInto(e.editor->getAmountField(), QStringLiteral("1"));
        choose(e.editor->getTypeCombo(), 1);
        QCOMPARE(e.transform->getByte1(), BYTE(1));
        QCOMPARE(e.transform->getByte2(), BYTE(1));
        QCOMPARE(OnePatchRig::play({0x90, 60, 77}), Sent({{0x90, 60, 77}}));
        e.transform->setByte1(20);
        QCOMPARE(e.editor->getAmountField()->text(), QStringLiteral("20"));
    }

    void changeCCRenumbersTheController()
    {
        Edited<CCNumberChangerEditorWidget> e("Change CC#");
        choose(e.editor->getFirstCombo(), 1);
        choose(e.editor->getSecondCombo(), 7);
        QCOMPARE(e.transform->getByte2(), BYTE(7));
        QCOMPARE(OnePatchRig::play({0xB0, 1, 90}), Sent({{0xB0, 7, 90}}));
    }

    void ccCopyAddsTheCopy()
    {
        Edited<CCCopyEditorWidget> e("CC Copy");
        choose(e.editor->getFirstCombo(), 1);
        choose(e.editor->getSecondCombo(), 11);
        QCOMPARE(OnePatchRig::play({0xB2, 1, 50}), Sent({{0xB0, 11, 50}, {0xB0, 1, 50}}));
    }

    void ignoreCCDropsTheChosenController()
    {
        Edited<IgnoreCCEditorWidget> e("Ignore CC");
        choose(e.editor->getControllerCombo(), 7);
        QCOMPARE(OnePatchRig::play({0xB0, 7, 90}), Sent());
        QCOMPARE(OnePatchRig::play({0xB0, 8, 90}), Sent({{0xB0, 8, 90}}));
    }

    void pitchChangeToCCUsesTheChosenController()
    {
        Edited<PitchChangeToCCEditorWidget> e("Pitch Change To CC");
        choose(e.editor->getControllerCombo(), 1);
        QCOMPARE(OnePatchRig::play({0xE0, 0x00, 0x40}), Sent({{0xB0, 1, 64}, {0xE0, 0x00, 0x40}}));
    }

    void aftertouchToCCUsesTheChosenController()
    {
        Edited<ChannelAftertouchToCCEditorWidget> e("Channel Aftertouch To CC");
        choose(e.editor->getControllerCombo(), 1);
        QCOMPARE(OnePatchRig::play({0xD0, 100}), Sent({{0xB0, 1, 100}, {0xD0, 100}}));
    }

    void controllerChoosersIgnoreTheWheel()
    {
        Edited<IgnoreCCEditorWidget> e("Ignore CC");
        const int before = e.editor->getControllerCombo()->currentIndex();
        QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(e.editor->getControllerCombo(), &wheel);
        QCOMPARE(e.editor->getControllerCombo()->currentIndex(), before);
        QVERIFY(qobject_cast<NoWheelComboBox*>(e.editor->getControllerCombo()));
    }

    void clickingAKeyFiltersItsNoteOut()
    {
        Edited<NoteFilterEditorWidget> e("Note Filter");
        auto* filter = qobject_cast<NoteFilter*>(e.transform);
        KeyWidget* key = e.editor->getKeyWidgetForNote(60);
        const QPoint centre = key->geometry().center() + QPoint(0, 10);
        QTest::mousePress(e.editor, Qt::LeftButton, Qt::NoModifier, centre);
        QTest::mouseRelease(e.editor, Qt::LeftButton, Qt::NoModifier, centre);
        QVERIFY(filter->isNoteBeingFilteredOut(60));
        QVERIFY(e.editor->getKeyWidgetForNote(60)->isShownAsDisabled());
        QCOMPARE(OnePatchRig::play({0x90, 60, 100}), Sent());
        QCOMPARE(OnePatchRig::play({0x90, 62, 100}), Sent({{0x90, 62, 100}}));
        filter->acceptNote(60);
        QVERIFY(!e.editor->getKeyWidgetForNote(60)->isShownAsDisabled());
    }

    void fastDragAcrossKeysTogglesEachOnce()
    {
        Edited<NoteFilterEditorWidget> e("Note Filter");
        auto* filter = qobject_cast<NoteFilter*>(e.transform);
        // Naturals only, low on the keys: 40 (E) to 45 (A) passes 41, 43 and the black keys between.
        const QPoint from = e.editor->getKeyWidgetForNote(40)->geometry().center() + QPoint(0, 25);
        const QPoint to = e.editor->getKeyWidgetForNote(45)->geometry().center() + QPoint(0, 25);
        QTest::mousePress(e.editor, Qt::LeftButton, Qt::NoModifier, from);
        QMouseEvent move(QEvent::MouseMove, QPointF(to), QPointF(e.editor->mapToGlobal(to)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(e.editor, &move);
        QTest::mouseRelease(e.editor, Qt::LeftButton, Qt::NoModifier, to);
        for (int note = 40; note <= 45; ++note)
            QVERIFY2(filter->isNoteBeingFilteredOut(BYTE(note)), qPrintable(QString::number(note)));
        QVERIFY(!filter->isNoteBeingFilteredOut(39));
        QVERIFY(!filter->isNoteBeingFilteredOut(46));
    }

    void keyMenuDisablesTheNotesBelow()
    {
        Edited<NoteFilterEditorWidget> e("Note Filter");
        auto* filter = qobject_cast<NoteFilter*>(e.transform);
        const QPoint onKey = e.editor->getKeyWidgetForNote(60)->geometry().center() + QPoint(0, 25);
        QStringList texts;
        QTimer::singleShot(50, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QVERIFY(menu);
            for (QAction* action : menu->actions()) {
                if (!action->isSeparator())
                    texts << action->text();
            }
            menu->actions().at(3)->trigger();
            menu->close();
        });
        QContextMenuEvent event(QContextMenuEvent::Mouse, onKey, e.editor->mapToGlobal(onKey));
        QApplication::sendEvent(e.editor, &event);
        const QString name = QString::fromLatin1(getMIDINoteName(60));
        QCOMPARE(texts, QStringList({"Enable All Notes", "Disable All Notes", "Disable Notes Below " + name,
                                     "Disable Notes Above " + name}));
        QVERIFY(filter->isNoteBeingFilteredOut(0));
        QVERIFY(filter->isNoteBeingFilteredOut(59));
        QVERIFY(!filter->isNoteBeingFilteredOut(60));
    }

    void inspectorLogsWhatPassesAndKeepsTheLastThousandLines()
    {
        Edited<MessageInspectorWidget> e("Inspector");
        OnePatchRig::play({0x90, 60, 100});
        QTRY_VERIFY(e.editor->getLog()->toPlainText().contains(QStringLiteral("Note On")));
        for (int i = 0; i < 1100; ++i)
            QMetaObject::invokeMethod(e.transform, "mostRecentMessageDescriptionsChangedTo",
                                      Q_ARG(QString, QStringLiteral("line %1").arg(i)));
        QMetaObject::invokeMethod(e.transform, "mostRecentMessageDescriptionsChangedTo",
                                  Q_ARG(QString, QString()));
        QTextDocument* log = e.editor->getLog()->document();
        QCOMPARE(log->blockCount(), MessageInspectorWidget::kMaxLogLines);
        QCOMPARE(log->lastBlock().text(), QStringLiteral("line 1099"));
        QCOMPARE(log->firstBlock().text(), QStringLiteral("line 100"));
        QVERIFY(e.editor->getLog()->isReadOnly());
    }

    void typesWithoutParametersSayThereIsNothingToEdit()
    {
        const QStringList plain{"Make Monophonic",     "Ignore All Notes",    "Ignore All Controllers",
                                "Invert Pitch Change", "Ignore Pitch Change", "Ignore Channel Aftertouch"};
        for (const QString& type : plain) {
            std::unique_ptr<MIDIDataTransform> transform(createMIDIDataTransformOfType(type, nullptr));
            QWidget parent;
            auto* label = qobject_cast<QLabel*>(createEditorForTransform(transform.get(), &parent));
            QVERIFY2(label, qPrintable(type));
            QCOMPARE(label->text(), QStringLiteral("(nothing to edit)"));
        }
    }
};

QTEST_MAIN(TransformEditorWidgetsTest)
#include "tst_TransformEditorWidgets.moc"
