#include "widgets/SetListTriggerEditor.h"

#include "midi/MIDIPortInfo.h"
#include "model/setlist/SetList.h"
#include "model/setlist/SetListTriggerLearn.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QComboBox* makeCombo(QWidget* parent, const QStringList& texts)
{
    auto* combo = new QComboBox(parent);
    combo->addItems(texts);
    combo->setFocusPolicy(Qt::StrongFocus);
    return combo;
}

QSpinBox* makeSpin(QWidget* parent, int minimum, int maximum)
{
    auto* spin = new QSpinBox(parent);
    spin->setRange(minimum, maximum);
    spin->setFocusPolicy(Qt::StrongFocus);
    return spin;
}

} // namespace

SetListTriggerEditor::SetListTriggerEditor(QWidget* parent) : QWidget(parent)
{
    _table = new QTableWidget(0, ColumnCount, this);
    _table->setHorizontalHeaderLabels(
        {QStringLiteral("Action"), QStringLiteral("Song"), QStringLiteral("Port"), QStringLiteral("Channel"),
         QStringLiteral("Message"), QStringLiteral("Number"), QStringLiteral("Min"), QStringLiteral("Max")});
    _table->verticalHeader()->hide();
    _table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    _table->horizontalHeader()->setSectionResizeMode(PortColumn, QHeaderView::Stretch);
    _table->setSelectionBehavior(QAbstractItemView::SelectRows);
    _table->setSelectionMode(QAbstractItemView::SingleSelection);
    _table->setMinimumHeight(90);
    _table->setToolTip(QStringLiteral("Messages that change the song"));
    _table->setWhatsThis(QStringLiteral(
        "<b>Trigger list.</b>  Each row is a message that changes the song: a note, a program change or a "
        "controller from one input port and channel. A trigger's messages never reach the song."));

    _addButton = new QPushButton(QStringLiteral("Add Trigger"), this);
    _addButton->setToolTip(QStringLiteral("Add a trigger"));
    _addButton->setWhatsThis(QStringLiteral("<b>Add Trigger button.</b>  Click to add a trigger to edit."));
    _removeButton = new QPushButton(QStringLiteral("Remove Trigger"), this);
    _removeButton->setToolTip(QStringLiteral("Remove the selected trigger"));
    _removeButton->setWhatsThis(
        QStringLiteral("<b>Remove Trigger button.</b>  Click to remove the selected trigger."));
    _learnButton = new QPushButton(QStringLiteral("Learn"), this);
    _learnButton->setCheckable(true);
    _learnButton->setToolTip(QStringLiteral("Learn a trigger"));
    _learnButton->setWhatsThis(QStringLiteral(
        "<b>Learn button.</b>  Click, then press the key or foot switch, or send the program change, that "
        "should go to the next song. Press Escape to cancel."));
    for (QPushButton* button : {_addButton, _removeButton, _learnButton})
        button->setFocusPolicy(Qt::NoFocus);
    _learnPrompt = new QLabel(this);
    _learnPrompt->setTextFormat(Qt::PlainText);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(new QLabel(QStringLiteral("Triggers:"), this));
    buttons->addWidget(_addButton);
    buttons->addWidget(_removeButton);
    buttons->addWidget(_learnButton);
    buttons->addWidget(_learnPrompt, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(buttons);
    layout->addWidget(_table);

    _learn = new SetListTriggerLearn(this);
    connect(_learn, &SetListTriggerLearn::learnt, this, &SetListTriggerEditor::_learntSLOT);
    connect(_learn, &SetListTriggerLearn::learnCancelled, this, &SetListTriggerEditor::_learnEndedSLOT);
    connect(_addButton, &QPushButton::clicked, this, &SetListTriggerEditor::_addClickedSLOT);
    connect(_removeButton, &QPushButton::clicked, this, &SetListTriggerEditor::_removeClickedSLOT);
    connect(_learnButton, &QPushButton::clicked, this, &SetListTriggerEditor::_learnClickedSLOT);
    setSetList(nullptr, nullptr);
}

SetListTriggerEditor::~SetListTriggerEditor()
{
    qApp->removeEventFilter(this);
}

bool SetListTriggerEditor::isLearning() const
{
    return _learn->isLearning();
}

void SetListTriggerEditor::setSetList(SetList* setList, SetListPlayer* player)
{
    // A learn belongs to the list it was started for.
    _learn->cancel();
    if (_setList)
        disconnect(_setList, nullptr, this, nullptr);
    _setList = setList;
    _player = player;
    if (_setList)
        connect(_setList, &SetList::triggersChanged, this, &SetListTriggerEditor::_rebuild);
    for (QWidget* widget : std::initializer_list<QWidget*>{_table, _addButton, _removeButton, _learnButton})
        widget->setEnabled(_setList != nullptr);
    _rebuild();
}

void SetListTriggerEditor::_rebuild()
{
    // An edit made here has set the row already; rebuilding would take its widget away under it.
    if (_applying)
        return;
    const QList<SetListTrigger> triggers = _setList ? _setList->getTriggers() : QList<SetListTrigger>();
    _table->setRowCount(int(triggers.size()));
    for (int row = 0; row < triggers.size(); ++row)
        _fillRow(row, triggers.at(row));
}

void SetListTriggerEditor::_fillRow(int row, const SetListTrigger& trigger)
{
    QComboBox* action = makeCombo(
        _table, {QStringLiteral("Next song"), QStringLiteral("Previous song"), QStringLiteral("Song")});
    action->setCurrentIndex(int(trigger.getAction()));
    QSpinBox* song = makeSpin(_table, 1, 999);
    song->setValue(trigger.getSongNumber());
    song->setEnabled(trigger.getAction() == SetListTrigger::Action::Song);
    QStringList ports = MIDIPortInfo::GetInstance()->getInputPortNames();
    if (!trigger.getMIDIPortName().isEmpty() && !ports.contains(trigger.getMIDIPortName()))
        ports.prepend(trigger.getMIDIPortName());
    QComboBox* port = makeCombo(_table, ports);
    port->setCurrentIndex(int(ports.indexOf(trigger.getMIDIPortName())));
    QStringList channels{QStringLiteral("Any")};
    for (int c = 1; c <= 16; ++c)
        channels << QString::number(c);
    QComboBox* channel = makeCombo(_table, channels);
    channel->setCurrentIndex(trigger.getMIDIChannelIndex() > 15 ? 0 : trigger.getMIDIChannelIndex() + 1);
    QComboBox* type = makeCombo(
        _table, {QStringLiteral("Note"), QStringLiteral("Program change"), QStringLiteral("Controller")});
    type->setCurrentIndex(int(trigger.getMessageType()));
    QSpinBox* number = makeSpin(_table, 0, 127);
    number->setValue(trigger.getNumber());
    const bool controller = trigger.getMessageType() == SetListTrigger::MessageType::Controller;
    QSpinBox* minimum = makeSpin(_table, 0, 127);
    minimum->setValue(trigger.getMinValue());
    minimum->setEnabled(controller);
    QSpinBox* maximum = makeSpin(_table, 0, 127);
    maximum->setValue(trigger.getMaxValue());
    maximum->setEnabled(controller);

    _table->setCellWidget(row, ActionColumn, action);
    _table->setCellWidget(row, SongColumn, song);
    _table->setCellWidget(row, PortColumn, port);
    _table->setCellWidget(row, ChannelColumn, channel);
    _table->setCellWidget(row, TypeColumn, type);
    _table->setCellWidget(row, NumberColumn, number);
    _table->setCellWidget(row, MinColumn, minimum);
    _table->setCellWidget(row, MaxColumn, maximum);
    for (QComboBox* combo : {action, port, channel, type})
        connect(combo, &QComboBox::currentIndexChanged, this, &SetListTriggerEditor::_rowEdited);
    for (QSpinBox* spin : {song, number, minimum, maximum})
        connect(spin, &QSpinBox::valueChanged, this, &SetListTriggerEditor::_rowEdited);
}

SetListTrigger SetListTriggerEditor::_triggerFromRow(int row) const
{
    auto combo = [this, row](int column) {
        return qobject_cast<QComboBox*>(_table->cellWidget(row, column));
    };
    auto spin = [this, row](int column) { return qobject_cast<QSpinBox*>(_table->cellWidget(row, column)); };
    SetListTrigger trigger;
    trigger.setAction(SetListTrigger::Action(combo(ActionColumn)->currentIndex()));
    trigger.setSongNumber(spin(SongColumn)->value());
    trigger.setMIDIPortName(combo(PortColumn)->currentText());
    const int channel = combo(ChannelColumn)->currentIndex();
    trigger.setMIDIChannelIndex(channel <= 0 ? SetListTrigger::kAnyChannel : BYTE(channel - 1));
    trigger.setMessageType(SetListTrigger::MessageType(combo(TypeColumn)->currentIndex()));
    trigger.setNumber(BYTE(spin(NumberColumn)->value()));
    trigger.setValueRange(BYTE(spin(MinColumn)->value()), BYTE(spin(MaxColumn)->value()));
    return trigger;
}

void SetListTriggerEditor::_rowEdited()
{
    if (!_setList)
        return;
    // The player takes its place in front of the ports again as its triggers change: a learn
    // going on would never hear its message.
    _learn->cancel();
    QList<SetListTrigger> triggers;
    for (int row = 0; row < _table->rowCount(); ++row) {
        const SetListTrigger trigger = _triggerFromRow(row);
        triggers.append(trigger);
        _table->cellWidget(row, SongColumn)->setEnabled(trigger.getAction() == SetListTrigger::Action::Song);
        const bool controller = trigger.getMessageType() == SetListTrigger::MessageType::Controller;
        _table->cellWidget(row, MinColumn)->setEnabled(controller);
        _table->cellWidget(row, MaxColumn)->setEnabled(controller);
    }
    _applying = true;
    _setList->setTriggers(triggers);
    _applying = false;
}

void SetListTriggerEditor::_addClickedSLOT()
{
    if (!_setList)
        return;
    _learn->cancel();
    SetListTrigger trigger;
    trigger.setMIDIPortName(MIDIPortInfo::GetInstance()->getInputPortNames().value(0));
    _setList->addTrigger(trigger);
    _table->selectRow(_table->rowCount() - 1);
}

void SetListTriggerEditor::_removeClickedSLOT()
{
    const int row = _table->currentRow();
    if (_setList && row >= 0) {
        _learn->cancel();
        _setList->removeTriggerAtIndex(row);
    }
}

void SetListTriggerEditor::_learnClickedSLOT()
{
    if (_learn->isLearning()) {
        _learn->cancel();
        return;
    }
    if (!_setList || !_learn->start(_player)) {
        _learnButton->setChecked(false);
        return;
    }
    _setListening(true);
}

void SetListTriggerEditor::_learntSLOT(const SetListTrigger& trigger)
{
    _setListening(false);
    if (!_setList)
        return;
    _setList->addTrigger(trigger);
    _table->selectRow(_table->rowCount() - 1);
    _learnPrompt->setText(QStringLiteral("Learnt: ") + trigger.description());
}

void SetListTriggerEditor::_learnEndedSLOT()
{
    _setListening(false);
    _learnPrompt->setText(QString());
}

void SetListTriggerEditor::_setListening(bool listening)
{
    _learnButton->setChecked(listening);
    _learnButton->setText(listening ? QStringLiteral("Cancel") : QStringLiteral("Learn"));
    _learnPrompt->setText(listening ? QStringLiteral("Press a key or foot switch, or send a program change… "
                                                     "(Escape cancels)")
                                    : QString());
    if (listening)
        qApp->installEventFilter(this);
    else
        qApp->removeEventFilter(this);
}

bool SetListTriggerEditor::eventFilter(QObject* watched, QEvent* event)
{
    // Escape in this window cancels the learn, whichever control has the focus.
    const QEvent::Type type = event->type();
    if ((type == QEvent::KeyPress || type == QEvent::ShortcutOverride) && _learn->isLearning() &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->window() == window()) {
            if (type == QEvent::KeyPress)
                _learn->cancel();
            event->accept();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
