#pragma once

#include "widgets/ReorderWidget.h"

#include <QPointer>

class InitializerWidget;
class MIDIPatchInitializer;
class MIDIPatchTarget;

/// The row of initializer indicators of one patch, in list order. Dragging an indicator only asks
/// the patch to move the initializer; the row changes in answer to the patch's signals. GUI thread
/// only.
class InitializerStripWidget : public ReorderWidget
{
    Q_OBJECT

public:
    InitializerStripWidget(MIDIPatchTarget* patch, QWidget* parent);

    /// The indicator of the initializer, or null.
    InitializerWidget* getWidgetForInitializer(MIDIPatchInitializer* mpi) const;

private slots:
    void _reorderReqSLOT(QWidget* wid, int newIndex);
    void _mpiAddedSLOT(MIDIPatchInitializer* mpi);
    void _mpiRemovedSLOT(MIDIPatchInitializer* mpi);
    void _mpiMovedToSLOT(MIDIPatchInitializer* mpi, int newIndex);

private:
    void _fill();

    QPointer<MIDIPatchTarget> _patch;
};
