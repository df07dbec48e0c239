#pragma once

#include <QAction>
#include <QPointer>

class ColorChoice;

/// A menu entry for one colour label: the label's name and a 16 by 16 square of its colour. It
/// follows later changes of the label so a menu kept open or reused never shows stale entries.
/// GUI thread only.
class ColorChoiceAction : public QAction
{
    Q_OBJECT

public:
    ColorChoiceAction(ColorChoice* colorChoice, QObject* parent);

    /// Null once the label is gone.
    ColorChoice* getColorChoice() const { return _colorChoice; }

private slots:
    void _updateFromChoiceSLOT();

private:
    QPointer<ColorChoice> _colorChoice;
};
