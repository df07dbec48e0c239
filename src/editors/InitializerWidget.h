#pragma once

#include "widgets/ObjectIndicatorWidget.h"

#include <QPointer>

class MIDIPatchInitializer;

/// The indicator of one initializer in a patch's initializer strip: the type's icon. A click
/// opens the initializer's editor; the context menu removes initializers (Shift: all of the
/// patch; Alt: this one and those after it). GUI thread only.
class InitializerWidget : public ObjectIndicatorWidget
{
    Q_OBJECT

public:
    InitializerWidget(MIDIPatchInitializer* initializer, QWidget* parent);

    MIDIPatchInitializer* getMIDIPatchInitializer() const;

    /// What the context menu's "Remove" entry does with the given modifiers. Runs at once; the
    /// menu defers it until the menu has closed.
    void removeWithModifiers(Qt::KeyboardModifiers modifiers);

protected:
    void enterEvent(QEnterEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private slots:
    void _clickedSLOT();
    void _removeTriggeredSLOT();
    void _removeThisMPISLOT();
    void _removeAllMPIsSLOT();
    void _removeMPIsFromHereOnSLOT();

private:
    QPointer<MIDIPatchInitializer> _initializer;
    Qt::KeyboardModifiers _removeModifiers;
};
