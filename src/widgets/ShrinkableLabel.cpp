#include "widgets/ShrinkableLabel.h"

#include <QFontMetrics>

ShrinkableLabel::ShrinkableLabel(QWidget* parent) : ShrinkableLabel(QString(), parent) {}

ShrinkableLabel::ShrinkableLabel(const QString& text, QWidget* parent) : QLabel(parent)
{
    // Names from files and devices: never taken as markup.
    setTextFormat(Qt::PlainText);
    setText(text);
}

void ShrinkableLabel::setText(const QString& text)
{
    _fullText = text;
    _elide();
    updateGeometry();
}

void ShrinkableLabel::setTextElideMode(Qt::TextElideMode mode)
{
    _elideMode = mode;
    _elide();
}

QSize ShrinkableLabel::sizeHint() const
{
    QSize hint = QLabel::sizeHint();
    // The advance can exceed the ink's bounding box (trailing blanks, side bearings); take the
    // wider so that a label given its size hint shows the whole text.
    const QFontMetrics metrics = fontMetrics();
    hint.setWidth(std::max(metrics.boundingRect(_fullText).width(), metrics.horizontalAdvance(_fullText)) +
                  1);
    return hint;
}

QSize ShrinkableLabel::minimumSizeHint() const
{
    QSize hint = QLabel::minimumSizeHint();
    const int ellipsisWidth = fontMetrics().horizontalAdvance(QChar(0x2026)) + 1;
    hint.setWidth(std::min(ellipsisWidth, sizeHint().width()));
    return hint;
}

void ShrinkableLabel::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    _elide();
}

void ShrinkableLabel::showEvent(QShowEvent* event)
{
    QLabel::showEvent(event);
    _elide();
}

void ShrinkableLabel::_elide()
{
    const QString shown = fontMetrics().elidedText(_fullText, _elideMode, width());
    if (shown != QLabel::text())
        QLabel::setText(shown);
    // A tool tip is rich text when it looks like it: names from files and ports are shown as
    // they stand, escaped, with their spaces kept.
    setToolTip(shown != _fullText ? QStringLiteral("<p style='white-space:pre'>") +
                                        _fullText.toHtmlEscaped() + QStringLiteral("</p>")
                                  : QString());
}
