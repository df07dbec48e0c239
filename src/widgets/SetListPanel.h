#pragma once

#include <QPointer>
#include <QStringList>
#include <QWidget>

class QLabel;
class QListWidget;
class QListWidgetItem;
class QMimeData;
class QPushButton;
#include "model/setlist/SetList.h"
#include "model/setlist/SetListPlayer.h"
class SetListTriggerEditor;

/// The set list panel: the songs in order with the current one marked (broken ones in red, with
/// the reason as tool tip), the next song's name in large letters, and the buttons to add, remove
/// and rename songs and to go to the previous or next song. Songs are reordered by dragging them,
/// renamed in place, and added by dropping setup files (".ms") onto the list. Below are the set
/// list's triggers. Edits go to the set list through its API; the panel follows the list's and the
/// player's signals. Names are plain text. GUI thread only.
class SetListPanel : public QWidget
{
    Q_OBJECT

public:
    explicit SetListPanel(QWidget* parent = nullptr);

    /// Shows the list and its player (both may be null: nothing open).
    void setSetList(SetList* setList, SetListPlayer* player);
    SetList* getSetList() const { return _setList; }

    /// Shows the list and the player as they are now.
    void refresh();

    /// Adds songs for the setup files at `row` (-1: at the end), each named after its file.
    void addSongFiles(const QStringList& filePaths, int row = -1);
    /// The selected song, -1 when none.
    int selectedSongIndex() const;

    QListWidget* songList() const { return _songList; }
    QLabel* nextSongLabel() const { return _nextSongLabel; }
    SetListTriggerEditor* triggerEditor() const { return _triggerEditor; }

    /// The setup files (".ms") among the dropped data, absolute paths in order.
    static QStringList setupFilePathsIn(const QMimeData* mimeData);

signals:
    /// The user asked for songs to be added (the window runs the file dialog).
    void addSongsRequested();
    /// The user asked for the song to be removed (the window asks about unsaved edits first).
    void removeSongRequested(int songIndex);
    /// The user double-clicked the song: play it.
    void songActivated(int songIndex);
    void nextSongRequested();
    void previousSongRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void _buildUI();
    void _makeConnections();
    void _refreshItems();
    void _refreshPosition();
    void _rowsMovedSLOT(int from, int to);
    void _itemChangedSLOT(QListWidgetItem* item);
    void _renameClickedSLOT();
    void _removeClickedSLOT();

    QPointer<SetList> _setList;
    QPointer<SetListPlayer> _player;
    bool _updating = false;

    QLabel* _titleLabel = nullptr;
    QListWidget* _songList = nullptr;
    QPushButton* _addButton = nullptr;
    QPushButton* _removeButton = nullptr;
    QPushButton* _renameButton = nullptr;
    QLabel* _currentSongLabel = nullptr;
    QLabel* _nextSongLabel = nullptr;
    QPushButton* _previousButton = nullptr;
    QPushButton* _nextButton = nullptr;
    SetListTriggerEditor* _triggerEditor = nullptr;
};
