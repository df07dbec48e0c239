#pragma once

#include <QScrollArea>

/// The scroll area around the on-screen keyboard: the mouse wheel scrolls it sideways, 15 pixels
/// per standard notch. GUI thread only.
class KeyboardScrollArea : public QScrollArea
{
    Q_OBJECT

public:
    explicit KeyboardScrollArea(QWidget* parent);

protected:
    void wheelEvent(QWheelEvent* event) override;
};
