#include "widgets/SimpleWidgets.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QScrollArea>
#include <QSignalSpy>
#include <QTest>
#include <QTextDocumentFragment>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <memory>

namespace {

QImage imageOf(const QPixmap& pixmap)
{
    return pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
}

} // namespace

class CommonWidgetsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { styleTheApplication(); }

    // --- Clicking labels and the collapse arrow ---

    void shiftClickIsToldApartFromAClick()
    {
        ClickableLabel label(QStringLiteral("Name"));
        label.show();
        QSignalSpy clicked(&label, &ClickableLabel::clicked);
        QSignalSpy shiftClicked(&label, &ClickableLabel::shiftClicked);
        QTest::mouseClick(&label, Qt::LeftButton);
        QTest::mouseClick(&label, Qt::LeftButton, Qt::ShiftModifier);
        QTest::mouseClick(&label, Qt::RightButton);
        // Shift together with another modifier is not a Shift-click.
        QTest::mouseClick(&label, Qt::LeftButton, Qt::ShiftModifier | Qt::ControlModifier);
        QCOMPARE(clicked.count(), 3);
        QCOMPARE(shiftClicked.count(), 1);
    }

    void collapseArrowFlipsAndSaysSo()
    {
        VisibilityToggler toggler;
        toggler.show();
        ArrowPixmapProvider* arrows = ArrowPixmapProvider::GetInstance();
        QVERIFY(toggler.isOpen());
        QCOMPARE(toggler.toolTip(), QStringLiteral("Collapse"));
        QCOMPARE(toggler.size(), QSize(13, 12));

        QSignalSpy clicked(&toggler, &VisibilityToggler::clicked);
        QSignalSpy shiftClicked(&toggler, &VisibilityToggler::shiftClicked);
        QSignalSpy changed(&toggler, &VisibilityToggler::openChangedTo);

        QTest::mouseClick(&toggler, Qt::LeftButton);
        QVERIFY(!toggler.isOpen());
        QCOMPARE(toggler.toolTip(), QStringLiteral("Expand"));
        QCOMPARE(imageOf(toggler.pixmap()), imageOf(arrows->getLittleRightArrowPixmap()));
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(clicked.at(0).at(0).toBool(), false);
        QCOMPARE(changed.count(), 1);

        QTest::mouseClick(&toggler, Qt::LeftButton, Qt::ShiftModifier);
        QVERIFY(toggler.isOpen());
        QCOMPARE(shiftClicked.count(), 1);
        QCOMPARE(shiftClicked.at(0).at(0).toBool(), true);
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(imageOf(toggler.pixmap()), imageOf(arrows->getLittleDownArrowPixmap()));

        toggler.setOpen(true); // unchanged: nothing said
        QCOMPARE(changed.count(), 2);
        toggler.setOpen(false);
        QCOMPARE(changed.count(), 3);
        QCOMPARE(clicked.count(), 1);
    }

    // --- Typing numbers ---

    void typedNumberIsTakenOnReturn()
    {
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        auto* field = new ValueEntryLineEdit(&window);
        auto* other = new QLineEdit(&window);
        layout->addWidget(field);
        layout->addWidget(other);
        field->setIntMinMax(0, 127);
        field->setIntValue(64);
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));

        QSignalSpy finished(field, &QLineEdit::editingFinished);
        field->setFocus(Qt::MouseFocusReason);
        // The whole value is selected a moment after the focus arrives: typing replaces it.
        QTRY_COMPARE(field->selectedText(), QStringLiteral("64"));
        QTest::keyClicks(field, QStringLiteral("100"));
        QCOMPARE(field->text(), QStringLiteral("100"));
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(finished.count(), 1);
        QCOMPARE(field->getIntValue(), 100);
        QVERIFY(!field->hasFocus());
    }

    void unacceptableEntryPutsBackTheValue()
    {
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        auto* field = new ValueEntryLineEdit(&window);
        auto* other = new QLineEdit(&window);
        layout->addWidget(field);
        layout->addWidget(other);
        field->setIntMinMax(0, 127);
        field->setIntValue(64);
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));

        QSignalSpy finished(field, &QLineEdit::editingFinished);
        field->setFocus(Qt::MouseFocusReason);
        QTRY_COMPARE(field->selectedText(), QStringLiteral("64"));
        QTest::keyClicks(field, QStringLiteral("200")); // above the range
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(finished.count(), 0);
        other->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(!field->hasFocus());
        QCOMPARE(field->text(), QStringLiteral("64"));

        // Letters never get in; Escape puts the value back at once.
        field->setFocus(Qt::MouseFocusReason);
        QTRY_COMPARE(field->selectedText(), QStringLiteral("64"));
        QTest::keyClicks(field, QStringLiteral("x1,2"));
        QCOMPARE(field->text(), QStringLiteral("12"));
        QTest::keyClick(field, Qt::Key_Escape);
        QCOMPARE(field->text(), QStringLiteral("64"));
        QVERIFY(!field->hasFocus());
        QCOMPARE(finished.count(), 0);
    }

    void fieldValueReadsAsNumber()
    {
        ValueEntryLineEdit field;
        field.setIntValue(-12);
        QCOMPARE(field.text(), QStringLiteral("-12"));
        QCOMPARE(field.getIntValue(), -12);
        field.setText(QStringLiteral("abc"));
        QCOMPARE(field.getIntValue(), 0);
        QCOMPARE(field.alignment(), Qt::AlignHCenter | Qt::AlignVCenter);
    }

    void fieldWidthFollowsDigitCount()
    {
        ValueEntryLineEdit field;
        const int before = field.width();
        field.setWidthForNumDigits(-1);
        QCOMPARE(field.width(), before);
        field.setWidthForNumDigits(0);
        QCOMPARE(field.minimumWidth(), 3);
        QCOMPARE(field.maximumWidth(), 3);
        field.setWidthForNumDigits(3);
        QCOMPARE(field.maximumWidth(), field.fontMetrics().boundingRect(QStringLiteral("WWW")).width() + 3);
    }

    // --- The wheel scrolls the panel, not the value ---

    void wheelOverComboIsLeftToTheParent()
    {
        QWidget parent;
        auto* layout = new QVBoxLayout(&parent);
        auto* combo = new NoWheelComboBox(&parent);
        auto* plain = new QComboBox(&parent);
        layout->addWidget(combo);
        layout->addWidget(plain);
        for (QComboBox* box : {static_cast<QComboBox*>(combo), plain}) {
            box->addItems({QStringLiteral("One"), QStringLiteral("Two"), QStringLiteral("Three")});
            box->setCurrentIndex(1);
        }
        parent.show();
        QVERIFY(QTest::qWaitForWindowExposed(&parent));
        auto turnWheelOver = [](QComboBox* box) {
            const QPoint centre = box->rect().center();
            QWheelEvent wheel(centre, box->mapToGlobal(centre), QPoint(), QPoint(0, -120), Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(box, &wheel);
            return wheel.isAccepted();
        };
        // Not taken, so the window passes it on to the scroll area around the panel.
        QVERIFY(!turnWheelOver(combo));
        QCOMPARE(combo->currentIndex(), 1);
        // An ordinary combo box would have changed its value.
        turnWheelOver(plain);
        QCOMPARE(plain->currentIndex(), 2);
    }

    // --- The activity lamp ---

    void lampBlinksAndGoesOut()
    {
        ActivityIndicator lamp;
        lamp.resize(12, 12);
        lamp.show();
        QVERIFY(!lamp.isOn());
        lamp.blink();
        QVERIFY(lamp.isOn());
        QTRY_VERIFY_WITH_TIMEOUT(!lamp.isOn(), 2000);
    }

    void secondBlinkDoesNotOutlastTheFirstTimer()
    {
        ActivityIndicator lamp;
        lamp.show();
        QElapsedTimer clock;
        clock.start();
        lamp.blink();
        QTest::qWait(60);
        lamp.blink();
        QVERIFY(lamp.isOn());
        QTRY_VERIFY_WITH_TIMEOUT(!lamp.isOn(), 2000);
        // Went out with the first blink's timer, not 100 ms after the second.
        QVERIFY(clock.elapsed() >= 100);
        QTest::qWait(150);
        QVERIFY(!lamp.isOn());
    }

    void lampShowsItsColours()
    {
        ActivityIndicator lamp;
        lamp.resize(20, 20);
        lamp.show();
        QVERIFY(QTest::qWaitForWindowExposed(&lamp));
        const QColor highlight = lamp.palette().color(QPalette::Highlight);
        const QColor window = lamp.palette().color(QPalette::Window);
        QCOMPARE(lamp.grab().toImage().pixelColor(10, 10), window);
        lamp.blink();
        QCOMPARE(lamp.grab().toImage().pixelColor(10, 10), highlight);
    }

    // --- Labels that shrink and shadows ---

    void shrunkLabelShowsFullNameAsToolTip()
    {
        ShrinkableLabel label(QStringLiteral("Grand Piano Layer With Strings"));
        label.resize(label.sizeHint());
        label.show();
        QCOMPARE(label.text(), QStringLiteral("Grand Piano Layer With Strings"));
        QVERIFY(label.toolTip().isEmpty());
        label.resize(60, label.height());
        QVERIFY(label.text() != label.getFullText());
        QVERIFY(label.text().endsWith(QChar(0x2026)));
        QCOMPARE(QTextDocumentFragment::fromHtml(label.toolTip()).toPlainText(),
                 QStringLiteral("Grand Piano Layer With Strings"));
        label.setTextElideMode(Qt::ElideLeft);
        QVERIFY(label.text().startsWith(QChar(0x2026)));
        label.setText(QStringLiteral("Pad"));
        QCOMPARE(label.text(), QStringLiteral("Pad"));
        QVERIFY(label.toolTip().isEmpty());
        label.setText(QStringLiteral("<b>bold</b>"));
        QCOMPARE(label.textFormat(), Qt::PlainText);
        // A name that looks like markup is shown in the tool tip exactly as it stands.
        const QString markup = QStringLiteral("<b>Lead</b> & <i>Pad</i>  Layer With Strings");
        label.setText(markup);
        QVERIFY(label.text() != markup);
        QCOMPARE(QTextDocumentFragment::fromHtml(label.toolTip()).toPlainText(), markup);
    }

    void menuButtonShortensInTheMiddle()
    {
        ShrinkableTextMenuButton button;
        button.setDisplayText(QStringLiteral("Synth Module Port 1 Channel 10"));
        button.resize(90, 21);
        button.show();
        QCOMPARE(button.height(), 21);
        QCOMPARE(button.getDisplayText(), QStringLiteral("Synth Module Port 1 Channel 10"));
        const auto* label = button.findChild<ShrinkableLabel*>();
        QVERIFY(label);
        QVERIFY(label->text().contains(QChar(0x2026)));
        QVERIFY(!label->text().startsWith(QChar(0x2026)));
        QVERIFY(!label->text().endsWith(QChar(0x2026)));
    }

    void dropShadowOnlyUnderLightText_data()
    {
        QTest::addColumn<QColor>("text");
        QTest::addColumn<QColor>("window");
        QTest::addColumn<bool>("shadow");
        QTest::newRow("light text on dark") << QColor(185, 185, 185) << QColor(41, 41, 41) << true;
        QTest::newRow("dark text on light") << QColor(20, 20, 20) << QColor(230, 230, 230) << false;
    }

    void dropShadowOnlyUnderLightText()
    {
        QFETCH(QColor, text);
        QFETCH(QColor, window);
        QFETCH(bool, shadow);
        for (QLabel* label : {static_cast<QLabel*>(new DropShadowLabel(QStringLiteral("Bass"))),
                              static_cast<QLabel*>(new ShrinkableDropShadowLabel(QStringLiteral("Bass")))}) {
            std::unique_ptr<QLabel> owner(label);
            QPalette palette = label->palette();
            palette.setColor(QPalette::WindowText, text);
            palette.setColor(QPalette::Window, window);
            label->setPalette(palette);
            label->setAutoFillBackground(true);
            label->resize(label->sizeHint());
            QImage painted(label->size(), QImage::Format_ARGB32);
            label->render(&painted);

            // The same text without any shadow, painted where the label paints it.
            QImage plain(label->size(), QImage::Format_ARGB32);
            plain.fill(window);
            QPainter painter(&plain);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setRenderHint(QPainter::TextAntialiasing);
            painter.setFont(label->font());
            painter.setPen(text);
            const QFontMetrics metrics(label->font());
            painter.drawText(0, (label->height() - metrics.lineSpacing()) / 2 + metrics.ascent(),
                             QStringLiteral("Bass"));
            painter.end();
            QCOMPARE(painted != plain, shadow);
            QCOMPARE(label->sizeHint().height() > 0, true);
        }
    }

    // --- Buttons ---

    void menuButtonComesUpWhileItsMenuIsAsked()
    {
        MenuButton button(QStringLiteral("Port"));
        button.show();
        QSignalSpy requested(&button, &MenuButton::menuRequested);
        QTest::mousePress(&button, Qt::LeftButton);
        QCOMPARE(requested.count(), 1);
        QTRY_VERIFY(!button.isDown());
        QVERIFY(!button.autoDefault());
        QVERIFY(!button.isDefault());
    }

    void indicatorClicksButDragsDoNot()
    {
        ReorderWidget strip(Qt::Horizontal, -1, 1);
        auto* first = new ObjectIndicatorWidget();
        auto* second = new ObjectIndicatorWidget();
        first->setFixedSize(40, 20);
        second->setFixedSize(40, 20);
        strip.addWidget(first);
        strip.addWidget(second);
        strip.resize(200, 30);
        strip.show();
        QVERIFY(QTest::qWaitForWindowExposed(&strip));
        QCOMPARE(first->focusPolicy(), Qt::NoFocus);
        QCOMPARE(first->iconSize(), QSize(16, 16));

        QSignalSpy clicked(first, &QAbstractButton::clicked);
        QTest::mouseClick(first, Qt::LeftButton, {}, QPoint(20, 10));
        QCOMPARE(clicked.count(), 1);

        // A slight tremble is still a click.
        QTest::mousePress(first, Qt::LeftButton, {}, QPoint(20, 10));
        QTest::mouseMove(first, QPoint(21, 10));
        QTest::mouseRelease(first, Qt::LeftButton, {}, QPoint(21, 10));
        QCOMPARE(clicked.count(), 2);

        // Dragging it past its neighbour reorders the strip and clicks nothing.
        const int far = 40 + QApplication::startDragDistance() + 20;
        QTest::mousePress(first, Qt::LeftButton, {}, QPoint(20, 10));
        QTest::mouseMove(first, QPoint(20 + QApplication::startDragDistance(), 10));
        QVERIFY(first->isDragging());
        QVERIFY(strip.isReorderInProgress());
        QTest::mouseMove(first, QPoint(far, 10));
        QTest::mouseRelease(first, Qt::LeftButton, {}, QPoint(far, 10));
        QCOMPARE(clicked.count(), 2);
        QVERIFY(!first->isDown());
        QCOMPARE(strip.getWidgetIndex(first), 1);
    }

    // --- Lining up ---

    void widthsLineUpToTheWidest()
    {
        QPushButton small(QStringLiteral("OK"));
        QPushButton wide(QStringLiteral("Reroute Every Patch"));
        const int widest = std::max(small.sizeHint().width(), wide.sizeHint().width());
        fixBothWidthsToWiderOf(&small, &wide);
        QCOMPARE(small.maximumWidth(), widest);
        QCOMPARE(wide.minimumWidth(), widest);
        fixAllWidthsToWidestOf({});
        QPushButton third(QStringLiteral("A"));
        QPushButton fourth(QStringLiteral("Merge Outputs Into One"));
        const int widestOfTwo = std::max(third.sizeHint().width(), fourth.sizeHint().width());
        fixAllWidthsToWidestOf({&third, &fourth});
        QCOMPARE(third.maximumWidth(), widestOfTwo);
        QCOMPARE(fourth.minimumWidth(), widestOfTwo);
    }
};

QTEST_MAIN(CommonWidgetsTest)
#include "tst_CommonWidgets.moc"
