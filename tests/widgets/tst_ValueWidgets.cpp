#include "model/EditRequestManager.h"
#include "model/routing/MIDIOutput.h"
#include "persistence/AppPrefs.h"
#include "support/TestPrefs.h"
#include "widgets/ByteValueSlider.h"
#include "widgets/MIDIObjNameLabel.h"
#include "widgets/MilliSecDelayValIntValidator.h"
#include "widgets/NoteNameCombo.h"

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <memory>

namespace {

// A name label for an output in a window of its own, with a second field to take the focus.
struct NamePanel
{
    std::unique_ptr<MIDIOutput> output = std::make_unique<MIDIOutput>(QStringLiteral("Strings"), nullptr);
    QWidget window;
    MIDIObjNameLabel* label = nullptr;
    QLineEdit* elsewhere = nullptr;

    NamePanel()
    {
        auto* layout = new QVBoxLayout(&window);
        label = new MIDIObjNameLabel(output.get(), &window);
        elsewhere = new QLineEdit(&window);
        layout->addWidget(label);
        layout->addWidget(elsewhere);
        window.resize(240, 80);
        window.show();
        QApplication::setActiveWindow(&window);
    }
};

} // namespace

class ValueWidgetsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { useTemporaryPrefs(); }

    void byteSliderReportsEveryChange()
    {
        ByteValueSlider slider(Qt::Horizontal, nullptr);
        QCOMPARE(slider.minimum(), 0);
        QCOMPARE(slider.maximum(), 127);
        QSignalSpy changed(&slider, &ByteValueSlider::byteValueChangedTo);
        slider.setByteValue(64);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).value<BYTE>(), BYTE(64));
        slider.setByteValue(64);
        QCOMPARE(changed.count(), 1);
        slider.setSliderDown(true);
        slider.setSliderPosition(70);
        slider.setSliderPosition(71);
        slider.setSliderDown(false);
        QCOMPARE(changed.count(), 3);
        QCOMPARE(changed.at(2).at(0).value<BYTE>(), BYTE(71));
    }

    void noteComboNamesEveryNoteAndFollowsMiddleC()
    {
        NoteNameCombo combo(nullptr);
        QCOMPARE(combo.count(), 128);
        QCOMPARE(combo.height(), 21);
        QCOMPARE(combo.itemText(60), QStringLiteral("C4"));
        QCOMPARE(combo.itemText(0), QStringLiteral("C-1"));
        combo.setCurrentIndex(61);
        QSignalSpy changed(&combo, &QComboBox::currentIndexChanged);
        setStringPrefValue(QStringLiteral("MiddleCName"), QStringLiteral("C3"));
        QCOMPARE(combo.itemText(60), QStringLiteral("C3"));
        QCOMPARE(combo.currentIndex(), 61);
        QCOMPARE(changed.count(), 0);
        setStringPrefValue(QStringLiteral("MiddleCName"), QStringLiteral("C4"));
        QCOMPARE(combo.itemText(60), QStringLiteral("C4"));
    }

    void noteComboIgnoresTheMouseWheel()
    {
        NoteNameCombo combo(nullptr);
        combo.setCurrentIndex(60);
        combo.show();
        QVERIFY(QTest::qWaitForWindowExposed(&combo));
        const QPoint centre = combo.rect().center();
        QWheelEvent wheel(centre, combo.mapToGlobal(centre), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(&combo, &wheel);
        QCOMPARE(combo.currentIndex(), 60);
    }

    void delayValidatorIsSharedAndAllowsHalfASecond()
    {
        MilliSecDelayValIntValidator* validator = MilliSecDelayValIntValidator::GetInstance();
        QCOMPARE(validator, MilliSecDelayValIntValidator::GetInstance());
        QCOMPARE(validator->bottom(), 0);
        QCOMPARE(validator->top(), 500);
        QString text = QStringLiteral("501");
        int pos = 0;
        QVERIFY(validator->validate(text, pos) != QValidator::Acceptable);
        text = QStringLiteral("500");
        QCOMPARE(validator->validate(text, pos), QValidator::Acceptable);
    }

    void nameLabelFollowsTheModel()
    {
        NamePanel panel;
        QCOMPARE(panel.label->getFullText(), QStringLiteral("Strings"));
        QCOMPARE(panel.label->getTextElideMode(), Qt::ElideMiddle);
        panel.output->setName(QStringLiteral("Warm Strings"));
        QCOMPARE(panel.label->getFullText(), QStringLiteral("Warm Strings"));
    }

    void doubleClickRenamesOnReturnOnce()
    {
        NamePanel panel;
        QSignalSpy renamed(panel.output.get(), &MIDIOutput::nameChangedTo);
        QTest::mouseDClick(panel.label, Qt::LeftButton);
        QLineEdit* editor = panel.label->getEditor();
        QVERIFY(editor);
        QCOMPARE(editor->text(), QStringLiteral("Strings"));
        QCOMPARE(editor->selectedText(), QStringLiteral("Strings"));
        QTest::keyClicks(editor, QStringLiteral("Pad"));
        QTest::keyClick(editor, Qt::Key_Return);
        // The focus goes elsewhere right after Return: still one rename.
        panel.elsewhere->setFocus();
        QCoreApplication::processEvents();
        QCOMPARE(renamed.count(), 1);
        QCOMPARE(panel.output->getName(), QStringLiteral("Pad"));
        QCOMPARE(panel.label->getFullText(), QStringLiteral("Pad"));
        QVERIFY(!panel.label->isEditing());
    }

    void leavingTheFieldTakesTheName()
    {
        NamePanel panel;
        QVERIFY(QTest::qWaitForWindowActive(&panel.window));
        panel.label->startEditing();
        QLineEdit* editor = panel.label->getEditor();
        QTRY_VERIFY(editor->hasFocus());
        editor->setText(QStringLiteral("Choir"));
        panel.elsewhere->setFocus();
        QCOMPARE(panel.output->getName(), QStringLiteral("Choir"));
        QVERIFY(!panel.label->isEditing());
    }

    void escapeKeepsTheOldName()
    {
        NamePanel panel;
        QSignalSpy renamed(panel.output.get(), &MIDIOutput::nameChangedTo);
        panel.label->startEditing();
        QTest::keyClicks(panel.label->getEditor(), QStringLiteral("Oops"));
        QTest::keyClick(panel.label->getEditor(), Qt::Key_Escape);
        QVERIFY(!panel.label->isEditing());
        QCoreApplication::processEvents();
        QCOMPARE(renamed.count(), 0);
        QCOMPARE(panel.output->getName(), QStringLiteral("Strings"));
    }

    void blankNameIsRefused()
    {
        NamePanel panel;
        panel.label->startEditing();
        panel.label->getEditor()->setText(QStringLiteral("   "));
        QTest::keyClick(panel.label->getEditor(), Qt::Key_Return);
        QCOMPARE(panel.output->getName(), QStringLiteral("Strings"));
        panel.label->startEditing();
        panel.label->getEditor()->clear();
        QTest::keyClick(panel.label->getEditor(), Qt::Key_Return);
        QCOMPARE(panel.output->getName(), QStringLiteral("Strings"));
        QCOMPARE(panel.label->getFullText(), QStringLiteral("Strings"));
    }

    void newObjectsAskForTheirNameToBeEdited()
    {
        NamePanel panel;
        MIDIOutput other(QStringLiteral("Other"), nullptr);
        EditRequestManager::GetInstance()->requestObjectNameEdit(&other);
        QVERIFY(!panel.label->isEditing());
        EditRequestManager::GetInstance()->requestObjectNameEdit(panel.output.get());
        QVERIFY(panel.label->isEditing());
        QCOMPARE(panel.label->getEditor()->text(), QStringLiteral("Strings"));
    }

    void objectGoneWhileEditingIsLeftAlone()
    {
        NamePanel panel;
        panel.label->startEditing();
        panel.output.reset();
        QTest::keyClicks(panel.label->getEditor(), QStringLiteral("Gone"));
        QTest::keyClick(panel.label->getEditor(), Qt::Key_Return);
        QVERIFY(!panel.label->isEditing());
        QCOMPARE(panel.label->getMIDIObject(), nullptr);
    }
};

QTEST_MAIN(ValueWidgetsTest)
#include "tst_ValueWidgets.moc"
