// The two editors that name a pair of controller numbers.

#include "editors/CCCopyEditorWidget.h"
#include "editors/CCNumberChangerEditorWidget.h"

#include <QComboBox>

CCNumberChangerEditorWidget::CCNumberChangerEditorWidget(MIDIDataTransform* transform, QWidget* parent)
    : ControllerPairEditorWidget(transform, QStringLiteral("Change"), parent)
{
    connect(getSecondCombo(), &QComboBox::activated, this,
            &CCNumberChangerEditorWidget::_outputCCNumActivatedSLOT);
}

CCCopyEditorWidget::CCCopyEditorWidget(MIDIDataTransform* transform, QWidget* parent)
    : ControllerPairEditorWidget(transform, QStringLiteral("Copy"), parent)
{
    connect(getSecondCombo(), &QComboBox::activated, this, &CCCopyEditorWidget::_copyToCCNumActivatedSLOT);
}
