#pragma once

#include "widgets/ShrinkableDropShadowLabel.h"

#include <QPointer>

class BaseMIDIObject;
class QLineEdit;

/// The name of an input, output or patch, shortened in the middle when space is short, and
/// renamed in place: on a double-click or when the model asks for it (a new object). Return or
/// leaving the field takes the new name; Escape keeps the old one; an empty or blank name is
/// refused. GUI thread only.
class MIDIObjNameLabel : public ShrinkableDropShadowLabel
{
    Q_OBJECT

public:
    MIDIObjNameLabel(BaseMIDIObject* object, QWidget* parent);

    BaseMIDIObject* getMIDIObject() const;
    bool isEditing() const { return _editor != nullptr; }
    /// The field of an edit in progress, or null.
    QLineEdit* getEditor() const { return _editor; }

public slots:
    void startEditing();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void _objectNameEditRequestedSLOT(QObject* object);
    void _editingFinishedSLOT();

private:
    void _endEditing(bool takeName);

    QPointer<BaseMIDIObject> _object;
    QLineEdit* _editor = nullptr;
    bool _finished = true;
};
