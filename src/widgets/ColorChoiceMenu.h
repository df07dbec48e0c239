#pragma once

#include <QMenu>

class ColorChoice;
class QAction;

/// The menu from which a colour label is chosen: "No Color", then every label of the registry in
/// index order. Titled "Set Color Label" for use as a submenu. GUI thread only.
class ColorChoiceMenu : public QMenu
{
    Q_OBJECT

public:
    explicit ColorChoiceMenu(QWidget* parent);

    QAction* getNoColorAction() const { return _noColorAction; }

signals:
    void colorChoiceSelected(ColorChoice* colorChoice);
    void colorSelected(QColor colorValue, QString colorName);
    void noColorSelected();

private slots:
    void _actionTriggeredSLOT(QAction* action);

private:
    QAction* _noColorAction = nullptr;
};
