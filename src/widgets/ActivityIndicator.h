#pragma once

#include <QColor>
#include <QFrame>

/// A small sunken lamp that lights in the highlight colour for 100 ms on each blink(): the
/// "message seen" light of an input or output. GUI thread only.
class ActivityIndicator : public QFrame
{
    Q_OBJECT

public:
    explicit ActivityIndicator(QWidget* parent = nullptr);

    bool isOn() const { return _on; }

public slots:
    /// Lights the lamp; it goes out 100 ms after the earliest blink whose time has not run out.
    void blink();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void _setOn(bool on);

    bool _on = false;
    QColor _onColor;
    QColor _offColor;
    QRect _innerRect;
};
