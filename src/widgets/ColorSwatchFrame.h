#pragma once

#include <QColor>
#include <QFrame>
#include <QPoint>

/// A square of one colour that the user edits: a click opens the colour dialog, a drag carries the
/// colour onto another swatch, and the context menu picks a colour from the screen. GUI thread only.
class ColorSwatchFrame : public QFrame
{
    Q_OBJECT

public:
    ColorSwatchFrame(const QColor& color, QWidget* parent);

    QColor getColor() const { return _color; }
    /// Stores a different colour, repaints and announces it; an invalid colour is ignored.
    void setColor(const QColor& color);

    /// False where the platform cannot read the screen (Wayland); the pick action is then hidden.
    static bool canPickFromScreen();
    bool isPickingFromScreen() const { return _pickingFromScreen; }

public slots:
    /// Grabs mouse and keyboard: the next press takes the colour under the pointer, Escape cancels.
    void startPickingFromScreen();

signals:
    void colorChangedTo(QColor newColor);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void _stopPickingFromScreen();
    void _pickColorAt(const QPoint& globalPos);
    void _startDrag();
    void _openColorDialog();

    QColor _color;
    QPoint _pressPoint;
    bool _pressed = false;
    bool _movedSincePress = false;
    bool _pickingFromScreen = false;
};
