#pragma once

#include <QComboBox>

/// A combo box that leaves the mouse wheel to its parent: scrolling a long panel over it scrolls
/// the panel and never changes a value by accident. GUI thread only.
class NoWheelComboBox : public QComboBox
{
    Q_OBJECT

public:
    explicit NoWheelComboBox(QWidget* parent = nullptr);

protected:
    void wheelEvent(QWheelEvent* event) override;
};
