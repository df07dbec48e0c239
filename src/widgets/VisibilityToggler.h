#pragma once

#include "widgets/ClickableLabel.h"

/// The little arrow that collapses (pointing right) or expands (pointing down) a panel's
/// innards. A click flips it and reports the new state through clicked(bool); a Shift-click
/// flips it and reports through shiftClicked(bool), which listeners apply to every sibling.
/// Starts open. GUI thread only.
class VisibilityToggler : public ClickableLabel
{
    Q_OBJECT

public:
    explicit VisibilityToggler(QWidget* parent = nullptr);

    bool isOpen() const { return _open; }

public slots:
    void setOpen(bool open);

signals:
    void clicked(bool nowOpen);
    void shiftClicked(bool nowOpen);
    void openChangedTo(bool nowOpen);

private slots:
    void _clickedSLOT();
    void _shiftClickedSLOT();

private:
    bool _open = true;
};
