#pragma once

#include <QPoint>
#include <QPushButton>

/// A small icon button sitting in a row whose items the user reorders by dragging (a transform
/// or initializer in a strip). Presses and moves also reach the parent, so a drag that starts
/// on the button drags the row item; a press that turns into such a drag does not click.
/// GUI thread only.
class ObjectIndicatorWidget : public QPushButton
{
    Q_OBJECT

public:
    explicit ObjectIndicatorWidget(QWidget* parent = nullptr);

    bool isDragging() const { return _dragging; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool _dragging = false;
    QPoint _pressPoint;
};
