#pragma once

#include <QLabel>

/// A plain-text label that paints its text itself, over a soft shadow when the text is lighter
/// than the window. GUI thread only.
class DropShadowLabel : public QLabel
{
    Q_OBJECT

public:
    explicit DropShadowLabel(QWidget* parent = nullptr);
    explicit DropShadowLabel(const QString& text, QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};
