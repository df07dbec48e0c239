#pragma once

#include <QScrollArea>

/// A scroll area whose arrow keys walk through the panels it holds instead of scrolling: each of
/// the four arrow keys is announced by a signal, whatever modifiers are held. Other keys scroll
/// as usual. GUI thread only.
class ArrowKeyPressSignalingScrollArea : public QScrollArea
{
    Q_OBJECT

public:
    explicit ArrowKeyPressSignalingScrollArea(QWidget* parent);

signals:
    void upArrowKeyPressed();
    void downArrowKeyPressed();
    void leftArrowKeyPressed();
    void rightArrowKeyPressed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
