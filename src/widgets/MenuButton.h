#pragma once

#include <QPushButton>

/// A push button that asks for its menu as soon as it is pressed (menuRequested()), and lets
/// itself up again at once so that it does not stay down while the menu is open. Never a default
/// button. GUI thread only.
class MenuButton : public QPushButton
{
    Q_OBJECT

public:
    explicit MenuButton(QWidget* parent = nullptr);
    explicit MenuButton(const QString& text, QWidget* parent = nullptr);

signals:
    void menuRequested();

protected:
    void mousePressEvent(QMouseEvent* event) override;
};
