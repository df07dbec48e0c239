#include "widgets/SimpleWidgets.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QSlider>
#include <QStyleFactory>
#include <QStyleOptionButton>
#include <QStyleOptionSlider>
#include <QTest>

class LookAndFeelTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { styleTheApplication(); }

    void startUpInstallsStyleFontAndPalette()
    {
        QVERIFY(qobject_cast<DunmoorStyle*>(QApplication::style()));
        QCOMPARE(QApplication::palette().color(QPalette::Active, QPalette::Window), QColor(41, 41, 41));
        QCOMPARE(QApplication::font().family(), QStringLiteral("Arial"));
        QCOMPARE(QApplication::font().pixelSize(), 12);
        QWidget fresh;
        QCOMPARE(fresh.palette().color(QPalette::Button), QColor(71, 71, 71));
    }

    void defaultPaletteMatchesTheTable_data()
    {
        QTest::addColumn<int>("group");
        QTest::addColumn<int>("role");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("window") << int(QPalette::Active) << int(QPalette::Window) << QColor(41, 41, 41);
        QTest::newRow("text disabled")
            << int(QPalette::Disabled) << int(QPalette::WindowText) << QColor(71, 71, 71);
        QTest::newRow("base") << int(QPalette::Inactive) << int(QPalette::Base) << QColor(28, 28, 28);
        QTest::newRow("edit text disabled")
            << int(QPalette::Disabled) << int(QPalette::Text) << QColor(58, 58, 58);
        QTest::newRow("tool tip") << int(QPalette::Active) << int(QPalette::ToolTipBase)
                                  << QColor(255, 255, 183);
        QTest::newRow("button") << int(QPalette::Active) << int(QPalette::Button) << QColor(71, 71, 71);
        QTest::newRow("button disabled")
            << int(QPalette::Disabled) << int(QPalette::Button) << QColor(41, 41, 41);
        QTest::newRow("highlight") << int(QPalette::Active) << int(QPalette::Highlight)
                                   << QColor(63, 127, 202);
        QTest::newRow("highlight inactive")
            << int(QPalette::Inactive) << int(QPalette::Highlight) << QColor(95, 95, 95);
        QTest::newRow("highlight disabled")
            << int(QPalette::Disabled) << int(QPalette::Highlight) << QColor(33, 97, 172);
        QTest::newRow("dark") << int(QPalette::Disabled) << int(QPalette::Dark) << QColor(22, 22, 22);
        QTest::newRow("link visited")
            << int(QPalette::Active) << int(QPalette::LinkVisited) << QColor(59, 119, 179);
    }

    void defaultPaletteMatchesTheTable()
    {
        QFETCH(int, group);
        QFETCH(int, role);
        QFETCH(QColor, colour);
        QCOMPARE(getDefaultPalette().color(QPalette::ColorGroup(group), QPalette::ColorRole(role)), colour);
    }

    void activeInputPaletteIsBlueGrey()
    {
        const QPalette p = getActivatedPalette();
        for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
            QCOMPARE(p.color(group, QPalette::Window), QColor(58, 74, 93));
            QCOMPARE(p.color(group, QPalette::Button), QColor(63, 79, 98));
        }
        QCOMPARE(p.color(QPalette::Active, QPalette::WindowText), QColor(185, 185, 185).lighter(107));
        QCOMPARE(p.color(QPalette::Disabled, QPalette::ButtonText), QColor(71, 71, 71).lighter(107));
        QCOMPARE(p.color(QPalette::Active, QPalette::Base), QColor(36, 49, 64));
        QCOMPARE(p.color(QPalette::Disabled, QPalette::Base), QColor(58, 74, 93));
        QCOMPARE(p.color(QPalette::Active, QPalette::Highlight), QColor(63, 127, 202));
    }

    void hoverAndMutedPalettes()
    {
        const QPalette hover = getHoverPalette();
        QCOMPARE(hover.color(QPalette::Active, QPalette::Window), QColor(41, 41, 41).lighter(110));
        QCOMPARE(hover.color(QPalette::Disabled, QPalette::Button), QColor(41, 41, 41).lighter(110));
        QCOMPARE(hover.color(QPalette::Active, QPalette::Button), QColor(71, 71, 71).lighter(110));
        const QPalette muted = getMuteButtonMutedPalette();
        for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            QCOMPARE(muted.color(group, QPalette::Button), QColor(203, 138, 50));
        QCOMPARE(muted.color(QPalette::Active, QPalette::Window), QColor(41, 41, 41));
    }

    void palettesAreCopies()
    {
        QPalette mine = getDefaultPalette();
        mine.setColor(QPalette::Window, Qt::red);
        QCOMPARE(getDefaultPalette().color(QPalette::Window), QColor(41, 41, 41));
    }

    void fonts()
    {
        const QFont font = getDefaultFont();
        QCOMPARE(font.family(), QStringLiteral("Arial"));
        QCOMPARE(font.pixelSize(), 12);
        QCOMPARE(font.weight(), QFont::Normal);
        QVERIFY(!font.italic());
        QCOMPARE(font.styleStrategy(), QFont::PreferAntialias);
        const QFont title = getTitleFont();
        QCOMPARE(title.pixelSize(), 14);
        QCOMPARE(title.family(), QStringLiteral("Arial"));
    }

    void arrowsAreDrawnInButtonText()
    {
        ArrowPixmapProvider* arrows = ArrowPixmapProvider::GetInstance();
        const QColor ink = QApplication::palette().color(QPalette::ButtonText);
        struct Case
        {
            const QPixmap& pixmap;
            QPoint tip;
            QPoint base;
        };
        const Case cases[] = {{arrows->getLittleLeftArrowPixmap(), {5, 6}, {8, 3}},
                              {arrows->getLittleRightArrowPixmap(), {8, 6}, {5, 9}},
                              {arrows->getLittleUpArrowPixmap(), {6, 5}, {3, 8}},
                              {arrows->getLittleDownArrowPixmap(), {6, 8}, {9, 5}}};
        for (const Case& c : cases) {
            QCOMPARE(c.pixmap.size(), QSize(13, 12));
            const QImage image = c.pixmap.toImage();
            QCOMPARE(image.pixelColor(c.tip), ink);
            QCOMPARE(image.pixelColor(c.base), ink);
            QCOMPARE(image.pixelColor(0, 0).alpha(), 0);
            QCOMPARE(image.pixelColor(12, 11).alpha(), 0);
        }
        // Made once, kept for good.
        QCOMPARE(&arrows->getLittleDownArrowPixmap(), &cases[3].pixmap);
    }

    void checkBoxShowsItsTick()
    {
        QStyle* style = QApplication::style();
        const QPalette palette = getDefaultPalette();
        auto paint = [&](QStyle::State state) {
            QImage image(14, 14, QImage::Format_ARGB32);
            image.fill(Qt::magenta);
            QStyleOptionButton option;
            option.rect = QRect(0, 0, 14, 14);
            option.palette = palette;
            option.state = state | QStyle::State_Enabled;
            QPainter painter(&image);
            style->drawPrimitive(QStyle::PE_IndicatorCheckBox, &option, &painter);
            return image;
        };
        const QImage off = paint(QStyle::State_Off);
        QCOMPARE(off.pixelColor(0, 0), palette.color(QPalette::Shadow));
        QCOMPARE(off.pixelColor(3, 6), palette.color(QPalette::Base));
        const QImage on = paint(QStyle::State_On);
        for (QPoint p : {QPoint(3, 5), QPoint(4, 8), QPoint(5, 9), QPoint(9, 3), QPoint(9, 5)})
            QCOMPARE(on.pixelColor(p), palette.color(QPalette::WindowText));
        const QImage partial = paint(QStyle::State_NoChange);
        QCOMPARE(partial.pixelColor(3, 5), palette.color(QPalette::Midlight));
        const QImage hovered = paint(QStyle::State_Off | QStyle::State_MouseOver);
        QCOMPARE(hovered.pixelColor(7, 7), palette.color(QPalette::AlternateBase));
        QCOMPARE(hovered.pixel(1, 1), palette.color(QPalette::Highlight).darker(125).rgb());
        QCOMPARE(hovered.pixel(2, 2), palette.color(QPalette::Highlight).darker(150).rgb());
    }

    void sliderHandleIsWhereItIsDrawn()
    {
        std::unique_ptr<QStyle> windows(QStyleFactory::create(QStringLiteral("Windows")));
        if (!windows)
            QSKIP("no plain style in this Qt");
        QSlider slider(Qt::Horizontal);
        slider.setRange(0, 127);
        slider.setValue(100);
        slider.resize(200, 24);
        QStyleOptionSlider option;
        option.initFrom(&slider);
        option.orientation = Qt::Horizontal;
        option.minimum = 0;
        option.maximum = 127;
        option.sliderPosition = 100;
        option.sliderValue = 100;
        option.subControls = QStyle::SC_SliderGroove | QStyle::SC_SliderHandle;
        const QRect ours =
            slider.style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle);
        QCOMPARE(ours, windows->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle));
        QCOMPARE(slider.style()->pixelMetric(QStyle::PM_SliderLength, &option),
                 windows->pixelMetric(QStyle::PM_SliderLength, &option));
        // Everything else is the Fusion look.
        auto* dunmoor = qobject_cast<DunmoorStyle*>(QApplication::style());
        QVERIFY(dunmoor);
        QCOMPARE(dunmoor->baseStyle()->name().toLower(), QStringLiteral("fusion"));
    }
};

QTEST_MAIN(LookAndFeelTest)
#include "tst_LookAndFeel.moc"
