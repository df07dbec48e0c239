#include "editors/NoteFilterEditorWidget.h"

#include "model/MIDIMessage.h"
#include "model/edits/ModelEdits.h"
#include "model/transforms/NoteFilter.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <memory>

NoteFilterEditorWidget::NoteFilterEditorWidget(MIDIDataTransform* transform, QWidget* parent)
    : AllNotesKeyboardWidget(parent), _transform(qobject_cast<NoteFilter*>(transform))
{
    indicateMousePresses(false);
    if (_transform == nullptr)
        return;
    for (int note = 0; note < 128; ++note) {
        if (KeyWidget* key = getKeyWidgetForNote(note))
            key->showAsDisabled(_transform->isNoteBeingFilteredOut(BYTE(note)));
    }
    connect(this, &AllNotesKeyboardWidget::notePressed, this, &NoteFilterEditorWidget::_notePressedSLOT);
    connect(_transform, &MIDIDataTransform::mapValueChangedTo, this,
            &NoteFilterEditorWidget::_mapValueChangedToSLOT);
    connect(_transform, &NoteFilter::noteOnReceived, this, &NoteFilterEditorWidget::_noteOnReceivedSLOT);
    connect(_transform, &NoteFilter::noteOffReceived, this, &NoteFilterEditorWidget::_noteOffReceivedSLOT);
}

void NoteFilterEditorWidget::mousePressEvent(QMouseEvent* event)
{
    _lastToggledNote = -1;
    AllNotesKeyboardWidget::mousePressEvent(event);
}

void NoteFilterEditorWidget::_notePressedSLOT(int noteNum, int /*velocity_notUsed*/)
{
    if (!_transform || noteNum < 0 || noteNum > 127)
        return;
    // A fast drag skips keys between two mouse positions: toggle those too, each once.
    if (_lastToggledNote >= 0 && qAbs(noteNum - _lastToggledNote) > 1) {
        const int step = noteNum > _lastToggledNote ? 1 : -1;
        for (int note = _lastToggledNote + step; note != noteNum; note += step)
            ModelEdits::set(static_cast<NoteFilter*>(_transform), &NoteFilter::toggleNoteAcceptance,
                            BYTE(note), QStringLiteral("Notes"), SettingsEditCommand::kValueMap);
    }
    ModelEdits::set(static_cast<NoteFilter*>(_transform), &NoteFilter::toggleNoteAcceptance, BYTE(noteNum),
                    QStringLiteral("Notes"), SettingsEditCommand::kValueMap);
    _lastToggledNote = noteNum;
}

void NoteFilterEditorWidget::_mapValueChangedToSLOT(BYTE noteNum, BYTE newValue)
{
    if (KeyWidget* key = getKeyWidgetForNote(noteNum))
        key->showAsDisabled(newValue == 0);
}

void NoteFilterEditorWidget::_noteOnReceivedSLOT(int noteNum, int velocity)
{
    showNotePressed(noteNum, velocity);
}

void NoteFilterEditorWidget::_noteOffReceivedSLOT(int noteNum)
{
    showNoteReleased(noteNum);
}

void NoteFilterEditorWidget::contextMenuEvent(QContextMenuEvent* event)
{
    if (!_transform)
        return;
    auto* key = qobject_cast<KeyWidget*>(childAt(event->pos()));
    QPointer<NoteFilter> filter = _transform;
    // No parent: the editor may be closed while the menu is open (its transform removed), and the
    // menu must outlive it until exec returns; its entries then do nothing.
    auto menuOwner = std::make_unique<QMenu>();
    QMenu& menu = *menuOwner;
    connect(menu.addAction(QStringLiteral("Enable All Notes")), &QAction::triggered, filter.data(), [filter] {
        ModelEdits::act(filter.data(), &NoteFilter::acceptAllNotes, QStringLiteral("Enable All Notes"));
    });
    connect(menu.addAction(QStringLiteral("Disable All Notes")), &QAction::triggered, filter.data(),
            [filter] {
                ModelEdits::act(filter.data(), &NoteFilter::filterOutAllNotes,
                                QStringLiteral("Disable All Notes"));
            });
    if (key != nullptr) {
        const BYTE note = BYTE(key->getNoteNum());
        const QString name = QString::fromLatin1(getMIDINoteName(note));
        menu.addSeparator();
        connect(menu.addAction(QStringLiteral("Disable Notes Below ") + name), &QAction::triggered,
                filter.data(), [filter, note] {
                    if (filter)
                        ModelEdits::set(filter.data(), &NoteFilter::filterOutNotesBelow, note,
                                        QStringLiteral("Notes Below"));
                });
        connect(menu.addAction(QStringLiteral("Disable Notes Above ") + name), &QAction::triggered,
                filter.data(), [filter, note] {
                    if (filter)
                        ModelEdits::set(filter.data(), &NoteFilter::filterOutNotesAbove, note,
                                        QStringLiteral("Notes Above"));
                });
    }
    menu.exec(event->globalPos());
    event->accept();
}
