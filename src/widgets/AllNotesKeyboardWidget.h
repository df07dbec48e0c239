#pragma once

#include <QLabel>
#include <QVector>
#include <QWidget>

/// Stand-in until the keyboard is merged.
class KeyWidget : public QLabel
{
    Q_OBJECT

public:
    KeyWidget(int note, QWidget* parent);
    int getNoteNum() const { return _note; }
    void showAsDisabled(bool disabled);
    bool isShownDisabled() const { return _disabled; }
    void showAsPressed(bool pressed, int velocity);
    bool isShownPressed() const { return _pressed; }
    void press(const QPoint& globalPos, bool show);
    void release();

signals:
    void notePressed(int noteNum, int velocity);
    void noteReleased(int noteNum);

private:
    void _restyle();
    int _note;
    bool _disabled = false;
    bool _pressed = false;
};

class AllNotesKeyboardWidget : public QWidget
{
    Q_OBJECT

public:
    explicit AllNotesKeyboardWidget(QWidget* parent);
    KeyWidget* getKeyWidgetForNote(int note) const { return _keys.value(note); }
    void indicateMousePresses(bool indicate) { _indicate = indicate; }

public slots:
    void reset();
    void showNotePressed(int noteNum, int velocity = 127);
    void showNoteReleased(int noteNum);

signals:
    void notePressed(int noteNum, int velocity);
    void noteReleased(int noteNum);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    KeyWidget* _keyAt(const QPoint& pos) const;
    QVector<KeyWidget*> _keys;
    KeyWidget* _pressedKey = nullptr;
    bool _indicate = true;
};
