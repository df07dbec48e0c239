#pragma once

#include "widgets/MenuButton.h"

class DownArrowLabel;
class QHBoxLayout;
class ShrinkableLabel;

/// A menu button 21 pixels high that shows a text shortened in the middle when space is short,
/// followed by a little down arrow. GUI thread only.
class ShrinkableTextMenuButton : public MenuButton
{
    Q_OBJECT

public:
    explicit ShrinkableTextMenuButton(QWidget* parent = nullptr);

    void setDisplayText(const QString& text);
    QString getDisplayText() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

private:
    void _buildUI();

    QHBoxLayout* _layout = nullptr;
    ShrinkableLabel* _label = nullptr;
    DownArrowLabel* _arrow = nullptr;
};
