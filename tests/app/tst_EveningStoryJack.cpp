// A player's whole evening with the window, driven by mouse and keyboard alone on the private
// JACK server: build a setup from nothing (an input on the stage keyboard, a piano and a strings
// sound switched by keyswitch, each with a patch on its own synth, a transpose on one and a
// program change on the other), save it, close it, reopen it from the recent-files menu, and
// play: each synth hears exactly its part, also across a switch made while a note and the
// sustain pedal are held.
#include "WindowTestSupport.h"
#include "app/MainWindow.h"
#include "editors/BuiltInTransformEditors.h"
#include "editors/InitializerEditors.h"
#include "editors/ProgChgInitializerEditorWidget.h"
#include "midi/RtMidiBackend.h"
#include "model/initializers/InitializerRegistry.h"
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "model/routing/MIDIRoutingSetupManager.h"
#include "model/transforms/BuiltInTransforms.h"
#include "support/JackServer.h"
#include "support/JackTestClient.h"
#include "widgets/CurrentRoutingSetupWidget.h"
#include "widgets/MIDIObjNameLabel.h"
#include "widgets/MIDIOutputStackWidget.h"
#include "widgets/MIDIOutputWidget.h"
#include "widgets/MIDIPatchTargetStackWidget.h"
#include "widgets/MIDIPatchTargetWidget.h"
#include "widgets/MIDIPortChannelSelector.h"
#include "widgets/MIDIRouteInputStackWidget.h"
#include "widgets/MIDIRouteInputWidget.h"
#include "widgets/MenuButton.h"
#include "widgets/NoWheelComboBox.h"
#include "widgets/PopupMenuDriver.h"

#include <QAbstractItemView>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace WindowTestSupport;
using PopupMenuDriver::choose;
using Bytes = midiMessage_t;

class EveningStoryJackTest : public QObject
{
    Q_OBJECT

    QTemporaryDir _dir;
    std::unique_ptr<JackTestClient> _stageKeys;
    std::unique_ptr<JackTestClient> _pianoSynth;
    std::unique_ptr<JackTestClient> _stringSynth;
    std::unique_ptr<MainWindow> _window;

    static MIDIRoutingSetup* current()
    {
        return MIDIRoutingSetupManager::GetInstance()->getCurrentRoutingSetup();
    }
    CurrentRoutingSetupWidget* view() const
    {
        return qobject_cast<CurrentRoutingSetupWidget*>(_window->centralWidget());
    }

    // Types into whatever has the keyboard focus and presses Return.
    static void typeAndReturn(const QString& text)
    {
        QWidget* focus = QApplication::focusWidget();
        QVERIFY(focus);
        QTest::keyClick(focus, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(focus, text);
        QTest::keyClick(focus, Qt::Key_Return);
    }

    // Picks an item of a combo box by its text: a click opens the list, typing finds the item.
    static void pickFrom(QComboBox* combo, const QString& text)
    {
        QTest::mouseClick(combo, Qt::LeftButton);
        QTRY_VERIFY(combo->view()->isVisible());
        QTest::keyClicks(combo->view(), text);
        QTest::keyClick(combo->view(), Qt::Key_Return);
        QTRY_VERIFY(!combo->view()->isVisible());
    }

    // Chooses a port and channel from a port button.
    static void pickPort(MIDIPortChannelSelector* selector, const QString& port, const QString& channel)
    {
        auto choice = choose({port, channel});
        QTest::mouseClick(selector, Qt::LeftButton);
        QTRY_VERIFY(choice->chosen);
    }

    // Renames an object by a double-click on its name.
    static void rename(QWidget* panel, const QString& name)
    {
        auto* label = panel->findChild<MIDIObjNameLabel*>();
        QTest::mouseDClick(label, Qt::LeftButton);
        QTRY_VERIFY(label->isEditing());
        typeAndReturn(name);
    }

    void openFileMenu()
    {
        QMenuBar* bar = _window->menuBar();
        for (QAction* action : bar->actions()) {
            if (PopupMenuDriver::plainText(action->text()) == QStringLiteral("File"))
                QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(action).center());
        }
    }

    // The player looks back at the main window after working in an editor window.
    void bringWindowForward()
    {
        _window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(_window.get()));
    }

    MIDIOutputWidget* outputPanel(int index) const
    {
        MIDIRoute* route = current()->getMIDIRouteAtIndex(0);
        return view()->getOutputStack()->getWidgetForOutput(route->getMIDIOutputAtIndex(index));
    }

    MIDIPatchTargetWidget* patchPanel(int outputIndex) const
    {
        MIDIOutputWidget* output = outputPanel(outputIndex);
        return output->getPatchStack()->getWidgetForPatch(
            output->getMIDIOutput()->getMIDIPatchTargetAtIndex(0));
    }

    static bool heardNoteOff(const JackTestClient& synth, BYTE note)
    {
        for (const auto& message : synth.receivedMessages()) {
            const Bytes& b = message.bytes;
            if (b.size() == 3 && b[1] == note &&
                ((b[0] & 0xF0) == 0x80 || ((b[0] & 0xF0) == 0x90 && b[2] == 0)))
                return true;
        }
        return false;
    }

    static bool heardNote(const JackTestClient& synth, BYTE note)
    {
        for (const auto& message : synth.receivedMessages()) {
            if (message.bytes.size() == 3 && (message.bytes[0] & 0xF0) == 0x90 && message.bytes[1] == note)
                return true;
        }
        return false;
    }

private slots:
    void initTestCase()
    {
        QUORVELL_REQUIRE_JACK_SERVER();
        QVERIFY(_dir.isValid());
        qputenv("XDG_CONFIG_HOME", _dir.filePath(QStringLiteral("config")).toUtf8());
        qputenv("XDG_DATA_HOME", _dir.filePath(QStringLiteral("data")).toUtf8());
        QCoreApplication::setOrganizationName(QStringLiteral("Dunmoor Software"));
        QCoreApplication::setApplicationName(QStringLiteral("Quorvell"));
        RtMidiBackend::setPreferredApi(QStringLiteral("jack"));
        // The devices of the evening, plugged in before the program lists its ports.
        _stageKeys =
            std::make_unique<JackTestClient>(QStringLiteral("EvKeys"), QStringLiteral("out"), QString());
        _pianoSynth =
            std::make_unique<JackTestClient>(QStringLiteral("EvPiano"), QString(), QStringLiteral("in"));
        _stringSynth =
            std::make_unique<JackTestClient>(QStringLiteral("EvStrings"), QString(), QStringLiteral("in"));
        QVERIFY2(_stageKeys->isValid(), qPrintable(_stageKeys->errorText()));
        QVERIFY2(_pianoSynth->isValid(), qPrintable(_pianoSynth->errorText()));
        QVERIFY2(_stringSynth->isValid(), qPrintable(_stringSynth->errorText()));
        registerBuiltInTransforms();
        registerBuiltInTransformEditors();
        registerBuiltInInitializers();
        installInitializerEditors();
    }

    void cleanupTestCase()
    {
        _window.reset();
        MIDIRoutingSetupManager::GetInstance()->clearCurrentRoutingSetup(true);
    }

    void aPlayersWholeEvening()
    {
        QUORVELL_REQUIRE_JACK_SERVER();
        const QString setupPath = _dir.filePath(QStringLiteral("Evening.ms"));
        const QString keysPort = _stageKeys->sourcePortName();
        const QString pianoPort = _pianoSynth->sinkPortName();
        const QString stringsPort = _stringSynth->sinkPortName();

        // The window opens with nothing in it.
        _window = std::make_unique<MainWindow>();
        _window->show();
        _window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(_window.get()));
        QVERIFY(!current());
        QVERIFY(view());

        // Ctrl+N: a new setup with one input, whose name is ready to be typed.
        QTest::keyClick(_window.get(), Qt::Key_N, Qt::ControlModifier);
        QTRY_VERIFY(current());
        QTRY_VERIFY(qobject_cast<QLineEdit*>(QApplication::focusWidget()));
        typeAndReturn(QStringLiteral("Stage Keys"));
        MIDIRoute* input = current()->getMIDIRouteAtIndex(0);
        QCOMPARE(input->getName(), QStringLiteral("Stage Keys"));
        QCOMPARE(view()->getOutputHeadingText(), QStringLiteral("Outputs: Stage Keys"));

        // The input listens to the stage keyboard on every channel.
        MIDIRouteInputWidget* inputPanel = view()->getInputStack()->getWidgetForRoute(input);
        pickPort(inputPanel->getPortChannelSelector(), keysPort, QStringLiteral("Any"));
        QCOMPARE(input->getMIDIInputPortName(), keysPort);
        QCOMPARE(input->getMIDIChannel(), MIDIRoute::kAnyChannel);

        // The first output: "Piano", keyswitch C1, a patch to the piano synth an octave up.
        rename(outputPanel(0), QStringLiteral("Piano"));
        pickFrom(outputPanel(0)->getActivationValueCombo(), QStringLiteral("C1"));
        QCOMPARE(input->getMIDIOutputAtIndex(0)->getMainActivationValue(), BYTE(24));
        pickPort(patchPanel(0)->getPortChannelSelector(), pianoPort, QStringLiteral("1"));
        auto transpose = choose({QStringLiteral("Note"), QStringLiteral("Transpose")});
        QTest::mousePress(patchPanel(0)->getAddTransformButton(), Qt::LeftButton);
        QTRY_VERIFY(transpose->chosen);
        MIDIPatchTarget* pianoPatch = input->getMIDIOutputAtIndex(0)->getMIDIPatchTargetAtIndex(0);
        QTRY_COMPARE(pianoPatch->getNumMIDIDataTransforms(), 1);
        QLineEdit* octaves = nullptr;
        QTRY_VERIFY((octaves = [] {
            for (QWidget* top : QApplication::topLevelWidgets()) {
                for (auto* field : top->findChildren<QLineEdit*>()) {
                    if (field->isVisible() && field->toolTip() == QStringLiteral("Octaves"))
                        return field;
                }
            }
            return static_cast<QLineEdit*>(nullptr);
        }()));
        QTest::keyClick(octaves, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(octaves, QStringLiteral("1"));
        QTest::keyClick(octaves, Qt::Key_Return);
        QTest::keyClick(octaves->window(), Qt::Key_Escape);

        // The second output: "Strings" on D1, a patch to the string synth that calls up program 5.
        QTest::mouseClick(view()->getAddOutputButton(), Qt::LeftButton);
        QTRY_COMPARE(input->getNumMIDIOutputs(), 2);
        QTRY_VERIFY(qobject_cast<QLineEdit*>(QApplication::focusWidget()));
        typeAndReturn(QStringLiteral("Strings"));
        QCOMPARE(input->getMIDIOutputAtIndex(1)->getName(), QStringLiteral("Strings"));
        pickFrom(outputPanel(1)->getActivationValueCombo(), QStringLiteral("D1"));
        QCOMPARE(input->getMIDIOutputAtIndex(1)->getMainActivationValue(), BYTE(26));
        pickPort(patchPanel(1)->getPortChannelSelector(), stringsPort, QStringLiteral("1"));
        auto programEditor = whenModalAppears<QDialog>([](QDialog* dialog) {
            auto* editor = dialog->findChild<ProgChgInitializerEditorWidget*>();
            if (editor) {
                QComboBox* programs = editor->getProgramCombo();
                QTest::mouseClick(programs, Qt::LeftButton);
                QTest::keyClicks(programs->view(), QStringLiteral("5"));
                QTest::keyClick(programs->view(), Qt::Key_Return);
            }
            QTest::mouseClick(dialog->findChild<QDialogButtonBox*>()->buttons().constFirst(), Qt::LeftButton);
        });
        auto programChange = choose({QStringLiteral("Program Change")});
        QTest::mousePress(patchPanel(1)->getAddInitializerButton(), Qt::LeftButton);
        QTRY_VERIFY(programChange->chosen);
        QTRY_VERIFY(programEditor->answered);
        MIDIPatchTarget* stringsPatch = input->getMIDIOutputAtIndex(1)->getMIDIPatchTargetAtIndex(0);
        QTRY_COMPARE(stringsPatch->getNumMIDIPatchInitializers(), 1);

        // Ctrl+S asks where to save; the name is typed.
        auto saveAs = whenModalAppears<QFileDialog>(
            [&](QFileDialog* dialog) {
                auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                if (!name) {
                    dialog->reject();
                    return;
                }
                // No completion list: it would take the Return meant for the dialog.
                name->setCompleter(nullptr);
                QTest::keyClick(name, Qt::Key_A, Qt::ControlModifier);
                QTest::keyClicks(name, setupPath);
                QTest::keyClick(name, Qt::Key_Return);
                QPointer<QFileDialog> open(dialog);
                if (open && open->isVisible()) {
                    // Return went elsewhere: the Save button, clicked.
                    for (auto* box : open->findChildren<QDialogButtonBox*>()) {
                        for (QAbstractButton* button : box->buttons()) {
                            if (box->buttonRole(button) == QDialogButtonBox::AcceptRole)
                                QTest::mouseClick(button, Qt::LeftButton);
                        }
                    }
                }
            },
            60000);
        bringWindowForward();
        QTest::keyClick(_window.get(), Qt::Key_S, Qt::ControlModifier);
        QTRY_VERIFY(saveAs->answered);
        QTRY_VERIFY(QFile::exists(setupPath));
        QTRY_VERIFY(!current()->isModified());

        // File > Close puts it away; File > Open Recent brings it back.
        bringWindowForward();
        auto close = choose({QStringLiteral("Close")});
        openFileMenu();
        QTRY_VERIFY(close->chosen);
        QTRY_VERIFY(!current());
        auto reopen = choose({QStringLiteral("Open Recent"), QStringLiteral("Evening.ms")});
        openFileMenu();
        QTRY_VERIFY(reopen->chosen);
        QTRY_VERIFY(current());
        QTRY_COMPARE(current()->getFilePath(), setupPath);
        input = current()->getMIDIRouteAtIndex(0);
        QCOMPARE(input->getNumMIDIOutputs(), 2);
        QCOMPARE(view()->getOutputHeadingText(), QStringLiteral("Outputs: Stage Keys"));
        QCOMPARE(input->getMIDIInputPortName(), keysPort);
        MIDIPatchTarget* piano = input->getMIDIOutputAtIndex(0)->getMIDIPatchTargetAtIndex(0);
        QCOMPARE(piano->getMIDIOutputPortName(), pianoPort);
        QCOMPARE(piano->getMIDIChannel(), BYTE(0));
        QCOMPARE(input->getMIDIOutputAtIndex(1)->getMIDIPatchTargetAtIndex(0)->getMIDIOutputPortName(),
                 stringsPort);

        // Play. C1 calls up the piano (the program change editor left the strings active); then wait
        // until the stage keyboard reaches the piano (controllers pass unchanged).
        QVERIFY(JackTestClient::retryUntil(
            [&] {
                _stageKeys->send({0x90, 24, 100});
                _stageKeys->send({0x80, 24, 0});
            },
            [&] { return input->getActiveMIDIOutput() == input->getMIDIOutputAtIndex(0); }, 20000, 200));
        QVERIFY(JackTestClient::retryUntil(
            [&] {
                _stageKeys->send({0xB0, 7, 100});
            },
            [&] { return _pianoSynth->receivedCount() > 0; }, 20000, 200));
        QTest::qWait(100);
        _pianoSynth->clearReceived();
        _stringSynth->clearReceived();

        // Middle C sounds an octave up on the piano; the pedal goes down.
        _stageKeys->send({0x90, 60, 100});
        _stageKeys->send({0xB0, 64, 127});
        QTRY_VERIFY(_pianoSynth->hasReceived({0x90, 72, 100}));
        QTRY_VERIFY(_pianoSynth->hasReceived({0xB0, 64, 127}));

        // D1 switches to the strings while the note and the pedal are held: the string synth is
        // called to program 5, and nobody hears the keyswitch itself.
        _stageKeys->send({0x90, 26, 90});
        QTRY_COMPARE(input->getActiveMIDIOutput(), input->getMIDIOutputAtIndex(1));
        QTRY_VERIFY(_stringSynth->hasReceived({0xC0, 4}));
        QTRY_VERIFY(view()
                        ->getOutputStack()
                        ->getWidgetForOutput(input->getMIDIOutputAtIndex(1))
                        ->palette()
                        .color(QPalette::Window) != view()
                                                        ->getOutputStack()
                                                        ->getWidgetForOutput(input->getMIDIOutputAtIndex(0))
                                                        ->palette()
                                                        .color(QPalette::Window));

        // Letting go of the held note and the pedal ends them on the piano, where they began.
        _stageKeys->send({0x80, 60, 0});
        _stageKeys->send({0xB0, 64, 0});
        QTRY_VERIFY(heardNoteOff(*_pianoSynth, 72));
        QTRY_VERIFY(_pianoSynth->hasReceived({0xB0, 64, 0}));

        // New notes go to the strings, untransposed, and not to the piano.
        _stageKeys->send({0x90, 67, 80});
        QTRY_VERIFY(_stringSynth->hasReceived({0x90, 67, 80}));
        _stageKeys->send({0x80, 67, 0});
        QTRY_VERIFY(heardNoteOff(*_stringSynth, 67));
        QTest::qWait(200);
        QVERIFY(!heardNote(*_pianoSynth, 26));
        QVERIFY(!heardNote(*_pianoSynth, 38));
        QVERIFY(!heardNote(*_pianoSynth, 67));
        QVERIFY(!heardNote(*_pianoSynth, 79));
        QVERIFY(!heardNote(*_stringSynth, 26));
        QVERIFY(!heardNote(*_stringSynth, 60));
    }
};

QTEST_MAIN(EveningStoryJackTest)
#include "tst_EveningStoryJack.moc"
