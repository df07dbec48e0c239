#pragma once

#include <QLabel>

/// The little down arrow of a menu button, at the arrow's own fixed size. GUI thread only.
class DownArrowLabel : public QLabel
{
    Q_OBJECT

public:
    explicit DownArrowLabel(QWidget* parent = nullptr);
};
