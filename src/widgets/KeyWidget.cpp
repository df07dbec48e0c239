#include "widgets/KeyWidget.h"

#include "widgets/PlainTextToolTip.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

KeyWidget::KeyWidget(int noteNum, QWidget* parent) : QLabel(parent), _noteNum(noteNum)
{
    setAutoFillBackground(true);
    setAlignment(Qt::AlignBottom | Qt::AlignHCenter);
    setTextFormat(Qt::PlainText);
    setForegroundRole(QPalette::Shadow);
    QFont keyFont(QStringLiteral("Arial"));
    keyFont.setPixelSize(6);
    setFont(keyFont);
    _updateStyling();
}

void KeyWidget::setNoteName(const QString& name)
{
    _noteName = name;
    setText(_showNoteName ? _noteName : QString());
    _updateToolTip();
}

void KeyWidget::showNoteName(bool show)
{
    _showNoteName = show;
    setText(_showNoteName ? _noteName : QString());
}

void KeyWidget::showAsAccidental(bool accidental)
{
    if (accidental == _accidental)
        return;
    _accidental = accidental;
    QPalette keyPalette = palette();
    if (accidental)
        keyPalette.setColor(QPalette::Midlight, QColor(143, 79, 99)); // darker tint of a keyswitch
    setPalette(keyPalette);
    _updateStyling();
}

void KeyWidget::showAsPressed(bool pressed, int velocity)
{
    _pressed = pressed;
    _velocityShown = pressed ? velocity : -1;
    _updateStyling();
}

void KeyWidget::showAsDisabled(bool disabled)
{
    _disabled = disabled;
    _updateStyling();
    _updateToolTip();
}

void KeyWidget::showAsKeyswitch(bool keyswitch, const QString& text)
{
    _keyswitch = keyswitch;
    _keyswitchText = keyswitch ? text : QString();
    _updateStyling();
    _updateToolTip();
}

void KeyWidget::showNoteVelocityWhenPressed(bool show)
{
    if (show == _showVelocityWhenPressed)
        return;
    _showVelocityWhenPressed = show;
    update();
}

int KeyWidget::velocityForPressAt(const QPoint& globalPos) const
{
    const int keyHeight = std::max(1, height());
    const int y = std::clamp(mapFromGlobal(globalPos).y(), 0, keyHeight - 1);
    return std::clamp(127 * (y + 1) / keyHeight, 1, 127);
}

void KeyWidget::press(const QPoint& globalPos, bool showPressed)
{
    const int velocity = velocityForPressAt(globalPos);
    if (showPressed)
        showAsPressed(true, -1);
    emit notePressed(_noteNum, velocity);
}

void KeyWidget::release()
{
    showAsPressed(false, -1);
    emit noteReleased(_noteNum);
}

void KeyWidget::_updateStyling()
{
    QPalette::ColorRole role = _accidental ? QPalette::Dark : QPalette::Light;
    if (_disabled)
        role = QPalette::Mid;
    else if (_keyswitch)
        role = QPalette::Midlight;
    if (_pressed)
        role = QPalette::Highlight;
    setBackgroundRole(role);
    update();
}

void KeyWidget::_updateToolTip()
{
    QString tip = _noteName;
    if (!_keyswitchText.isEmpty())
        tip += QStringLiteral(": ") + _keyswitchText;
    if (_disabled)
        tip += QStringLiteral(" (disabled)");
    setToolTip(plainTextToolTip(tip));
}

void KeyWidget::paintEvent(QPaintEvent* event)
{
    QLabel::paintEvent(event);
    QPainter painter(this);
    const int outlineWidth = _accidental ? width() - 1 : width();
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(0, 0, outlineWidth, height() - 1);
    if (_showVelocityWhenPressed && _velocityShown >= 0 && _velocityShown <= 127) {
        const int y = height() - int(std::lround(double(height()) * _velocityShown / 127.0));
        painter.setPen(palette().color(QPalette::ToolTipBase));
        painter.drawLine(1, y, outlineWidth - 1, y);
    }
}
