#include "widgets/LookAndFeel.h"

#include "widgets/DunmoorStyle.h"

#include <QApplication>
#include <QColor>

namespace {

constexpr QPalette::ColorGroup allGroups[] = {QPalette::Active, QPalette::Inactive, QPalette::Disabled};

void setRole(QPalette& palette, QPalette::ColorRole role, const QColor& activeAndInactive,
             const QColor& disabled)
{
    palette.setColor(QPalette::Active, role, activeAndInactive);
    palette.setColor(QPalette::Inactive, role, activeAndInactive);
    palette.setColor(QPalette::Disabled, role, disabled);
}

void setRole(QPalette& palette, QPalette::ColorRole role, const QColor& everywhere)
{
    setRole(palette, role, everywhere, everywhere);
}

QPalette buildDefaultPalette()
{
    QPalette p;
    setRole(p, QPalette::Window, QColor(41, 41, 41));
    setRole(p, QPalette::WindowText, QColor(185, 185, 185), QColor(71, 71, 71));
    setRole(p, QPalette::Base, QColor(28, 28, 28));
    setRole(p, QPalette::AlternateBase, QColor(38, 38, 38));
    setRole(p, QPalette::Text, QColor(185, 185, 185), QColor(58, 58, 58));
    setRole(p, QPalette::ToolTipBase, QColor(255, 255, 183));
    setRole(p, QPalette::ToolTipText, QColor(0, 0, 0));
    setRole(p, QPalette::Button, QColor(71, 71, 71), QColor(41, 41, 41));
    setRole(p, QPalette::ButtonText, QColor(185, 185, 185), QColor(71, 71, 71));
    setRole(p, QPalette::BrightText, QColor(37, 37, 37));
    setRole(p, QPalette::Light, QColor(114, 114, 114));
    setRole(p, QPalette::Midlight, QColor(71, 71, 71));
    setRole(p, QPalette::Mid, QColor(55, 55, 55));
    setRole(p, QPalette::Dark, QColor(22, 22, 22));
    setRole(p, QPalette::Shadow, QColor(0, 0, 0));
    p.setColor(QPalette::Active, QPalette::Highlight, QColor(63, 127, 202));
    p.setColor(QPalette::Inactive, QPalette::Highlight, QColor(95, 95, 95));
    p.setColor(QPalette::Disabled, QPalette::Highlight, QColor(33, 97, 172));
    setRole(p, QPalette::HighlightedText, QColor(235, 235, 235));
    setRole(p, QPalette::Link, QColor(59, 119, 179));
    setRole(p, QPalette::LinkVisited, QColor(59, 119, 179));
    // Hint texts in empty fields: between the text colour and the base, readable but recessive.
    setRole(p, QPalette::PlaceholderText, QColor(110, 110, 110));
    return p;
}

QPalette buildActivatedPalette()
{
    QPalette p = getDefaultPalette();
    for (QPalette::ColorGroup group : allGroups) {
        p.setColor(group, QPalette::Window, QColor(58, 74, 93));
        p.setColor(group, QPalette::Button, QColor(63, 79, 98));
        p.setColor(group, QPalette::WindowText, p.color(group, QPalette::WindowText).lighter(107));
        p.setColor(group, QPalette::ButtonText, p.color(group, QPalette::ButtonText).lighter(107));
    }
    setRole(p, QPalette::Base, QColor(36, 49, 64), QColor(58, 74, 93));
    return p;
}

QPalette buildHoverPalette()
{
    QPalette p = getDefaultPalette();
    for (QPalette::ColorGroup group : allGroups) {
        p.setColor(group, QPalette::Window, p.color(group, QPalette::Window).lighter(110));
        p.setColor(group, QPalette::Button, p.color(group, QPalette::Button).lighter(110));
    }
    return p;
}

QPalette buildMuteButtonMutedPalette()
{
    QPalette p = getDefaultPalette();
    setRole(p, QPalette::Button, QColor(203, 138, 50));
    return p;
}

QFont buildDefaultFont()
{
    QFont font(QStringLiteral("Arial"));
    // The layouts are laid out in pixels; a pixel size keeps text the same size on every screen.
    font.setPixelSize(12);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

QFont buildTitleFont()
{
    QFont font = getDefaultFont();
    font.setPixelSize(font.pixelSize() + 2);
    return font;
}

// Built on first use, after the application object exists (fonts and palettes need it).
template <typename T, T (*build)()> T cached()
{
    Q_ASSERT_X(QCoreApplication::instance(), "LookAndFeel", "asked for before the application exists");
    static const T value = build();
    return value;
}

} // namespace

QPalette getDefaultPalette()
{
    return cached<QPalette, buildDefaultPalette>();
}
QPalette getActivatedPalette()
{
    return cached<QPalette, buildActivatedPalette>();
}
QPalette getHoverPalette()
{
    return cached<QPalette, buildHoverPalette>();
}
QPalette getMuteButtonMutedPalette()
{
    return cached<QPalette, buildMuteButtonMutedPalette>();
}
QFont getDefaultFont()
{
    return cached<QFont, buildDefaultFont>();
}
QFont getTitleFont()
{
    return cached<QFont, buildTitleFont>();
}

void styleTheApplication()
{
    QApplication::setStyle(new DunmoorStyle());
    QApplication::setFont(getDefaultFont());
    QApplication::setPalette(getDefaultPalette());
}
