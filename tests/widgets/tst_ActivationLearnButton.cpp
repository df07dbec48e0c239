// The output panel's "Learn" button as a player uses it: click, press the key (or send the program,
// sweep the controller), and the panel shows the new value; Escape or a second click cancels, and
// a change of the input lets go of the learn and shows the values again.
#include "app/StatusManager.h"
#include "model/routing/ActivationLearn.h"
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "support/FakeMIDIBackend.h"
#include "support/RoutingTestRig.h"
#include "support/TestPrefs.h"
#include "widgets/ActivationLearnButton.h"
#include "widgets/MIDIOutputWidget.h"
#include "widgets/NoWheelComboBox.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <memory>

namespace {
const QString kKeys = QStringLiteral("Keys");
} // namespace

class ActivationLearnButtonTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<MIDIRoutingSetup> _setup;
    MIDIRoute* _route = nullptr;
    MIDIOutput* _first = nullptr;
    MIDIOutput* _second = nullptr;
    std::unique_ptr<MIDIOutputWidget> _panel;

    ActivationLearnButton* button() const { return _panel->getLearnButton(); }
    void play(const midiMessage_t& message) const
    {
        // From the port's own thread, as a keyboard plays.
        RoutingTestRig::backend()->injectInputMessagesFromOwnThread(RoutingTestRig::inputIndex(kKeys),
                                                                    {message});
    }

private slots:
    void initTestCase()
    {
        useTemporaryPrefs();
        RoutingTestRig::install();
        qRegisterMetaType<MIDIOutput*>();
    }

    void init()
    {
        _setup = std::make_unique<MIDIRoutingSetup>(QStringLiteral("Set"), nullptr);
        _route = new MIDIRoute(kKeys, MIDIRoute::kAnyChannel, QStringLiteral("In"), nullptr);
        _setup->addMIDIRoute(_route);
        _first = _route->createNewMIDIOutput(false);
        _second = _route->createNewMIDIOutput(false);
        _first->setMainActivationValue(60);
        _second->setMainActivationValue(62);
        _first->setActive(true);
        _route->getActivationLearn()->setTimesForTesting(10000, 60);
        _panel = std::make_unique<MIDIOutputWidget>(_second, nullptr);
        _panel->show();
        QVERIFY(QTest::qWaitForWindowExposed(_panel.get()));
    }

    void cleanup()
    {
        _panel.reset();
        _setup.reset();
    }

    void pressedKeyShowsInTheValueBox()
    {
        QSignalSpy status(StatusManager::GetInstance(),
                          qOverload<QString, int>(&StatusManager::statusMessagePosted));
        QTest::mouseClick(button(), Qt::LeftButton);
        QVERIFY(button()->isListening());
        QVERIFY(button()->isChecked());
        QCOMPARE(button()->text(), QStringLiteral("Cancel"));
        QVERIFY(_panel->getLearnPromptLabel()->isVisible());
        QCOMPARE(_panel->getLearnPromptLabel()->text(), QStringLiteral("Press a key…"));
        QCOMPARE(_panel->getLearnPromptLabel()->textFormat(), Qt::PlainText);
        QVERIFY(!_panel->getActivationValueCombo()->isVisible());
        play({0x90, 67, 100});
        QTRY_VERIFY(!button()->isListening());
        QCOMPARE(int(_second->getMainActivationValue()), 67);
        QCOMPARE(_panel->getActivationValueCombo()->currentIndex(), 67);
        QVERIFY(_panel->getActivationValueCombo()->isVisible());
        QVERIFY(!_panel->getLearnPromptLabel()->isVisible());
        QVERIFY(!button()->isChecked());
        QCOMPARE(button()->text(), QStringLiteral("Learn"));
        // The learnt key switched nothing.
        QCOMPARE(_route->getActiveMIDIOutput(), _first);
        QVERIFY(!status.isEmpty());
        QVERIFY(status.last().at(0).toString().startsWith(QStringLiteral("Learnt")));
    }

    void sweepShowsAsTheRange()
    {
        _route->setOutputActivationMethod(MIDIRoute::kFirstControllerMethod + 64);
        _route->setOutputActivationSpecificity(MIDIRoute::kValueRange);
        QTest::mouseClick(button(), Qt::LeftButton);
        QCOMPARE(_panel->getLearnPromptLabel()->text(), QStringLiteral("Sweep CC 64…"));
        QVERIFY(!_panel->getActivationRangeCombo()->isVisible());
        play({0xB0, 64, 90});
        play({0xB0, 64, 30});
        QTRY_VERIFY(!button()->isListening());
        QCOMPARE(_panel->getActivationValueCombo()->currentIndex(), 30);
        QCOMPARE(_panel->getActivationRangeCombo()->currentIndex(), 90);
        QVERIFY(_panel->getActivationRangeCombo()->isVisible());
    }

    void escapeCancelsAndKeepsTheValue()
    {
        QSignalSpy cancelled(_route->getActivationLearn(), &ActivationLearn::learnCancelled);
        QTest::mouseClick(button(), Qt::LeftButton);
        QVERIFY(button()->isListening());
        // Another window (a dialog) keeps its own Escape.
        QWidget elsewhere;
        elsewhere.show();
        QTest::keyClick(&elsewhere, Qt::Key_Escape);
        QVERIFY(button()->isListening());
        // Escape reaches whichever control has the focus.
        QTest::keyClick(_panel->getActivationValueCombo(), Qt::Key_Escape);
        QCOMPARE(cancelled.count(), 1);
        QVERIFY(!button()->isListening());
        QVERIFY(_panel->getActivationValueCombo()->isVisible());
        play({0x90, 62, 100});
        // Not learning any more: B's keyswitch switches again.
        QTRY_COMPARE(_route->getActiveMIDIOutput(), _second);
        QCOMPARE(int(_second->getMainActivationValue()), 62);
    }

    void secondClickCancels()
    {
        _route->setOutputActivationMethod(MIDIRoute::kProgramChangeActivation);
        QTest::mouseClick(button(), Qt::LeftButton);
        QCOMPARE(_panel->getLearnPromptLabel()->text(), QStringLiteral("Send a program…"));
        QTest::mouseClick(button(), Qt::LeftButton);
        QVERIFY(!button()->isListening());
        QVERIFY(!_route->getActivationLearn()->isLearning());
        QVERIFY(!button()->isChecked());
    }

    void inputChangeLetsGo()
    {
        QTest::mouseClick(button(), Qt::LeftButton);
        QVERIFY(button()->isListening());
        _route->setOutputActivationSpecificity(MIDIRoute::kValueRange);
        QVERIFY(!button()->isListening());
        QVERIFY(_panel->getActivationRangeCombo()->isVisible());
        QVERIFY(!_panel->getLearnPromptLabel()->isVisible());
    }

    void learnOfAnotherOutputReleasesThisButton()
    {
        MIDIOutputWidget other(_first, nullptr);
        QTest::mouseClick(button(), Qt::LeftButton);
        QTest::mouseClick(other.getLearnButton(), Qt::LeftButton);
        QVERIFY(!button()->isListening());
        QVERIFY(other.getLearnButton()->isListening());
        QCOMPARE(_route->getActivationLearn()->getOutput(), _first);
    }

    void closedPanelEndsItsLearn()
    {
        QTest::mouseClick(button(), Qt::LeftButton);
        _panel.reset();
        QVERIFY(!_route->getActivationLearn()->isLearning());
        play({0x90, 62, 100});
        QTRY_COMPARE(_route->getActiveMIDIOutput(), _second);
    }
};

QTEST_MAIN(ActivationLearnButtonTest)
#include "tst_ActivationLearnButton.moc"
