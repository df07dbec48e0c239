#include "widgets/MIDIObjNameLabel.h"

#include "model/edits/ModelEdits.h"

#include "app/StatusManager.h"
#include "model/BaseMIDIObject.h"
#include "model/EditRequestManager.h"

#include <QKeyEvent>
#include <QLineEdit>

MIDIObjNameLabel::MIDIObjNameLabel(BaseMIDIObject* object, QWidget* parent)
    : ShrinkableDropShadowLabel(parent), _object(object)
{
    setTextElideMode(Qt::ElideMiddle);
    if (object) {
        setText(object->getName());
        connect(object, &BaseMIDIObject::nameChangedTo, this, &ShrinkableLabel::setText);
    }
    connect(EditRequestManager::GetInstance(), &EditRequestManager::objectNameEditRequested, this,
            &MIDIObjNameLabel::_objectNameEditRequestedSLOT);
}

BaseMIDIObject* MIDIObjNameLabel::getMIDIObject() const
{
    return _object;
}

void MIDIObjNameLabel::mouseDoubleClickEvent(QMouseEvent* event)
{
    startEditing();
    event->accept();
}

void MIDIObjNameLabel::_objectNameEditRequestedSLOT(QObject* object)
{
    if (object && object == _object)
        startEditing();
}

void MIDIObjNameLabel::startEditing()
{
    if (!_object)
        return;
    if (_editor) {
        _editor->setFocus();
        return;
    }
    _finished = false;
    _editor = new QLineEdit(_object->getName(), this);
    _editor->setFont(font());
    _editor->setGeometry(rect());
    _editor->installEventFilter(this);
    connect(_editor, &QLineEdit::editingFinished, this, &MIDIObjNameLabel::_editingFinishedSLOT);
    _editor->selectAll();
    _editor->show();
    _editor->raise();
    _editor->setFocus();
}

bool MIDIObjNameLabel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == _editor && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        _endEditing(false);
        return true;
    }
    return ShrinkableDropShadowLabel::eventFilter(watched, event);
}

void MIDIObjNameLabel::_editingFinishedSLOT()
{
    _endEditing(true);
}

void MIDIObjNameLabel::_endEditing(bool takeName)
{
    // Return followed by the loss of focus finishes twice; only the first one counts.
    if (_finished || !_editor)
        return;
    _finished = true;
    QLineEdit* editor = _editor;
    _editor = nullptr;
    const QString newName = editor->text();
    editor->removeEventFilter(this);
    editor->disconnect(this);
    editor->hide();
    editor->setParent(nullptr);
    editor->deleteLater();
    if (!takeName || !_object)
        return;
    if (newName.trimmed().isEmpty()) {
        postStatusMessage(
            QStringLiteral("A name cannot be empty; the name \"%1\" was kept.").arg(_object->getName()),
            4000);
        return;
    }
    ModelEdits::set(_object.data(), &BaseMIDIObject::setName, newName, QStringLiteral("Name"));
}
