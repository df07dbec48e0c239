#pragma once

#include "model/setlist/SetListTrigger.h"

#include <QPointer>
#include <QWidget>

class QLabel;
class QPushButton;
class QTableWidget;
#include "model/setlist/SetList.h"
#include "model/setlist/SetListPlayer.h"
class SetListTriggerLearn;

/// The set list's triggers as a small table (action, song, port, channel, message type, number,
/// and the range of a controller), with buttons to add and remove one and a Learn button that
/// makes a trigger from the next note on, program change or controller that arrives on any input
/// port. While it listens, Escape in the window or a second click cancels, and so do ten seconds
/// without a message. Edits go to the set list through setTriggers(). GUI thread only.
class SetListTriggerEditor : public QWidget
{
    Q_OBJECT

public:
    enum Column
    {
        ActionColumn,
        SongColumn,
        PortColumn,
        ChannelColumn,
        TypeColumn,
        NumberColumn,
        MinColumn,
        MaxColumn,
        ColumnCount
    };

    explicit SetListTriggerEditor(QWidget* parent = nullptr);
    ~SetListTriggerEditor() override;

    void setSetList(SetList* setList, SetListPlayer* player);

    QTableWidget* table() const { return _table; }
    QPushButton* learnButton() const { return _learnButton; }
    SetListTriggerLearn* learn() const { return _learn; }
    bool isLearning() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void _rebuild();
    void _fillRow(int row, const SetListTrigger& trigger);
    SetListTrigger _triggerFromRow(int row) const;
    void _rowEdited();
    void _addClickedSLOT();
    void _removeClickedSLOT();
    void _learnClickedSLOT();
    void _learntSLOT(const SetListTrigger& trigger);
    void _learnEndedSLOT();
    void _setListening(bool listening);

    QPointer<SetList> _setList;
    QPointer<SetListPlayer> _player;
    bool _applying = false;
    QTableWidget* _table = nullptr;
    QPushButton* _addButton = nullptr;
    QPushButton* _removeButton = nullptr;
    QPushButton* _learnButton = nullptr;
    QLabel* _learnPrompt = nullptr;
    SetListTriggerLearn* _learn = nullptr;
};
