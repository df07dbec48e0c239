#pragma once

class QLabel;
class QWidget;

/// A new label reading "(nothing to edit)", centred both ways, with the given parent: the editor
/// of a transform type without parameters. GUI thread only.
QLabel* _createNothingToEditLabelIn(QWidget* parent);
