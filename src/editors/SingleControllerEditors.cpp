// The editors that name one controller number: each is the shared row with its own label.

#include "editors/ChannelAftertouchToCCEditorWidget.h"
#include "editors/IgnoreCCEditorWidget.h"
#include "editors/PitchChangeToCCEditorWidget.h"
#include "editors/VelocityFromCCEditorWidget.h"
#include "editors/VelocityToCCEditorWidget.h"

#include <QLabel>

VelocityToCCEditorWidget::VelocityToCCEditorWidget(MIDIDataTransform* transform, QWidget* parent)
    : SingleControllerEditorWidget(transform, QStringLiteral("Copy Note Velocity To"),
                                   RowStyle::CentredWithoutMargins, parent)
{
}

VelocityFromCCEditorWidget::VelocityFromCCEditorWidget(MIDIDataTransform* transform, QWidget* parent)
    : VelocityToCCEditorWidget(transform, parent)
{
    getLabel()->setText(QStringLiteral("Set Note Velocity From"));
}

IgnoreCCEditorWidget::IgnoreCCEditorWidget(MIDIDataTransform* transform, QWidget* parent)
    : SingleControllerEditorWidget(transform, QStringLiteral("Ignore"), RowStyle::CentredWithoutMargins,
                                   parent)
{
}

PitchChangeToCCEditorWidget::PitchChangeToCCEditorWidget(MIDIDataTransform* transform, QWidget* parent)
    : SingleControllerEditorWidget(transform, QStringLiteral("Copy Pitch Change To"),
                                   RowStyle::DefaultMargins, parent)
{
}

ChannelAftertouchToCCEditorWidget::ChannelAftertouchToCCEditorWidget(MIDIDataTransform* transform,
                                                                     QWidget* parent)
    : SingleControllerEditorWidget(transform, QStringLiteral("Copy Channel Aftertouch Pressure To"),
                                   RowStyle::CentredWithoutMargins, parent)
{
}
