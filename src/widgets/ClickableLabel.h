#pragma once

#include <QLabel>

/// A label that reports presses of any mouse button: shiftClicked() when exactly Shift is held,
/// clicked() otherwise. GUI thread only.
class ClickableLabel : public QLabel
{
    Q_OBJECT

public:
    explicit ClickableLabel(QWidget* parent = nullptr);
    explicit ClickableLabel(const QString& text, QWidget* parent = nullptr);

signals:
    void clicked();
    void shiftClicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
};
