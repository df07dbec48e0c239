#include "widgets/SetListPanel.h"

#include "model/setlist/SetList.h"
#include "model/setlist/SetListPlayer.h"
#include "widgets/SetListTriggerEditor.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QColor>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QStyle>
#include <QUrl>
#include <QVBoxLayout>

namespace {

// Read from a metre away on a stand: the next song's name is set well above the body text.
constexpr int kNextSongPointSize = 26;

} // namespace

SetListPanel::SetListPanel(QWidget* parent) : QWidget(parent)
{
    _buildUI();
    _makeConnections();
    refresh();
}

void SetListPanel::_buildUI()
{
    _titleLabel = new QLabel(this);
    _titleLabel->setTextFormat(Qt::PlainText);
    QFont titleFont = _titleLabel->font();
    titleFont.setBold(true);
    _titleLabel->setFont(titleFont);

    _songList = new QListWidget(this);
    _songList->setDragDropMode(QAbstractItemView::InternalMove);
    _songList->setDefaultDropAction(Qt::MoveAction);
    _songList->setSelectionMode(QAbstractItemView::SingleSelection);
    _songList->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    _songList->setToolTip(QStringLiteral("Songs of the set list"));
    _songList->setWhatsThis(QStringLiteral(
        "<b>Song list.</b>  The songs in the order they are played; the one playing is marked. Drag a song "
        "to move it, double-click it to play it, and drop setup files here to add them."));
    _songList->viewport()->installEventFilter(this);
    _songList->setMinimumHeight(120);

    _addButton = new QPushButton(QStringLiteral("Add..."), this);
    _addButton->setToolTip(QStringLiteral("Add songs"));
    _addButton->setWhatsThis(QStringLiteral("<b>Add button.</b>  Click to add setup files as songs."));
    _removeButton = new QPushButton(QStringLiteral("Remove"), this);
    _removeButton->setToolTip(QStringLiteral("Remove the selected song"));
    _removeButton->setWhatsThis(
        QStringLiteral("<b>Remove button.</b>  Click to take the selected song out of the set list."));
    _renameButton = new QPushButton(QStringLiteral("Rename"), this);
    _renameButton->setToolTip(QStringLiteral("Rename the selected song"));
    _renameButton->setWhatsThis(
        QStringLiteral("<b>Rename button.</b>  Click to edit the name of the selected song."));
    for (QPushButton* button : {_addButton, _removeButton, _renameButton})
        button->setFocusPolicy(Qt::NoFocus);

    auto* songButtons = new QHBoxLayout;
    songButtons->addWidget(_addButton);
    songButtons->addWidget(_removeButton);
    songButtons->addWidget(_renameButton);
    songButtons->addStretch(1);

    auto* songColumn = new QVBoxLayout;
    songColumn->addWidget(_titleLabel);
    songColumn->addWidget(_songList, 1);
    songColumn->addLayout(songButtons);

    _currentSongLabel = new QLabel(this);
    _currentSongLabel->setTextFormat(Qt::PlainText);
    _currentSongLabel->setWordWrap(true);
    auto* nextCaption = new QLabel(QStringLiteral("Next:"), this);
    _nextSongLabel = new QLabel(this);
    _nextSongLabel->setTextFormat(Qt::PlainText);
    _nextSongLabel->setWordWrap(true);
    QFont nextFont = _nextSongLabel->font();
    nextFont.setPointSize(kNextSongPointSize);
    nextFont.setBold(true);
    _nextSongLabel->setFont(nextFont);
    _nextSongLabel->setMinimumWidth(240);
    _nextSongLabel->setToolTip(QStringLiteral("The song Next Song plays"));

    _previousButton = new QPushButton(style()->standardIcon(QStyle::SP_MediaSkipBackward),
                                      QStringLiteral("Previous"), this);
    _previousButton->setToolTip(QStringLiteral("Previous song (Page Up)"));
    _previousButton->setWhatsThis(
        QStringLiteral("<b>Previous button.</b>  Click to play the previous song."));
    _nextButton =
        new QPushButton(style()->standardIcon(QStyle::SP_MediaSkipForward), QStringLiteral("Next"), this);
    _nextButton->setToolTip(QStringLiteral("Next song (Page Down)"));
    _nextButton->setWhatsThis(QStringLiteral("<b>Next button.</b>  Click to play the next song."));
    for (QPushButton* button : {_previousButton, _nextButton})
        button->setFocusPolicy(Qt::NoFocus);
    auto* stepButtons = new QHBoxLayout;
    stepButtons->addWidget(_previousButton);
    stepButtons->addWidget(_nextButton);

    auto* nowColumn = new QVBoxLayout;
    nowColumn->addWidget(_currentSongLabel);
    nowColumn->addSpacing(6);
    nowColumn->addWidget(nextCaption);
    nowColumn->addWidget(_nextSongLabel);
    nowColumn->addStretch(1);
    nowColumn->addLayout(stepButtons);

    auto* top = new QHBoxLayout;
    top->addLayout(songColumn, 3);
    top->addLayout(nowColumn, 2);

    _triggerEditor = new SetListTriggerEditor(this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(top, 1);
    layout->addWidget(_triggerEditor);
    setAcceptDrops(true);
    installEventFilter(this);
}

void SetListPanel::_makeConnections()
{
    connect(_addButton, &QPushButton::clicked, this, &SetListPanel::addSongsRequested);
    connect(_removeButton, &QPushButton::clicked, this, &SetListPanel::_removeClickedSLOT);
    connect(_renameButton, &QPushButton::clicked, this, &SetListPanel::_renameClickedSLOT);
    connect(_previousButton, &QPushButton::clicked, this, &SetListPanel::previousSongRequested);
    connect(_nextButton, &QPushButton::clicked, this, &SetListPanel::nextSongRequested);
    connect(_songList, &QListWidget::itemChanged, this, &SetListPanel::_itemChangedSLOT);
    connect(_songList, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { emit songActivated(_songList->row(item)); });
    connect(_songList, &QListWidget::currentRowChanged, this, [this] { _refreshPosition(); });
    connect(_songList->model(), &QAbstractItemModel::rowsMoved, this,
            [this](const QModelIndex&, int start, int, const QModelIndex&, int row) {
                _rowsMovedSLOT(start, row > start ? row - 1 : row);
            });
}

void SetListPanel::setSetList(SetList* setList, SetListPlayer* player)
{
    if (_setList)
        disconnect(_setList, nullptr, this, nullptr);
    if (_player)
        disconnect(_player, nullptr, this, nullptr);
    _setList = setList;
    _player = player;
    if (_setList) {
        // Connected after the player's own: when these run the player has caught up.
        connect(_setList, &SetList::songAdded, this, &SetListPanel::refresh);
        connect(_setList, &SetList::songRemoved, this, &SetListPanel::refresh);
        connect(_setList, &SetList::songMovedTo, this, &SetListPanel::refresh);
        connect(_setList, &SetList::songChanged, this, &SetListPanel::refresh);
        connect(_setList, &SetList::nameChangedTo, this, &SetListPanel::refresh);
        connect(_setList, &SetList::modifiedChangedTo, this, &SetListPanel::refresh);
        connect(_setList, &SetList::filePathChangedTo, this, &SetListPanel::refresh);
    }
    if (_player) {
        connect(_player, &SetListPlayer::currentSongChangedTo, this, &SetListPanel::refresh);
        // The player names the songs around the new one only after it has said so: once more
        // when it is done.
        connect(_player, &SetListPlayer::currentSongChangedTo, this, &SetListPanel::refresh,
                Qt::QueuedConnection);
        connect(_player, &SetListPlayer::stopped, this, &SetListPanel::refresh);
    }
    _triggerEditor->setSetList(setList, player);
    refresh();
}

void SetListPanel::refresh()
{
    _refreshItems();
    _refreshPosition();
}

void SetListPanel::_refreshItems()
{
    const bool wasUpdating = _updating;
    _updating = true;
    const int count = _setList ? _setList->getNumSongs() : 0;
    // Items are updated in place: a drag that moved one is still running when the list says so.
    while (_songList->count() > count)
        delete _songList->takeItem(_songList->count() - 1);
    while (_songList->count() < count) {
        auto* item = new QListWidgetItem(_songList);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemIsDragEnabled);
    }
    const int current = _player && _player->isPlaying() ? _player->getCurrentSongIndex() : -1;
    const QIcon playing = style()->standardIcon(QStyle::SP_MediaPlay);
    for (int i = 0; i < count; ++i) {
        const SetListSong& song = _setList->getSongAtIndex(i);
        QListWidgetItem* item = _songList->item(i);
        if (item->text() != song.getName())
            item->setText(song.getName());
        QFont font = _songList->font();
        font.setBold(i == current);
        item->setFont(font);
        item->setIcon(i == current ? playing : QIcon());
        // The song playing stands out on a dark stage as well as on a light desk.
        item->setBackground(i == current ? QBrush(QColor(46, 120, 70)) : QBrush());
        item->setForeground(song.isBroken() ? QBrush(Qt::red) : QBrush());
        item->setToolTip(song.isBroken() ? song.getLoadError()
                                         : QDir::toNativeSeparators(song.getResolvedPath()));
        item->setData(Qt::UserRole, i == current);
    }
    _updating = wasUpdating;
}

void SetListPanel::_refreshPosition()
{
    if (!_setList) {
        _titleLabel->setText(QStringLiteral("No set list open"));
        _currentSongLabel->setText(QString());
        _nextSongLabel->setText(QString());
        for (QWidget* widget : std::initializer_list<QWidget*>{_songList, _addButton, _removeButton,
                                                               _renameButton, _previousButton, _nextButton})
            widget->setEnabled(false);
        return;
    }
    _titleLabel->setText(_setList->getName() + (_setList->isModified() ? QStringLiteral(" *") : QString()));
    const bool playing = _player && _player->isPlaying();
    const int current = playing ? _player->getCurrentSongIndex() : -1;
    const int next = playing ? _player->getNextSongIndex() : (_setList->isEmpty() ? -1 : 0);
    _currentSongLabel->setText(current >= 0 ? QStringLiteral("Now: ") + _setList->songTitle(current)
                                            : QStringLiteral("Not playing"));
    if (next >= 0 && next < _setList->getNumSongs())
        _nextSongLabel->setText(_setList->getSongAtIndex(next).getName());
    else
        _nextSongLabel->setText(_setList->isEmpty() ? QStringLiteral("(no songs)")
                                                    : QStringLiteral("(end of the set list)"));
    const bool selected = selectedSongIndex() >= 0;
    _songList->setEnabled(true);
    _addButton->setEnabled(true);
    _removeButton->setEnabled(selected);
    _renameButton->setEnabled(selected);
    _previousButton->setEnabled(playing && _player->getPreviousSongIndex() >= 0);
    _nextButton->setEnabled(!_setList->isEmpty() && (!playing || next >= 0));
}

int SetListPanel::selectedSongIndex() const
{
    const int row = _songList->currentRow();
    return (_setList && row >= 0 && row < _setList->getNumSongs()) ? row : -1;
}

void SetListPanel::_rowsMovedSLOT(int from, int to)
{
    if (_updating || !_setList)
        return;
    _setList->moveSongToIndex(from, to);
    // A move the list refused puts the items back in its order.
    refresh();
}

void SetListPanel::_itemChangedSLOT(QListWidgetItem* item)
{
    if (_updating || !_setList)
        return;
    const int row = _songList->row(item);
    if (row < 0 || row >= _setList->getNumSongs())
        return;
    const QString name = item->text().trimmed();
    if (name.isEmpty()) {
        // A song keeps a name: an emptied one comes back.
        refresh();
        return;
    }
    _setList->renameSong(row, name);
}

void SetListPanel::_renameClickedSLOT()
{
    const int row = selectedSongIndex();
    if (row >= 0)
        _songList->editItem(_songList->item(row));
}

void SetListPanel::_removeClickedSLOT()
{
    const int row = selectedSongIndex();
    if (row >= 0)
        emit removeSongRequested(row);
}

void SetListPanel::addSongFiles(const QStringList& filePaths, int row)
{
    if (!_setList)
        return;
    int at = (row < 0 || row > _setList->getNumSongs()) ? _setList->getNumSongs() : row;
    // Songs are named relative to the list's folder (for a list not saved yet, the folder it is
    // resolved against now): saved elsewhere, each is named relative to the new folder, so a list
    // kept beside its songs moves with them.
    const QDir folder(_setList->getFolder());
    for (const QString& path : filePaths) {
        const QFileInfo info(path);
        const QString file = folder.relativeFilePath(info.absoluteFilePath());
        _setList->insertSong(at, SetListSong(info.completeBaseName(), file));
        ++at;
    }
}

QStringList SetListPanel::setupFilePathsIn(const QMimeData* mimeData)
{
    QStringList paths;
    if (!mimeData || !mimeData->hasUrls())
        return paths;
    for (const QUrl& url : mimeData->urls()) {
        const QFileInfo info(url.toLocalFile());
        if (url.isLocalFile() && info.isFile() && info.fileName().endsWith(QLatin1String(".ms")))
            paths << info.absoluteFilePath();
    }
    return paths;
}

bool SetListPanel::eventFilter(QObject* watched, QEvent* event)
{
    // Setup files dropped onto the song list become songs where they are dropped; the list's own
    // drags (moving a song) are left to it.
    const bool onList = watched == _songList->viewport();
    if ((onList || watched == this) && _setList) {
        const QEvent::Type type = event->type();
        if (type == QEvent::DragEnter || type == QEvent::DragMove) {
            auto* drag = static_cast<QDropEvent*>(event);
            if (drag->source() != _songList && !setupFilePathsIn(drag->mimeData()).isEmpty()) {
                drag->setDropAction(Qt::CopyAction);
                drag->accept();
                return true;
            }
        } else if (type == QEvent::Drop) {
            auto* drop = static_cast<QDropEvent*>(event);
            const QStringList paths = setupFilePathsIn(drop->mimeData());
            if (drop->source() != _songList && !paths.isEmpty()) {
                const QModelIndex at =
                    onList ? _songList->indexAt(drop->position().toPoint()) : QModelIndex();
                drop->setDropAction(Qt::CopyAction);
                drop->accept();
                addSongFiles(paths, at.isValid() ? at.row() : -1);
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}
