#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "model/routing/MIDIRoutingSetupManager.h"
#include "persistence/AppPrefs.h"
#include "support/FakeMIDIBackend.h"
#include "support/HangingNotesChecker.h"
#include "support/RoutingTestRig.h"
#include "support/TestPrefs.h"
#include "widgets/AllNotesKeyboardWidget.h"
#include "widgets/CurrentRouteKeyboardWidget.h"
#include "widgets/KeyWidget.h"
#include "widgets/KeyboardScrollArea.h"
#include "widgets/MIDICCSlider.h"
#include "widgets/PitchBendSlider.h"

#include <QApplication>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <memory>

using Sent = QList<midiMessage_t>;

namespace {

const QString kKeys = QStringLiteral("Keys");
const QString kSynthA = QStringLiteral("SynthA");
const QString kSynthB = QStringLiteral("SynthB");
const QString kSynthC = QStringLiteral("SynthC");

// A current setup with two inputs: "Lead" on Keys (outputs A on SynthA, keyswitch 36, and B on
// SynthB, keyswitch 38) and "Bass" on Pads (one output on SynthC). Lead is active.
struct StageSetup
{
    MIDIRoutingSetup* setup = nullptr;
    MIDIRoute* lead = nullptr;
    MIDIRoute* bass = nullptr;
    MIDIOutput* a = nullptr;
    MIDIOutput* b = nullptr;

    StageSetup()
    {
        setup = new MIDIRoutingSetup(QStringLiteral("Stage"), nullptr);
        lead = new MIDIRoute(kKeys, MIDIRoute::kAnyChannel, QStringLiteral("Lead"), nullptr);
        setup->addMIDIRoute(lead);
        a = lead->createNewMIDIOutput(false);
        b = lead->createNewMIDIOutput(false);
        a->setName(QStringLiteral("Strings"));
        b->setName(QStringLiteral("Brass"));
        a->getMIDIPatchTargetAtIndex(0)->setMIDIOutputPortName(kSynthA);
        a->getMIDIPatchTargetAtIndex(0)->setMIDIChannel(0);
        b->getMIDIPatchTargetAtIndex(0)->setMIDIOutputPortName(kSynthB);
        b->getMIDIPatchTargetAtIndex(0)->setMIDIChannel(0);
        a->setMainActivationValue(36);
        b->setMainActivationValue(38);
        a->setActive(true);
        bass = new MIDIRoute(QStringLiteral("Pads"), MIDIRoute::kAnyChannel, QStringLiteral("Bass"), nullptr);
        setup->addMIDIRoute(bass);
        MIDIOutput* c = bass->createNewMIDIOutput(false);
        c->getMIDIPatchTargetAtIndex(0)->setMIDIOutputPortName(kSynthC);
        c->getMIDIPatchTargetAtIndex(0)->setMIDIChannel(0);
        c->setActive(true);
        setup->setActiveRoute(lead);
        MIDIRoutingSetupManager::GetInstance()->setCurrentRoutingSetup(setup, true);
        RoutingTestRig::clearSent();
    }
    ~StageSetup() { MIDIRoutingSetupManager::GetInstance()->clearCurrentRoutingSetup(true); }
};

// A keyboard in a window of its own, shown, scrolled to the start.
struct ShownKeyboard
{
    std::unique_ptr<CurrentRouteKeyboardWidget> widget;
    AllNotesKeyboardWidget* keys = nullptr;

    ShownKeyboard()
    {
        widget = std::make_unique<CurrentRouteKeyboardWidget>(nullptr);
        widget->resize(900, widget->height());
        widget->show();
        QVERIFY(QTest::qWaitForWindowExposed(widget.get()));
        widget->setHorizontalScrollAmount(0);
        keys = widget->getKeyboard();
    }

    // A point on a key, in keyboard coordinates, at the given row from the top of the key.
    QPoint on(int note, int row) const
    {
        const KeyWidget* key = keys->getKeyWidgetForNote(note);
        return key->geometry().topLeft() + QPoint(key->width() / 2, row);
    }
};

midiMessage_t bend(int value)
{
    return {0xE0, midiMessage_t::value_type(value & 0x7F), midiMessage_t::value_type(value >> 7)};
}

} // namespace

class OnScreenKeyboardTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        useTemporaryPrefs();
        RoutingTestRig::install();
    }

    void keyboardHas128KeysIn1126By80()
    {
        AllNotesKeyboardWidget keyboard(nullptr);
        QCOMPARE(keyboard.size(), QSize(1126, 80));
        QCOMPARE(keyboard.getKeyWidgetForNote(0)->geometry(), QRect(0, 0, 15, 80));
        QCOMPARE(keyboard.getKeyWidgetForNote(1)->geometry(), QRect(10, 0, 11, 45));
        QCOMPARE(keyboard.getKeyWidgetForNote(127)->geometry(), QRect(1110, 0, 15, 80));
        QCOMPARE(keyboard.getKeyWidgetForNote(128), nullptr);
        QCOMPARE(keyboard.getKeyWidgetForNote(-1), nullptr);
        QCOMPARE(keyboard.getKeyWidgetForNote(60)->text(), QStringLiteral("C4"));
        QCOMPARE(keyboard.getKeyWidgetForNote(61)->text(), QString());
        QCOMPARE(keyboard.getKeyWidgetForNote(61)->toolTip(), QStringLiteral("C#4"));
        QCOMPARE(keyboard.getKeyWidgetForNote(62)->text(), QString());

        setStringPrefValue(QStringLiteral("MiddleCName"), QStringLiteral("C3"));
        QCOMPARE(keyboard.getKeyWidgetForNote(60)->text(), QStringLiteral("C3"));
        setStringPrefValue(QStringLiteral("MiddleCName"), QStringLiteral("C4"));
        QCOMPARE(keyboard.getKeyWidgetForNote(60)->text(), QStringLiteral("C4"));
    }

    void clickHeightGivesVelocityOneTo127()
    {
        AllNotesKeyboardWidget keyboard(nullptr);
        keyboard.show();
        QVERIFY(QTest::qWaitForWindowExposed(&keyboard));
        const KeyWidget* natural = keyboard.getKeyWidgetForNote(60);
        const KeyWidget* accidental = keyboard.getKeyWidgetForNote(61);
        auto at = [](const KeyWidget* key, int y) {
            return key->velocityForPressAt(key->mapToGlobal(QPoint(5, y)));
        };
        QCOMPARE(at(natural, 0), 1);
        QCOMPARE(at(accidental, 0), 2);
        QCOMPARE(at(natural, 79), 127);
        QCOMPARE(at(accidental, 44), 127);
        QCOMPARE(at(natural, 39), 63);
        // On the edge and beyond it (fractional positions round there) the velocity stays in range.
        QCOMPARE(at(natural, 80), 127);
        QCOMPARE(at(natural, 95), 127);
        QCOMPARE(at(natural, -4), 1);
    }

    void mousePressShowsTheKeyAtOnceWithoutAMark()
    {
        AllNotesKeyboardWidget keyboard(nullptr);
        keyboard.show();
        QVERIFY(QTest::qWaitForWindowExposed(&keyboard));
        QSignalSpy pressed(&keyboard, &AllNotesKeyboardWidget::notePressed);
        QSignalSpy released(&keyboard, &AllNotesKeyboardWidget::noteReleased);
        const QPoint onE4 = keyboard.getKeyWidgetForNote(64)->geometry().center();
        QTest::mousePress(&keyboard, Qt::LeftButton, Qt::NoModifier, onE4);
        QCOMPARE(pressed.count(), 1);
        QCOMPARE(pressed.at(0).at(0).toInt(), 64);
        KeyWidget* key = keyboard.getKeyWidgetForNote(64);
        QVERIFY(key->isShownAsPressed());
        QCOMPARE(key->getVelocityShown(), -1);
        QTest::mouseRelease(&keyboard, Qt::LeftButton, Qt::NoModifier, onE4);
        QCOMPARE(released.count(), 1);
        QVERIFY(!key->isShownAsPressed());

        keyboard.indicateMousePresses(false);
        QTest::mousePress(&keyboard, Qt::LeftButton, Qt::NoModifier, onE4);
        QVERIFY(!key->isShownAsPressed());
        QTest::mouseRelease(&keyboard, Qt::LeftButton, Qt::NoModifier, onE4);
    }

    void playedKeyIsHeardAndEchoedWithItsVelocity()
    {
        StageSetup stage;
        ShownKeyboard shown;
        QVERIFY(shown.widget->isEnabled());
        QTest::mousePress(shown.keys, Qt::LeftButton, Qt::NoModifier, shown.on(60, 79));
        QCOMPARE(RoutingTestRig::takeSent(kSynthA), Sent({{0x90, 60, 127}}));
        KeyWidget* key = shown.keys->getKeyWidgetForNote(60);
        QTRY_COMPARE(key->getVelocityShown(), 127);
        QTest::mouseRelease(shown.keys, Qt::LeftButton, Qt::NoModifier, shown.on(60, 79));
        QCOMPARE(RoutingTestRig::takeSent(kSynthA), Sent({{0x80, 60, 127}}));
        QTRY_VERIFY(!key->isShownAsPressed());

        QTest::mousePress(shown.keys, Qt::LeftButton, Qt::NoModifier, shown.on(62, 0));
        QTest::mouseRelease(shown.keys, Qt::LeftButton, Qt::NoModifier, shown.on(62, 0));
        QCOMPARE(RoutingTestRig::takeSent(kSynthA), Sent({{0x90, 62, 1}, {0x80, 62, 127}}));
    }

    void notesFromThePortLightTheirKeys()
    {
        StageSetup stage;
        ShownKeyboard shown;
        RoutingTestRig::play(kKeys, {0x90, 64, 90});
        KeyWidget* key = shown.keys->getKeyWidgetForNote(64);
        QTRY_VERIFY(key->isShownAsPressed());
        QCOMPARE(key->getVelocityShown(), 90);
        RoutingTestRig::play(kKeys, {0xB0, 1, 77});
        QTRY_COMPARE(shown.widget->getModulationSlider()->value(), 77);
        RoutingTestRig::play(kKeys, {0xE0, 0x00, 0x60});
        QTRY_COMPARE(shown.widget->getPitchBendSlider()->value(), 12288);
        RoutingTestRig::play(kKeys, {0x80, 64, 0});
        QTRY_VERIFY(!key->isShownAsPressed());
        RoutingTestRig::play(kKeys, {0xE0, 0x00, 0x40});
        QTRY_COMPARE(shown.widget->getPitchBendSlider()->value(), 8192);
    }

    void switchingInputsShowsWhatSoundsThere()
    {
        StageSetup stage;
        ShownKeyboard shown;
        RoutingTestRig::play(QStringLiteral("Pads"), {0x90, 50, 70});
        stage.setup->setActiveRoute(stage.bass);
        QCOMPARE(shown.widget->getShownRoute(), stage.bass);
        QVERIFY(shown.keys->getKeyWidgetForNote(50)->isShownAsPressed());
        QCOMPARE(shown.keys->getKeyWidgetForNote(50)->getVelocityShown(), 70);
        // Bass switches by keyswitch too, but its one output sits on note 0.
        QVERIFY(!shown.keys->getKeyWidgetForNote(36)->isShownAsKeyswitch());
        stage.setup->setActiveRoute(stage.lead);
        QVERIFY(!shown.keys->getKeyWidgetForNote(50)->isShownAsPressed());
        QVERIFY(shown.keys->getKeyWidgetForNote(36)->isShownAsKeyswitch());
        RoutingTestRig::play(QStringLiteral("Pads"), {0x80, 50, 0});
    }

    void inputsNoLongerCurrentLightNoKeysAndMoveNoSliders()
    {
        StageSetup stage;
        ShownKeyboard shown;
        // Lead was current twice before Bass became current.
        stage.setup->setActiveRoute(stage.bass);
        stage.setup->setActiveRoute(stage.lead);
        stage.setup->setActiveRoute(stage.bass);
        const int modulationBefore = shown.widget->getModulationSlider()->value();
        const int bendBefore = shown.widget->getPitchBendSlider()->value();
        RoutingTestRig::play(kKeys, {0x90, 64, 90});
        RoutingTestRig::play(kKeys, {0xB0, 1, 77});
        RoutingTestRig::play(kKeys, {0xE0, 0x00, 0x60});
        // A note on the current input, played after them, shows that they have all been handled.
        RoutingTestRig::play(QStringLiteral("Pads"), {0x90, 50, 70});
        QTRY_VERIFY(shown.keys->getKeyWidgetForNote(50)->isShownAsPressed());
        QTest::qWait(30);
        QVERIFY(!shown.keys->getKeyWidgetForNote(64)->isShownAsPressed());
        QCOMPARE(shown.widget->getModulationSlider()->value(), modulationBefore);
        QCOMPARE(shown.widget->getPitchBendSlider()->value(), bendBefore);
        RoutingTestRig::play(kKeys, {0x80, 64, 0});
        RoutingTestRig::play(kKeys, {0xE0, 0x00, 0x40});

        // And the other way round once Lead is current again.
        stage.setup->setActiveRoute(stage.lead);
        RoutingTestRig::play(QStringLiteral("Pads"), {0x90, 52, 70});
        RoutingTestRig::play(kKeys, {0x90, 65, 90});
        QTRY_VERIFY(shown.keys->getKeyWidgetForNote(65)->isShownAsPressed());
        QTest::qWait(30);
        QVERIFY(!shown.keys->getKeyWidgetForNote(52)->isShownAsPressed());
        RoutingTestRig::play(kKeys, {0x80, 65, 0});
        QTRY_VERIFY(!shown.keys->getKeyWidgetForNote(65)->isShownAsPressed());
        RoutingTestRig::play(QStringLiteral("Pads"), {0x80, 50, 0});
        RoutingTestRig::play(QStringLiteral("Pads"), {0x80, 52, 0});
    }

    void keysPlayedWhileTheControllerPlaysMixCleanly()
    {
        StageSetup stage;
        ShownKeyboard shown;
        // The controller sends volume over and over on its own thread while keys are clicked.
        RoutingTestRig::backend()->startInjecting(RoutingTestRig::inputIndex(kKeys), {0xB0, 7, 99});
        // SynthA is the rig's first output port; the stream is under way once it hears something.
        QVERIFY(RoutingTestRig::backend()->waitForSentMessages(0, 1, 5000));
        for (int i = 0; i < 100; ++i) {
            const int note = 60 + i % 12;
            QTest::mousePress(shown.keys, Qt::LeftButton, Qt::NoModifier, shown.on(note, 79));
            QTest::mouseRelease(shown.keys, Qt::LeftButton, Qt::NoModifier, shown.on(note, 79));
        }
        QVERIFY(RoutingTestRig::backend()->stopInjecting() > 0);
        const Sent sent = RoutingTestRig::takeSent(kSynthA);
        int notes = 0;
        for (const midiMessage_t& message : sent) {
            if (message == midiMessage_t{0xB0, 7, 99})
                continue;
            // Every other message is one of ours, whole.
            QCOMPARE(message.size(), size_t(3));
            QVERIFY(message[0] == 0x90 || message[0] == 0x80);
            QVERIFY(message[1] >= 60 && message[1] < 72);
            ++notes;
        }
        QCOMPARE(notes, 200);
        HangingNotesChecker checker;
        for (const midiMessage_t& message : sent)
            checker.heard(kSynthA, message);
        QCOMPARE(checker.noteOnsHeard(), 100);
        QCOMPARE(checker.hanging(), QString());
    }

    void keyswitchKeysNameTheLaterOutput()
    {
        StageSetup stage;
        ShownKeyboard shown;
        KeyWidget* strings = shown.keys->getKeyWidgetForNote(36);
        QVERIFY(strings->isShownAsKeyswitch());
        QCOMPARE(strings->getKeyswitchText(), QStringLiteral("Strings"));
        QCOMPARE(strings->toolTip(), QStringLiteral("C2: Strings"));
        stage.b->setMainActivationValue(36);
        QCOMPARE(strings->getKeyswitchText(), QStringLiteral("Brass"));
        QVERIFY(!shown.keys->getKeyWidgetForNote(38)->isShownAsKeyswitch());
        stage.b->setName(QStringLiteral("Horns"));
        QCOMPARE(strings->getKeyswitchText(), QStringLiteral("Horns"));
        stage.lead->setOutputActivationMethod(MIDIRoute::kProgramChangeActivation);
        QVERIFY(!strings->isShownAsKeyswitch());
    }

    void withoutAnActiveInputNothingIsPlayed()
    {
        MIDIRoutingSetupManager::GetInstance()->clearCurrentRoutingSetup(true);
        ShownKeyboard shown;
        QVERIFY(!shown.widget->isEnabled());
        QCOMPARE(shown.widget->getPitchBendSlider()->value(), 8192);
        QTest::mousePress(shown.keys, Qt::LeftButton, Qt::NoModifier, shown.on(60, 40));
        QTest::mouseRelease(shown.keys, Qt::LeftButton, Qt::NoModifier, shown.on(60, 40));
        QVERIFY(RoutingTestRig::takeSent(kSynthA).isEmpty());

        StageSetup stage;
        QVERIFY(shown.widget->isEnabled());
        stage.setup->setActiveRoute(nullptr);
        QVERIFY(!shown.widget->isEnabled());
    }

    void glidingPlaysEachKeyInTurn()
    {
        StageSetup stage;
        ShownKeyboard shown;
        QTest::mousePress(shown.keys, Qt::LeftButton, Qt::NoModifier, shown.on(60, 79));
        QTest::mouseMove(shown.keys, shown.on(62, 79));
        QTest::mouseMove(shown.keys, shown.on(62, 70));
        QTest::mouseRelease(shown.keys, Qt::LeftButton, Qt::NoModifier, shown.on(62, 79));
        QCOMPARE(RoutingTestRig::takeSent(kSynthA),
                 Sent({{0x90, 60, 127}, {0x80, 60, 127}, {0x90, 62, 127}, {0x80, 62, 127}}));
    }

    void heldKeyEndsWhenThePointerLeavesTheKeys()
    {
        StageSetup stage;
        ShownKeyboard shown;
        QTest::mousePress(shown.keys, Qt::LeftButton, Qt::NoModifier, shown.on(60, 79));
        // Over the modulation slider, left of the keyboard, with the button still down.
        QTest::mouseMove(shown.keys, QPoint(-20, 40));
        QCOMPARE(RoutingTestRig::takeSent(kSynthA), Sent({{0x90, 60, 127}, {0x80, 60, 127}}));
        QTest::mouseRelease(shown.keys, Qt::LeftButton, Qt::NoModifier, QPoint(-20, 40));
        QVERIFY(RoutingTestRig::takeSent(kSynthA).isEmpty());
    }

    void heldKeyEndsWhenTheWindowLosesFocus()
    {
        StageSetup stage;
        ShownKeyboard shown;
        QApplication::setActiveWindow(shown.widget.get());
        QTRY_VERIFY(shown.widget->isActiveWindow());
        QTest::mousePress(shown.keys, Qt::LeftButton, Qt::NoModifier, shown.on(60, 79));
        QWidget other;
        other.show();
        QVERIFY(QTest::qWaitForWindowExposed(&other));
        QApplication::setActiveWindow(&other);
        QTRY_COMPARE(shown.keys->getMousePressedKey(), nullptr);
        QCOMPARE(RoutingTestRig::takeSent(kSynthA), Sent({{0x90, 60, 127}, {0x80, 60, 127}}));
    }

    void heldKeyEndsWhenTheKeyboardIsHidden()
    {
        StageSetup stage;
        ShownKeyboard shown;
        QTest::mousePress(shown.keys, Qt::LeftButton, Qt::NoModifier, shown.on(60, 79));
        shown.widget->hide();
        QCOMPARE(RoutingTestRig::takeSent(kSynthA), Sent({{0x90, 60, 127}, {0x80, 60, 127}}));
    }

    void heldKeyEndsOnItsInputWhenTheActiveInputChanges()
    {
        StageSetup stage;
        ShownKeyboard shown;
        QTest::mousePress(shown.keys, Qt::LeftButton, Qt::NoModifier, shown.on(60, 79));
        stage.setup->setActiveRoute(stage.bass);
        QCOMPARE(RoutingTestRig::takeSent(kSynthA), Sent({{0x90, 60, 127}, {0x80, 60, 127}}));
        QTest::mouseRelease(shown.keys, Qt::LeftButton, Qt::NoModifier, shown.on(60, 79));
        QVERIFY(RoutingTestRig::takeSent(kSynthC).isEmpty());
    }

    void heldKeyEndsWhenTheKeyboardGoes()
    {
        StageSetup stage;
        ShownKeyboard shown;
        QTest::mousePress(shown.keys, Qt::LeftButton, Qt::NoModifier, shown.on(60, 79));
        shown.widget.reset();
        QCOMPARE(RoutingTestRig::takeSent(kSynthA), Sent({{0x90, 60, 127}, {0x80, 60, 127}}));
    }

    void releasedWheelStepsBackToTheCentre()
    {
        StageSetup stage;
        ShownKeyboard shown;
        PitchBendSlider* wheel = shown.widget->getPitchBendSlider();
        wheel->setSliderDown(true);
        wheel->setSliderPosition(12000);
        wheel->setSliderDown(false);
        QCOMPARE(RoutingTestRig::takeSent(kSynthA), Sent({bend(12000)}));
        QTRY_VERIFY(!wheel->isReturning());
        QCOMPARE(RoutingTestRig::takeSent(kSynthA), Sent({bend(11000), bend(10000), bend(9000), bend(8192)}));
        QTRY_COMPARE(wheel->value(), 8192);

        // Let go exactly at the centre: nothing more is sent.
        wheel->setSliderDown(true);
        wheel->setSliderPosition(8192 - 1);
        wheel->setSliderPosition(8192);
        wheel->setSliderDown(false);
        QVERIFY(!wheel->isReturning());
        QTest::qWait(60);
        QCOMPARE(RoutingTestRig::takeSent(kSynthA), Sent({bend(8191), bend(8192)}));
    }

    void wheelMovedByKeysIsSentAndReturns()
    {
        StageSetup stage;
        ShownKeyboard shown;
        PitchBendSlider* wheel = shown.widget->getPitchBendSlider();
        wheel->setFocus();
        QTest::keyClick(wheel, Qt::Key_PageDown);
        const Sent first = RoutingTestRig::takeSent(kSynthA);
        QCOMPARE(first.size(), 1);
        QVERIFY(first.at(0) != bend(8192));
        QTRY_VERIFY(!wheel->isReturning());
        const Sent rest = RoutingTestRig::takeSent(kSynthA);
        QVERIFY(!rest.isEmpty());
        QCOMPARE(rest.last(), bend(8192));
        QTRY_COMPARE(wheel->value(), 8192);
    }

    void wheelTurnedWithTheMouseWheelIsSentAndReturns()
    {
        StageSetup stage;
        ShownKeyboard shown;
        PitchBendSlider* wheel = shown.widget->getPitchBendSlider();
        const QPoint centre = wheel->rect().center();
        QWheelEvent turn(centre, wheel->mapToGlobal(centre), QPoint(), QPoint(0, 120), Qt::NoButton,
                         Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(wheel, &turn);
        QTRY_VERIFY(!wheel->isReturning());
        const Sent sent = RoutingTestRig::takeSent(kSynthA);
        QVERIFY(sent.size() >= 2);
        QVERIFY(sent.first() != bend(8192));
        QCOMPARE(sent.last(), bend(8192));
        QTRY_COMPARE(wheel->value(), 8192);
    }

    void clickInTheWheelsGrooveIsSentAndReturns()
    {
        StageSetup stage;
        ShownKeyboard shown;
        PitchBendSlider* wheel = shown.widget->getPitchBendSlider();
        const QPoint nearBottom(wheel->width() / 2, wheel->height() - 3);
        QTest::mousePress(wheel, Qt::LeftButton, Qt::NoModifier, nearBottom);
        QTest::mouseRelease(wheel, Qt::LeftButton, Qt::NoModifier, nearBottom);
        QTRY_VERIFY(!wheel->isReturning());
        const Sent sent = RoutingTestRig::takeSent(kSynthA);
        QVERIFY(sent.size() >= 2);
        QVERIFY(sent.first() != bend(8192));
        QCOMPARE(sent.last(), bend(8192));
        QTRY_COMPARE(wheel->value(), 8192);
    }

    void velocityMarksFollowThePreference()
    {
        AllNotesKeyboardWidget keyboard(nullptr);
        QVERIFY(keyboard.isShowingNoteVelocities());
        setBoolPrefValue(QStringLiteral("KeyboardShowNoteVelocities"), false);
        QVERIFY(!keyboard.isShowingNoteVelocities());
        AllNotesKeyboardWidget later(nullptr);
        QVERIFY(!later.isShowingNoteVelocities());
        setBoolPrefValue(QStringLiteral("KeyboardShowNoteVelocities"), true);
        QVERIFY(keyboard.isShowingNoteVelocities());
    }

    void heldWheelReturnsWhenTheWindowCloses()
    {
        StageSetup stage;
        ShownKeyboard shown;
        PitchBendSlider* wheel = shown.widget->getPitchBendSlider();
        wheel->setSliderDown(true);
        wheel->setSliderPosition(3000);
        // Switched to Brass by a keyswitch from the port while bent: Strings, left bent, follows the
        // wheel until it is back at the centre.
        RoutingTestRig::play(kKeys, {0x90, 38, 100});
        QCOMPARE(stage.lead->getActiveMIDIOutput(), stage.b);
        wheel->setSliderPosition(2000);
        shown.widget->close();
        QCOMPARE(RoutingTestRig::takeSent(kSynthA), Sent({bend(3000), bend(2000), bend(8192)}));
        QCOMPARE(RoutingTestRig::takeSent(kSynthB), Sent({bend(2000), bend(8192)}));
        QTest::qWait(60);
        QVERIFY(RoutingTestRig::takeSent(kSynthA).isEmpty());
        QVERIFY(RoutingTestRig::takeSent(kSynthB).isEmpty());
    }

    void modulationSliderSendsControllerOne()
    {
        StageSetup stage;
        ShownKeyboard shown;
        MIDICCSlider* modulation = shown.widget->getModulationSlider();
        QCOMPARE(modulation->getCCNum(), BYTE(1));
        modulation->setSliderDown(true);
        modulation->setSliderPosition(64);
        modulation->setSliderDown(false);
        QTest::qWait(60);
        QCOMPARE(RoutingTestRig::takeSent(kSynthA), Sent({{0xB0, 1, 64}}));
        QCOMPARE(modulation->value(), 64);
        modulation->setValueFromControlMessage(7, 100);
        QCOMPARE(modulation->value(), 64);
    }

    void wheelNotchScrollsTheKeyboard15Pixels()
    {
        StageSetup stage;
        ShownKeyboard shown;
        shown.widget->setHorizontalScrollAmount(200);
        QCOMPARE(shown.widget->getHorizontalScrollAmount(), 200);
        KeyboardScrollArea* area = shown.widget->getScrollArea();
        const QPoint where = area->viewport()->rect().center();
        QWheelEvent down(where, area->viewport()->mapToGlobal(where), QPoint(), QPoint(0, -120), Qt::NoButton,
                         Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(area->viewport(), &down);
        QCOMPARE(shown.widget->getHorizontalScrollAmount(), 215);
        QWheelEvent up(where, area->viewport()->mapToGlobal(where), QPoint(), QPoint(0, 120), Qt::NoButton,
                       Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(area->viewport(), &up);
        QCoreApplication::sendEvent(area->viewport(), &up);
        QCOMPARE(shown.widget->getHorizontalScrollAmount(), 185);
    }
};

QTEST_MAIN(OnScreenKeyboardTest)
#include "tst_OnScreenKeyboard.moc"
