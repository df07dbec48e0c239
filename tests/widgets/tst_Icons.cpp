#include "widgets/ArrowPixmapProvider.h"

#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QRegularExpression>
#include <QTest>

// Every picture the windows ask for is compiled in, at the size its name gives, with a copy at
// twice the size for high-density screens.
class IconsTest : public QObject
{
    Q_OBJECT

    const QStringList _names{
        "PayPal_DonateNow",
        "aftertouch_16x16",
        "aftertouch_to_cc_16x16",
        "cc_16x16",
        "cc_copy_16x16",
        "cc_map_16x16",
        "ceiling_16x16",
        "change_cc_num_16x16",
        "constant_delay_12x12",
        "converge_on_note_16x16",
        "copy_16x16",
        "default_map_16x16",
        "duplicate_16x16",
        "floor_16x16",
        "generic_add_11x11",
        "generic_add_16x16",
        "generic_add_8x8",
        "ignore_all_cc_16x16",
        "ignore_all_notes_16x16",
        "ignore_cc_16x16",
        "ignore_channel_aftertouch_16x16",
        "ignore_pitch_change_16x16",
        "initializers_12x12",
        "inspector_16x16",
        "invert_16x16",
        "invert_pitch_change_16x16",
        "keyboard_16x16",
        "labels_16x16",
        "make_monophonic_16x16",
        "midi_input_12x12",
        "midi_input_16x16",
        "midi_output_12x12",
        "midi_output_16x16",
        "new_16x16",
        "note_16x16",
        "note_filter_16x16",
        "note_off_16x16",
        "open_16x16",
        "output_activated_12x12",
        "output_activated_16x16",
        "output_activation_12x12",
        "output_activation_16x16",
        "paste_16x16",
        "pitch_16x16",
        "pitch_change_to_cc_16x16",
        "program_change_16x16",
        "quit_16x16",
        "quorvell_32x32",
        "random_delay_12x12",
        "remove_16x16",
        "replace_16x16",
        "reverse_16x16",
        "save_16x16",
        "settings_16x16",
        "sine_ramp_16x16",
        "text_16x16",
        "transforms_12x12",
        "transpose_16x16",
        "velocity_filter_16x16",
        "velocity_from_cc_16x16",
        "velocity_map_16x16",
        "velocity_to_cc_16x16",
        "velocity_variation_16x16",
        "volume_16x16",
        "warning_16x16",
        "whats_this_16x16",
    };

private slots:
    void everyIconIsCompiledInAtItsSize()
    {
        QCOMPARE(_names.size(), 66);
        const QRegularExpression sizeInName(QStringLiteral("_(\\d+)x(\\d+)$"));
        for (const QString& name : _names) {
            const QString path = QStringLiteral(":/icons/") + name + QStringLiteral(".png");
            const QImage image(path);
            QVERIFY2(!image.isNull(), qPrintable(path));
            const QImage doubled(QStringLiteral(":/icons/") + name + QStringLiteral("@2x.png"));
            QVERIFY2(!doubled.isNull(), qPrintable(name + QStringLiteral("@2x")));
            QCOMPARE(doubled.size(), image.size() * 2);
            const QRegularExpressionMatch match = sizeInName.match(name);
            if (match.hasMatch())
                QCOMPARE(image.size(), QSize(match.captured(1).toInt(), match.captured(2).toInt()));
            // Drawn on a transparent ground, with something on it.
            QVERIFY2(image.hasAlphaChannel(), qPrintable(name));
            bool inked = false;
            for (int y = 0; y < image.height() && !inked; ++y)
                for (int x = 0; x < image.width() && !inked; ++x)
                    inked = qAlpha(image.pixel(x, y)) > 128;
            QVERIFY2(inked, qPrintable(name));
        }
    }

    void iconsPickTheSharpCopyOnDenseScreens()
    {
        // This test runs as on a screen of twice the density (see main below).
        QCOMPARE(qApp->devicePixelRatio(), 2.0);
        const QIcon icon(QStringLiteral(":/icons/settings_16x16.png"));
        const QPixmap pixmap = icon.pixmap(QSize(16, 16));
        QCOMPARE(pixmap.size(), QSize(32, 32));
        QVERIFY(icon.availableSizes().contains(QSize(32, 32)));
        QCOMPARE(pixmap.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
                 QImage(QStringLiteral(":/icons/settings_16x16@2x.png"))
                     .convertToFormat(QImage::Format_ARGB32_Premultiplied));
    }

    void littleArrowsAreSharpOnDenseScreens()
    {
        const QPixmap& left = ArrowPixmapProvider::GetInstance()->getLittleLeftArrowPixmap();
        QCOMPARE(left.devicePixelRatio(), 2.0);
        QCOMPARE(left.deviceIndependentSize(), QSizeF(13, 12));
        const QImage image = left.toImage();
        const QColor ink = QApplication::palette().color(QPalette::ButtonText);
        // The tip pixel (5,6) becomes a solid 2 by 2 block with nothing smeared beside it.
        for (QPoint p : {QPoint(10, 12), QPoint(11, 12), QPoint(10, 13), QPoint(11, 13)})
            QCOMPARE(image.pixelColor(p), ink);
        QCOMPARE(image.pixelColor(9, 12).alpha(), 0);
        QCOMPARE(image.pixelColor(10, 11).alpha(), 0);
    }
};

int main(int argc, char** argv)
{
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    IconsTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_Icons.moc"
