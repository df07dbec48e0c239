#include "widgets/AllNotesKeyboardWidget.h"

#include "model/MIDIMessage.h"
#include "persistence/AppPrefs.h"
#include "persistence/AppPrefsChangeNotifier.h"
#include "persistence/PrefKeys.h"
#include "widgets/KeyWidget.h"

#include <QMouseEvent>

namespace {
constexpr int kNaturalKeyWidth = 15;
constexpr int kKeyHeight = 80;
constexpr int kAccidentalWidth = 11;
constexpr int kAccidentalHeight = 45;
} // namespace

AllNotesKeyboardWidget::AllNotesKeyboardWidget(QWidget* parent) : QWidget(parent)
{
    _showNoteVelocities =
        getBoolPrefValue(PrefKeys::KeyboardShowNoteVelocities, PrefKeys::KeyboardShowNoteVelocitiesDefault);
    setBackgroundRole(QPalette::Shadow);
    setAutoFillBackground(true);
    QPalette keyboardPalette = palette();
    keyboardPalette.setColor(QPalette::Light, QColor(QStringLiteral("#eeeeee")));
    keyboardPalette.setColor(QPalette::Dark, QColor(QStringLiteral("#333333")));
    keyboardPalette.setColor(QPalette::Midlight, QColor(215, 131, 158));
    keyboardPalette.setColor(QPalette::Mid, QColor(QStringLiteral("#777777")));
    keyboardPalette.setColor(QPalette::Shadow, QColor(Qt::black));
    setPalette(keyboardPalette);
    _buildKeys();
    // The note names are read once before following the preference, so the note name table
    // follows "MiddleCName" before the keys ask it again.
    connect(AppPrefsChangeNotifier::GetInstance(), &AppPrefsChangeNotifier::prefValueChanged, this,
            &AllNotesKeyboardWidget::_prefValueChangedSLOT);
}

bool AllNotesKeyboardWidget::isAccidental(int noteNum)
{
    switch (noteNum % 12) {
    case 1:
    case 3:
    case 6:
    case 8:
    case 10:
        return true;
    default:
        return false;
    }
}

void AllNotesKeyboardWidget::_buildKeys()
{
    int x = 0;
    _keys.reserve(128);
    for (int note = 0; note < 128; ++note) {
        auto* key = new KeyWidget(note, this);
        key->showNoteVelocityWhenPressed(_showNoteVelocities);
        if (isAccidental(note)) {
            key->showAsAccidental(true);
            key->setGeometry(x - kAccidentalWidth / 2, 0, kAccidentalWidth, kAccidentalHeight);
        } else {
            key->setGeometry(x, 0, kNaturalKeyWidth, kKeyHeight);
            x += kNaturalKeyWidth;
        }
        connect(key, &KeyWidget::notePressed, this, &AllNotesKeyboardWidget::notePressed);
        connect(key, &KeyWidget::noteReleased, this, &AllNotesKeyboardWidget::noteReleased);
        _keys.append(key);
    }
    for (KeyWidget* key : std::as_const(_keys)) {
        if (key->isAccidental())
            key->raise();
    }
    _setNoteNames();
    setFixedSize(x + 1, kKeyHeight);
}

void AllNotesKeyboardWidget::_setNoteNames()
{
    for (KeyWidget* key : std::as_const(_keys)) {
        const QString name = QString::fromLatin1(getMIDINoteName(BYTE(key->getNoteNum())));
        key->setNoteName(name);
        key->showNoteName(name.startsWith(QLatin1Char('C')) && !name.startsWith(QLatin1String("C#")));
    }
}

KeyWidget* AllNotesKeyboardWidget::getKeyWidgetForNote(int noteNum) const
{
    return (noteNum >= 0 && noteNum < _keys.size()) ? _keys.at(noteNum) : nullptr;
}

void AllNotesKeyboardWidget::reset()
{
    for (KeyWidget* key : std::as_const(_keys)) {
        key->showAsDisabled(false);
        key->showAsKeyswitch(false, QString());
        key->showAsPressed(false, -1);
    }
}

void AllNotesKeyboardWidget::showNotePressed(int noteNum, int velocity)
{
    if (KeyWidget* key = getKeyWidgetForNote(noteNum))
        key->showAsPressed(true, velocity);
}

void AllNotesKeyboardWidget::showNoteReleased(int noteNum)
{
    if (KeyWidget* key = getKeyWidgetForNote(noteNum))
        key->showAsPressed(false, -1);
}

void AllNotesKeyboardWidget::releaseMousePressedKey()
{
    KeyWidget* key = _pressedKey;
    _pressedKey = nullptr;
    if (key)
        key->release();
}

KeyWidget* AllNotesKeyboardWidget::_keyAt(const QPoint& pos) const
{
    if (!rect().contains(pos))
        return nullptr;
    // Inside a scroll area only the part in view counts: a pointer beyond the viewport's edge has
    // left the keyboard even though the widget continues there.
    QRect visible = rect();
    QPoint offset;
    for (const QWidget* w = this; !w->isWindow() && w->parentWidget(); w = w->parentWidget()) {
        offset += w->pos();
        visible &= w->parentWidget()->rect().translated(-offset);
    }
    if (!visible.contains(pos))
        return nullptr;
    return qobject_cast<KeyWidget*>(childAt(pos));
}

void AllNotesKeyboardWidget::_pressKey(KeyWidget* key, const QPoint& globalPos)
{
    _pressedKey = key;
    key->press(globalPos, _indicateMousePresses);
}

void AllNotesKeyboardWidget::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    // A press without the release of the one before (the release went elsewhere) ends that note.
    releaseMousePressedKey();
    _mouseDown = true;
    if (KeyWidget* key = _keyAt(event->position().toPoint()))
        _pressKey(key, event->globalPosition().toPoint());
    event->accept();
}

void AllNotesKeyboardWidget::mouseMoveEvent(QMouseEvent* event)
{
    if (!_mouseDown || !(event->buttons() & Qt::LeftButton))
        return QWidget::mouseMoveEvent(event);
    KeyWidget* key = _keyAt(event->position().toPoint());
    if (key == _pressedKey)
        return;
    // Gliding plays each key in turn; leaving the keys ends the note.
    releaseMousePressedKey();
    if (key)
        _pressKey(key, event->globalPosition().toPoint());
}

void AllNotesKeyboardWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !_mouseDown)
        return QWidget::mouseReleaseEvent(event);
    _mouseDown = false;
    releaseMousePressedKey();
    event->accept();
}

void AllNotesKeyboardWidget::hideEvent(QHideEvent* event)
{
    _mouseDown = false;
    releaseMousePressedKey();
    QWidget::hideEvent(event);
}

bool AllNotesKeyboardWidget::event(QEvent* event)
{
    // The release of a button held while the window loses focus goes elsewhere; so does one
    // while the keyboard is disabled.
    if (event->type() == QEvent::WindowDeactivate ||
        (event->type() == QEvent::EnabledChange && !isEnabled())) {
        _mouseDown = false;
        releaseMousePressedKey();
    }
    return QWidget::event(event);
}

void AllNotesKeyboardWidget::_prefValueChangedSLOT(const QString& prefKey)
{
    if (prefKey == PrefKeys::MiddleCName) {
        _setNoteNames();
    } else if (prefKey == PrefKeys::KeyboardShowNoteVelocities) {
        _showNoteVelocities = getBoolPrefValue(PrefKeys::KeyboardShowNoteVelocities,
                                               PrefKeys::KeyboardShowNoteVelocitiesDefault);
        for (KeyWidget* key : std::as_const(_keys))
            key->showNoteVelocityWhenPressed(_showNoteVelocities);
    }
}
