#pragma once

#include <QLabel>
#include <QPoint>
#include <QString>

/// One key of the on-screen keyboard: shows its state (pressed with a velocity mark, keyswitch
/// with the output it selects, disabled) and turns a press at a height into a velocity. The
/// keyboard places it by hand. GUI thread only.
class KeyWidget : public QLabel
{
    Q_OBJECT

public:
    KeyWidget(int noteNum, QWidget* parent);

    int getNoteNum() const { return _noteNum; }
    QString getNoteName() const { return _noteName; }
    QString getKeyswitchText() const { return _keyswitchText; }
    /// -1 when no velocity is shown.
    int getVelocityShown() const { return _velocityShown; }
    bool isAccidental() const { return _accidental; }
    bool isShownAsPressed() const { return _pressed; }
    bool isShownAsDisabled() const { return _disabled; }
    bool isShownAsKeyswitch() const { return _keyswitch; }
    bool isShowingNoteName() const { return _showNoteName; }

    void setNoteName(const QString& name);
    void showNoteName(bool show);
    void showAsAccidental(bool accidental);
    /// A velocity outside 0 to 127 shows no mark.
    void showAsPressed(bool pressed, int velocity);
    void showAsDisabled(bool disabled);
    void showAsKeyswitch(bool keyswitch, const QString& text);
    void showNoteVelocityWhenPressed(bool show);

    /// The velocity a press at this height gives: 1 at the top row to 127 at the bottom, and
    /// always within 1 to 127, even for a point on the edge or outside the key.
    int velocityForPressAt(const QPoint& globalPos) const;
    /// Presses the key at a screen position: shows it pressed when asked (without a mark until
    /// the echo brings the velocity) and emits notePressed.
    void press(const QPoint& globalPos, bool showPressed);
    /// Shows the key released and emits noteReleased.
    void release();

signals:
    void notePressed(int noteNum, int velocity);
    void noteReleased(int noteNum);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void _updateStyling();
    void _updateToolTip();

    int _noteNum;
    QString _noteName;
    QString _keyswitchText;
    int _velocityShown = -1;
    bool _accidental = false;
    bool _showNoteName = false;
    bool _disabled = false;
    bool _keyswitch = false;
    bool _pressed = false;
    bool _showVelocityWhenPressed = true;
};
