#pragma once

#include "editors/InitializerValueEditorWidget.h"

class QComboBox;
class QLabel;

/// The editor of a "CC" initializer: the controller (byte1) and its value (byte2). GUI thread
/// only.
class CCInitializerEditorWidget : public InitializerValueEditorWidget
{
    Q_OBJECT

public:
    CCInitializerEditorWidget(MIDIPatchInitializer* initializer, QWidget* parent);

    QComboBox* getControllerCombo() const { return _ccCombo; }

private slots:
    void _ccActivatedSLOT(int ccNum);
    void _valueEditingFinishedSLOT() { _valueFieldEditingFinished(); }

private:
    QLabel* _sendLabel = nullptr;
    QComboBox* _ccCombo = nullptr;
    QLabel* _valueLabel = nullptr;
};
