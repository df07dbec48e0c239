#include "widgets/AllNotesKeyboardWidget.h"

#include <QMouseEvent>

KeyWidget::KeyWidget(int note, QWidget* parent) : QLabel(parent), _note(note)
{
    setAutoFillBackground(true);
    _restyle();
}

void KeyWidget::showAsDisabled(bool disabled)
{
    _disabled = disabled;
    _restyle();
}

void KeyWidget::showAsPressed(bool pressed, int /*velocity*/)
{
    _pressed = pressed;
    _restyle();
}

void KeyWidget::press(const QPoint& /*globalPos*/, bool show)
{
    if (show)
        showAsPressed(true, -1);
    emit notePressed(_note, 100);
}

void KeyWidget::release()
{
    showAsPressed(false, -1);
    emit noteReleased(_note);
}

void KeyWidget::_restyle()
{
    const int n = _note % 12;
    const bool accidental = n == 1 || n == 3 || n == 6 || n == 8 || n == 10;
    setBackgroundRole(_pressed
                          ? QPalette::Highlight
                          : (_disabled ? QPalette::Mid : (accidental ? QPalette::Dark : QPalette::Light)));
}

AllNotesKeyboardWidget::AllNotesKeyboardWidget(QWidget* parent) : QWidget(parent)
{
    int x = 0;
    for (int note = 0; note < 128; ++note) {
        auto* key = new KeyWidget(note, this);
        const int n = note % 12;
        if (n == 1 || n == 3 || n == 6 || n == 8 || n == 10) {
            key->setGeometry(x - 5, 0, 11, 45);
        } else {
            key->setGeometry(x, 0, 15, 80);
            x += 15;
        }
        connect(key, &KeyWidget::notePressed, this, &AllNotesKeyboardWidget::notePressed);
        connect(key, &KeyWidget::noteReleased, this, &AllNotesKeyboardWidget::noteReleased);
        _keys.append(key);
    }
    for (KeyWidget* key : std::as_const(_keys)) {
        const int n = key->getNoteNum() % 12;
        if (n == 1 || n == 3 || n == 6 || n == 8 || n == 10)
            key->raise();
    }
    setFixedSize(x + 1, 80);
}

void AllNotesKeyboardWidget::reset()
{
    for (KeyWidget* key : std::as_const(_keys)) {
        key->showAsDisabled(false);
        key->showAsPressed(false, -1);
    }
}

void AllNotesKeyboardWidget::showNotePressed(int noteNum, int velocity)
{
    if (KeyWidget* key = _keys.value(noteNum))
        key->showAsPressed(true, velocity);
}

void AllNotesKeyboardWidget::showNoteReleased(int noteNum)
{
    if (KeyWidget* key = _keys.value(noteNum))
        key->showAsPressed(false, -1);
}

KeyWidget* AllNotesKeyboardWidget::_keyAt(const QPoint& pos) const
{
    return qobject_cast<KeyWidget*>(childAt(pos));
}

void AllNotesKeyboardWidget::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    _pressedKey = _keyAt(event->position().toPoint());
    if (_pressedKey)
        _pressedKey->press(event->globalPosition().toPoint(), _indicate);
    event->accept();
}

void AllNotesKeyboardWidget::mouseMoveEvent(QMouseEvent* event)
{
    KeyWidget* key = _keyAt(event->position().toPoint());
    if (key == nullptr || key == _pressedKey || !(event->buttons() & Qt::LeftButton))
        return;
    if (_pressedKey)
        _pressedKey->release();
    _pressedKey = key;
    key->press(event->globalPosition().toPoint(), _indicate);
}

void AllNotesKeyboardWidget::mouseReleaseEvent(QMouseEvent* /*event*/)
{
    if (_pressedKey)
        _pressedKey->release();
    _pressedKey = nullptr;
}
