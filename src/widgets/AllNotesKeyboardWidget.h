#pragma once

#include <QVector>
#include <QWidget>

class KeyWidget;

/// A keyboard of all 128 MIDI notes, 1126 by 80 pixels, played with the mouse: a press plays the
/// key under the pointer, gliding plays each key in turn, and whatever ends the gesture (release,
/// the pointer leaving the keys, the window losing focus, the keyboard being hidden) releases the
/// key, so every notePressed is followed by its noteReleased. Shows sounding notes with a mark for
/// their velocity. GUI thread only.
class AllNotesKeyboardWidget : public QWidget
{
    Q_OBJECT

public:
    explicit AllNotesKeyboardWidget(QWidget* parent);

    /// Null outside 0 to 127.
    KeyWidget* getKeyWidgetForNote(int noteNum) const;
    /// The key the mouse holds down now, or null.
    KeyWidget* getMousePressedKey() const { return _pressedKey; }
    /// Whether a mouse press shows the key pressed at once (before any echo).
    void indicateMousePresses(bool indicate) { _indicateMousePresses = indicate; }
    bool isShowingNoteVelocities() const { return _showNoteVelocities; }

    static bool isAccidental(int noteNum);

public slots:
    /// Every key plain: not disabled, not keyswitch, not pressed.
    void reset();
    void showNotePressed(int noteNum, int velocity = 127);
    void showNoteReleased(int noteNum);
    /// Ends a mouse gesture now: the held key, if any, is released (noteReleased is emitted).
    void releaseMousePressedKey();

signals:
    void notePressed(int noteNum, int velocity);
    void noteReleased(int noteNum);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool event(QEvent* event) override;
    /// The key under a point of this widget that the user can see, or null.
    KeyWidget* _keyAt(const QPoint& pos) const;

private slots:
    void _prefValueChangedSLOT(const QString& prefKey);

private:
    void _buildKeys();
    void _setNoteNames();
    void _pressKey(KeyWidget* key, const QPoint& globalPos);

    QVector<KeyWidget*> _keys;
    KeyWidget* _pressedKey = nullptr;
    bool _mouseDown = false;
    bool _indicateMousePresses = true;
    bool _showNoteVelocities = true;
};
