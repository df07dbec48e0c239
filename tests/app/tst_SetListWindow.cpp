// The set list in the window: the panel follows the list and the player, its edits reach the list,
// the Set List menu changes songs, edits to songs survive going away and back, the quit prompt
// names every edited song once, and a trigger is learnt from a message that is then consumed.
#include "WindowTestSupport.h"

#include "app/MainWindow.h"
#include "app/SetListSession.h"
#include "model/initializers/InitializerRegistry.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "model/routing/MIDIRoutingSetupManager.h"
#include "model/setlist/SetList.h"
#include "model/setlist/SetListPlayer.h"
#include "model/setlist/SetListTriggerLearn.h"
#include "model/transforms/BuiltInTransforms.h"
#include "persistence/RecoveryFile.h"
#include "persistence/SetListFileReaderWriter.h"
#include "support/FakeMIDIBackend.h"
#include "support/RoutingTestRig.h"
#include "support/SetListTestSongs.h"
#include "support/TestPrefs.h"
#include "widgets/SetListPanel.h"
#include "widgets/SetListTriggerEditor.h"

#include <QDockWidget>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace WindowTestSupport;

class SetListWindowTest : public QObject
{
    Q_OBJECT

    QTemporaryDir _dir;
    std::unique_ptr<MainWindow> _window;
    QString _listFile;

    SetListPanel* panel() const { return _window->setListPanel(); }
    SetList* setList() const { return _window->setListSession()->getSetList(); }
    SetListPlayer* player() const { return _window->setListSession()->getPlayer(); }

    void trigger(const QString& actionText)
    {
        QAction* action = actionNamed(_window.get(), actionText);
        QVERIFY2(action, qPrintable(actionText));
        action->trigger();
    }

    QStringList songNamesShown() const
    {
        QStringList names;
        for (int i = 0; i < panel()->songList()->count(); ++i)
            names << panel()->songList()->item(i)->text();
        return names;
    }

    int markedRow() const
    {
        int marked = -1;
        for (int i = 0; i < panel()->songList()->count(); ++i) {
            if (panel()->songList()->item(i)->data(Qt::UserRole).toBool())
                marked = marked < 0 ? i : -2; // two marked rows is a fault
        }
        return marked;
    }

    QString currentSongFile() const
    {
        MIDIRoutingSetup* setup = getCurrentRoutingSetup();
        return setup ? QFileInfo(setup->getFilePath()).fileName() : QString();
    }

    void writeFiles()
    {
        QVERIFY(SetListTestSongs::writeSong(_dir.filePath("a.ms"), "Keys", "SynthA", 1));
        QVERIFY(SetListTestSongs::writeSong(_dir.filePath("b.ms"), "Keys", "SynthB", 2));
        QVERIFY(SetListTestSongs::writeSong(_dir.filePath("c.ms"), "Keys", "SynthC", 3));
        _listFile = _dir.filePath("friday.msl");
        writeFile(_listFile,
                  "<!DOCTYPE QuorvellSetList>\n<SetList name=\"Friday\" documentVersion=\"1.0\">\n"
                  " <Songs>\n  <Song name=\"Opener\" file=\"a.ms\"/>\n"
                  "  <Song name=\"Ballad &lt;b&gt;slow&lt;/b&gt;\" file=\"b.ms\"/>\n"
                  "  <Song name=\"Closer\" file=\"c.ms\"/>\n </Songs>\n <Triggers/>\n</SetList>\n");
    }

private slots:
    void initTestCase()
    {
        useTemporaryPrefs();
        QVERIFY(_dir.isValid());
        // Recovery files go to a data folder of the test's own.
        qputenv("XDG_DATA_HOME", _dir.filePath("data").toUtf8());
        RoutingTestRig::install();
        registerBuiltInTransforms();
        registerBuiltInInitializers();
        QVERIFY(_dir.isValid());
        writeFiles();
    }

    void init()
    {
        MIDIRoutingSetupManager::GetInstance()->clearCurrentRoutingSetup(true);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        _window = std::make_unique<MainWindow>();
        _window->openFirstSetup(QString());
        _window->show();
    }

    void cleanup()
    {
        // Nothing is asked on the way out: every edit is thrown away.
        auto answer = answerMessageBox(QMessageBox::Discard);
        _window->close();
        _window.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        RoutingTestRig::clearSent();
    }

    void openingShowsTheSongsTheCurrentOneAndTheNext()
    {
        QVERIFY(_window->openSetList(_listFile));
        QVERIFY(_window->setListDock()->isVisible());
        QCOMPARE(songNamesShown(), QStringList({"Opener", "Ballad <b>slow</b>", "Closer"}));
        QCOMPARE(markedRow(), 0);
        QCOMPARE(currentSongFile(), QStringLiteral("a.ms"));
        // The name from the file is shown as it is written, never as markup.
        QCOMPARE(panel()->nextSongLabel()->text(), QStringLiteral("Ballad <b>slow</b>"));
        QCOMPARE(panel()->nextSongLabel()->textFormat(), Qt::PlainText);
        QVERIFY(panel()->nextSongLabel()->font().pointSize() >= 20);
    }

    void nextAndPreviousChangeTheSongAndThePanelFollows()
    {
        QVERIFY(_window->openSetList(_listFile));
        QAction* next = actionNamed(_window.get(), "Next Song");
        QAction* previous = actionNamed(_window.get(), "Previous Song");
        QVERIFY(next && previous);
        QCOMPARE(next->shortcut(), QKeySequence(Qt::Key_PageDown));
        QCOMPARE(previous->shortcut(), QKeySequence(Qt::Key_PageUp));
        next->trigger();
        QCOMPARE(player()->getCurrentSongIndex(), 1);
        QCOMPARE(currentSongFile(), QStringLiteral("b.ms"));
        QCOMPARE(markedRow(), 1);
        QCOMPARE(panel()->nextSongLabel()->text(), QStringLiteral("Closer"));
        next->trigger();
        QCOMPARE(markedRow(), 2);
        QCOMPARE(panel()->nextSongLabel()->text(), QStringLiteral("(end of the set list)"));
        // The last song's next does nothing.
        next->trigger();
        QCOMPARE(player()->getCurrentSongIndex(), 2);
        previous->trigger();
        previous->trigger();
        QCOMPARE(markedRow(), 0);
        QCOMPARE(currentSongFile(), QStringLiteral("a.ms"));
        // The key itself, with the focus on the song list.
        _window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(_window.get()));
        QApplication::setActiveWindow(_window.get());
        QTest::keyClick(_window.get(), Qt::Key_PageDown);
        QTRY_COMPARE(player()->getCurrentSongIndex(), 1);
        QApplication::setActiveWindow(_window.get());
        panel()->songList()->setFocus();
        QCOMPARE(QApplication::focusWidget(), panel()->songList());
        QTest::keyClick(panel()->songList(), Qt::Key_PageDown);
        QTRY_COMPARE(player()->getCurrentSongIndex(), 2);
    }

    void editsOfASongAreKeptWhenComingBack()
    {
        QVERIFY(_window->openSetList(_listFile));
        getCurrentRoutingSetup()->getMIDIRouteAtIndex(0)->setName("Edited in song 1");
        trigger("Next Song");
        trigger("Next Song");
        QCOMPARE(currentSongFile(), QStringLiteral("c.ms"));
        trigger("Previous Song");
        trigger("Previous Song");
        MIDIRoutingSetup* back = getCurrentRoutingSetup();
        QCOMPARE(currentSongFile(), QStringLiteral("a.ms"));
        QCOMPARE(back->getMIDIRouteAtIndex(0)->getName(), QStringLiteral("Edited in song 1"));
        QVERIFY(back->isModified());
        QCOMPARE(_window->setListSession()->editedSongs().size(), 1);
    }

    void quitAsksOnceAboutEveryEditedSong()
    {
        QVERIFY(_window->openSetList(_listFile));
        getCurrentRoutingSetup()->getMIDIRouteAtIndex(0)->setName("Edit A");
        trigger("Next Song");
        getCurrentRoutingSetup()->getMIDIRouteAtIndex(0)->setName("Edit B");
        trigger("Next Song");
        trigger("Previous Song");
        getCurrentRoutingSetup()->getMIDIRouteAtIndex(0)->setName("Edit B again");
        setList()->renameSong(2, "Encore");

        QString text;
        auto cancel = answerMessageBox(QMessageBox::Cancel, &text);
        QVERIFY(!_window->close());
        QVERIFY(*cancel);
        QVERIFY(_window->isVisible());
        QCOMPARE(text.count("Opener"), 1);
        QCOMPARE(text.count("Ballad <b>slow</b>"), 1);
        QVERIFY2(!text.contains("Encore"), qPrintable(text)); // not edited: only renamed in the list
        QVERIFY2(text.contains("The set list \"Friday\" has unsaved changes."), qPrintable(text));

        // Save writes both songs and the list; one box only.
        auto save = answerMessageBox(QMessageBox::Save);
        auto second = answerMessageBox(QMessageBox::Cancel, nullptr, nullptr);
        QVERIFY(_window->close());
        QVERIFY(*save);
        QVERIFY(!*second);
        QFile a(_dir.filePath("a.ms")), b(_dir.filePath("b.ms")), list(_listFile);
        QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly) && list.open(QIODevice::ReadOnly));
        QVERIFY(a.readAll().contains("Edit A"));
        QVERIFY(b.readAll().contains("Edit B again"));
        QVERIFY(list.readAll().contains("Encore"));
        // Put the files back for the other cases.
        writeFiles();
    }

    void eachSongKeepsItsOwnUndoHistory()
    {
        QVERIFY(_window->openSetList(_listFile));
        QAction* undo = actionNamed(_window.get(), "Undo");
        QAction* redo = actionNamed(_window.get(), "Redo");
        QVERIFY(undo && redo);
        MIDIRoute* routeA = getCurrentRoutingSetup()->getMIDIRouteAtIndex(0);
        const int outputsA = routeA->getNumMIDIOutputs();
        trigger("New Output");
        QCOMPARE(routeA->getNumMIDIOutputs(), outputsA + 1);

        trigger("Next Song");
        QVERIFY(!undo->isEnabled()); // song 2 has nothing of song 1's to undo
        MIDIRoute* routeB = getCurrentRoutingSetup()->getMIDIRouteAtIndex(0);
        const int outputsB = routeB->getNumMIDIOutputs();
        trigger("New Output");
        trigger("New Output");
        undo->trigger();
        QCOMPARE(routeB->getNumMIDIOutputs(), outputsB + 1);
        QVERIFY(redo->isEnabled());

        trigger("Previous Song");
        QCOMPARE(currentSongFile(), QStringLiteral("a.ms"));
        QVERIFY(!redo->isEnabled());
        undo->trigger();
        QCOMPARE(routeA->getNumMIDIOutputs(), outputsA);
        QVERIFY(!getCurrentRoutingSetup()->isModified()); // undone back to the file's content
        QVERIFY(!undo->isEnabled());

        trigger("Next Song");
        QCOMPARE(getCurrentRoutingSetup()->getMIDIRouteAtIndex(0), routeB);
        redo->trigger();
        QCOMPARE(routeB->getNumMIDIOutputs(), outputsB + 2);
        QCOMPARE(_window->setListSession()->editedSongs().size(), 1);
    }

    void aStopBySignalKeepsEveryEditedSongAndTheList()
    {
        QVERIFY(_window->openSetList(_listFile));
        getCurrentRoutingSetup()->getMIDIRouteAtIndex(0)->setName("Kept A");
        trigger("Next Song");
        getCurrentRoutingSetup()->getMIDIRouteAtIndex(0)->setName("Kept B");
        trigger("Next Song"); // the current song is not edited: the other two still are
        setList()->renameSong(2, "Encore");

        const QStringList kept = _window->stopWithoutPrompt();
        QCOMPARE(kept.size(), 3);
        auto contentOf = [](const QString& path) {
            QFile file(path);
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        };
        QVERIFY2(kept.at(0).endsWith(".ms") && contentOf(kept.at(0)).contains("Kept A"),
                 qPrintable(kept.at(0)));
        QVERIFY2(kept.at(1).endsWith(".ms") && contentOf(kept.at(1)).contains("Kept B"),
                 qPrintable(kept.at(1)));
        QVERIFY(kept.at(2).endsWith(".msl"));
        for (const QString& path : kept)
            QVERIFY2(path.startsWith(_dir.filePath("data")), qPrintable(path));
        // The kept list still finds the songs from the data folder.
        SetList back;
        QVERIFY(SetListFileReaderWriter::readSetListFromDisk(&back, kept.at(2)));
        QCOMPARE(back.getSongAtIndex(2).getName(), QStringLiteral("Encore"));
        QCOMPARE(back.getSongAtIndex(1).getResolvedPath(), _dir.filePath("b.ms"));
        // The files on disk were not touched, and the next start names every kept file once.
        QVERIFY(!contentOf(_dir.filePath("a.ms")).contains("Kept A"));
        const QString notice = takeRecoveryFileNotice();
        for (const QString& path : kept)
            QCOMPARE(notice.count(path), 1);
        QVERIFY(takeRecoveryFileNotice().isEmpty());
    }

    void panelEditsReachTheSetList()
    {
        trigger("New Set List");
        QVERIFY(setList());
        QVERIFY(_window->setListDock()->isVisible());
        _window->setSongFilesChooser([this](QWidget*, const QString&) {
            return QStringList{_dir.filePath("a.ms"), _dir.filePath("b.ms")};
        });
        panel()->findChild<QPushButton*>(QString(), Qt::FindChildrenRecursively);
        QPushButton* add = nullptr;
        for (QPushButton* button : panel()->findChildren<QPushButton*>())
            add = button->text() == "Add..." ? button : add;
        QVERIFY(add);
        add->click();
        QCOMPARE(songNamesShown(), QStringList({"a", "b"}));

        // A drop of setup files (others are left out) adds them where they fall.
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(_dir.filePath("c.ms")), QUrl::fromLocalFile(_listFile)});
        QCOMPARE(SetListPanel::setupFilePathsIn(&mime), QStringList{_dir.filePath("c.ms")});
        QWidget* viewport = panel()->songList()->viewport();
        const QPoint onFirst = panel()->songList()->visualItemRect(panel()->songList()->item(0)).center();
        QDragEnterEvent enter(onFirst, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(onFirst), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &drop);
        QCOMPARE(setList()->getNumSongs(), 3);
        QCOMPARE(setList()->getSongAtIndex(0).getName(), QStringLiteral("c"));

        // Moved as the list widget moves a dragged row.
        QVERIFY(panel()->songList()->model()->moveRow(QModelIndex(), 0, QModelIndex(), 3));
        QCOMPARE(setList()->getSongAtIndex(2).getName(), QStringLiteral("c"));
        QCOMPARE(songNamesShown(), QStringList({"a", "b", "c"}));

        // Renamed in place; an emptied name comes back.
        panel()->songList()->item(1)->setText("Ballad");
        QCOMPARE(setList()->getSongAtIndex(1).getName(), QStringLiteral("Ballad"));
        panel()->songList()->item(1)->setText("  ");
        QCOMPARE(setList()->getSongAtIndex(1).getName(), QStringLiteral("Ballad"));
        QCOMPARE(panel()->songList()->item(1)->text(), QStringLiteral("Ballad"));

        // Removed (not edited: nothing is asked).
        panel()->songList()->setCurrentRow(0);
        for (QPushButton* button : panel()->findChildren<QPushButton*>()) {
            if (button->text() == "Remove")
                button->click();
        }
        QCOMPARE(songNamesShown(), QStringList({"Ballad", "c"}));
        QVERIFY(setList()->isModified());
    }

    void triggerLearnFillsATriggerAndConsumesTheMessage()
    {
        QVERIFY(_window->openSetList(_listFile));
        RoutingTestRig::clearSent();
        SetListTriggerEditor* editor = panel()->triggerEditor();
        editor->learnButton()->click();
        QVERIFY(editor->isLearning());
        midiMessage_t cc;
        setControlChangeMessage(&cc);
        setMIDIChannelIndex(&cc, 3);
        setControlNumberAndValue(&cc, 80, 100);
        // From a thread of its own, as the MIDI library delivers.
        RoutingTestRig::backend()->injectInputMessagesFromOwnThread(RoutingTestRig::inputIndex("Keys"), {cc});
        editor->learn()->processPendingWork();
        QVERIFY(!editor->isLearning());
        QCOMPARE(setList()->getTriggers().size(), 1);
        const SetListTrigger learnt = setList()->getTriggers().first();
        QCOMPARE(learnt.getMIDIPortName(), QStringLiteral("Keys"));
        QCOMPARE(int(learnt.getMIDIChannelIndex()), 3);
        QCOMPARE(learnt.getMessageType(), SetListTrigger::MessageType::Controller);
        QCOMPARE(int(learnt.getNumber()), 80);
        QCOMPARE(editor->table()->rowCount(), 1);
        // The song never heard it (its program change is all that went out).
        for (const midiMessage_t& sent : RoutingTestRig::takeSent("SynthA"))
            QVERIFY(!isControlChangeMessage(&sent));

        // The player's triggers are back, with the new one: the foot switch goes to the next song.
        setControlNumberAndValue(&cc, 80, 0);
        RoutingTestRig::play("Keys", cc);
        setControlNumberAndValue(&cc, 80, 127);
        RoutingTestRig::play("Keys", cc);
        player()->processPendingWork();
        QCOMPARE(player()->getCurrentSongIndex(), 1);
        QTRY_COMPARE(markedRow(), 1);

        // Escape cancels, and nothing is added.
        editor->learnButton()->click();
        QVERIFY(editor->isLearning());
        QTest::keyClick(panel()->songList(), Qt::Key_Escape);
        QVERIFY(!editor->isLearning());
        QVERIFY(!editor->learnButton()->isChecked());
        midiMessage_t note;
        setNoteOnMessage(&note, 60, 90);
        RoutingTestRig::play("Keys", note);
        editor->learn()->processPendingWork();
        QCOMPARE(setList()->getTriggers().size(), 1);

        // A port no song listens to is heard while learning: a note on there becomes a trigger.
        editor->learnButton()->click();
        midiMessage_t pad;
        setNoteOnMessage(&pad, 40, 100);
        setMIDIChannelIndex(&pad, 9);
        RoutingTestRig::play("Pads", pad);
        editor->learn()->processPendingWork();
        QCOMPARE(setList()->getTriggers().size(), 2);
        QCOMPARE(setList()->getTriggers().at(1).getMIDIPortName(), QStringLiteral("Pads"));
        QCOMPARE(setList()->getTriggers().at(1).getMessageType(), SetListTrigger::MessageType::Note);
        QCOMPARE(int(setList()->getTriggers().at(1).getNumber()), 40);
        QCOMPARE(int(setList()->getTriggers().at(1).getMIDIChannelIndex()), 9);
    }

    void reloadAsksBeforeThrowingEditsAway()
    {
        QVERIFY(_window->openSetList(_listFile));
        getCurrentRoutingSetup()->getMIDIRouteAtIndex(0)->setName("Edit A");
        auto cancel = answerMessageBox(QMessageBox::Cancel);
        trigger("Reload song");
        QVERIFY(*cancel);
        QCOMPARE(getCurrentRoutingSetup()->getMIDIRouteAtIndex(0)->getName(), QStringLiteral("Edit A"));
        auto reload = answerMessageBox(QMessageBox::Discard);
        trigger("Reload song");
        QVERIFY(*reload);
        QVERIFY(getCurrentRoutingSetup()->getMIDIRouteAtIndex(0)->getName() != QStringLiteral("Edit A"));
        QVERIFY(!getCurrentRoutingSetup()->isModified());
        QCOMPARE(player()->getCurrentSongIndex(), 0);
        QCOMPARE(markedRow(), 0);
        QVERIFY(_window->setListSession()->editedSongs().isEmpty());
    }

    void saveAsWritesTheListWithItsSuffixAndRelativeSongs()
    {
        trigger("New Set List");
        panel()->addSongFiles({_dir.filePath("a.ms")});
        const QString typed = _dir.filePath("saturday");
        _window->setSetListFileChooser(
            [typed](QWidget*, bool forSaving, const QString&) { return forSaving ? typed : QString(); });
        trigger("Save Set List");
        QVERIFY(!setList()->isModified());
        QCOMPARE(setList()->getFilePath(), typed + ".msl");
        QFile file(typed + ".msl");
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY2(bytes.contains("file=\"a.ms\""), bytes.constData());
        // Read back, it is the same list.
        SetList back;
        QVERIFY(SetListFileReaderWriter::readSetListFromDisk(&back, typed + ".msl"));
        QCOMPARE(back.getNumSongs(), 1);
        QCOMPARE(back.getSongAtIndex(0).getResolvedPath(), _dir.filePath("a.ms"));
    }

    void quitAsksAboutASetupOfItsOwnBesideAListNotPlaying()
    {
        trigger("New Set List");
        getCurrentRoutingSetup()->getMIDIRouteAtIndex(0)->setName("Not a song");
        QString text;
        auto cancel = answerMessageBox(QMessageBox::Cancel, &text);
        QVERIFY(!_window->close());
        QVERIFY(*cancel);
        QCOMPARE(text, QStringLiteral("Save current setup before proceeding?"));
    }

    void theDockHidesAndShows()
    {
        QVERIFY(_window->openSetList(_listFile));
        QAction* toggle = actionNamed(_window.get(), "Set List Panel");
        QVERIFY(toggle);
        QVERIFY(toggle->isChecked());
        toggle->trigger();
        QVERIFY(!_window->setListDock()->isVisible());
        // Hidden, the set list still plays.
        trigger("Next Song");
        QCOMPARE(player()->getCurrentSongIndex(), 1);
        toggle->trigger();
        QVERIFY(_window->setListDock()->isVisible());
        QCOMPARE(markedRow(), 1);
    }

    void aNewSetupWhilePlayingAsksAboutTheSongsAndStopsTheList()
    {
        QVERIFY(_window->openSetList(_listFile));
        getCurrentRoutingSetup()->getMIDIRouteAtIndex(0)->setName("Edit A");
        trigger("Next Song");
        QString text;
        auto discard = answerMessageBox(QMessageBox::Discard, &text);
        trigger("New");
        QVERIFY(*discard);
        QVERIFY2(text.contains("Opener"), qPrintable(text));
        QVERIFY(!player()->isPlaying());
        QVERIFY(getCurrentRoutingSetup());
        QVERIFY(getCurrentRoutingSetup()->getFilePath().isEmpty());
        // The list stays open, playing nothing; Next Song starts it again from the top.
        QVERIFY(_window->setListSession()->isOpen());
        QCOMPARE(markedRow(), -1);
        trigger("Next Song");
        QVERIFY(player()->isPlaying());
        QCOMPARE(currentSongFile(), QStringLiteral("a.ms"));
        // The edit was let go of: the song is read afresh.
        QVERIFY(getCurrentRoutingSetup()->getMIDIRouteAtIndex(0)->getName() != QStringLiteral("Edit A"));
    }

    void closingTheSetListAsksAndLetsGoOfTheSongs()
    {
        QVERIFY(_window->openSetList(_listFile));
        getCurrentRoutingSetup()->getMIDIRouteAtIndex(0)->setName("Edit A");
        QString text;
        auto cancel = answerMessageBox(QMessageBox::Cancel, &text);
        trigger("Close Set List");
        QVERIFY(*cancel);
        QVERIFY(_window->setListSession()->isOpen());
        QVERIFY(text.contains("Opener"));
        auto discard = answerMessageBox(QMessageBox::Discard);
        trigger("Close Set List");
        QVERIFY(*discard);
        QVERIFY(!_window->setListSession()->isOpen());
        QVERIFY(!getCurrentRoutingSetup());
        QCOMPARE(panel()->songList()->count(), 0);
    }
};

QTEST_MAIN(SetListWindowTest)
#include "tst_SetListWindow.moc"
