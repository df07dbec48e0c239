#include "app/SetupContentsView.h"

#include "app/SetupFileMimeData.h"
#include "app/cli/SetupReport.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "model/routing/MIDIRoutingSetupManager.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTimer>
#include <QVBoxLayout>

SetupContentsView::SetupContentsView(QWidget* parent) : QWidget(parent)
{
    _buildUI();
    _makeConnections();
    _currentSetupSwitchedToSLOT(getCurrentRoutingSetup());
}

QSize SetupContentsView::sizeHint() const
{
    return {760, 560};
}

void SetupContentsView::_buildUI()
{
    setAcceptDrops(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    _titleLabel = new QLabel(this);
    _titleLabel->setTextFormat(Qt::PlainText);
    QFont titleFont = _titleLabel->font();
    titleFont.setBold(true);
    titleFont.setPixelSize(14);
    _titleLabel->setFont(titleFont);
    layout->addWidget(_titleLabel);

    _text = new QPlainTextEdit(this);
    _text->setReadOnly(true);
    // Drops go to this view, which opens setup files, not to the text.
    _text->setAcceptDrops(false);
    _text->viewport()->setAcceptDrops(false);
    _text->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont textFont = _text->font();
    textFont.setPixelSize(13);
    _text->setFont(textFont);
    _text->setToolTip(QStringLiteral("What the current setup holds."));
    _text->setWhatsThis(QStringLiteral("<b>Setup contents.</b>  The inputs, outputs and patches of the "
                                       "current setup, with their ports, channels, activation values, "
                                       "transforms and initializers. Drop a setup file here to open it."));
    layout->addWidget(_text);
}

void SetupContentsView::_makeConnections()
{
    MIDIRoutingSetupManager* manager = MIDIRoutingSetupManager::GetInstance();
    connect(manager, &MIDIRoutingSetupManager::currentRoutingSetupSwitchedTo, this,
            &SetupContentsView::_currentSetupSwitchedToSLOT);
    connect(manager, &MIDIRoutingSetupManager::currentRoutingSetupCleared, this,
            [this] { _currentSetupSwitchedToSLOT(nullptr); });
    connect(manager, &MIDIRoutingSetupManager::currentRoutingSetupModifiedChangedTo, this,
            &SetupContentsView::_refreshSLOT);
    connect(manager, &MIDIRoutingSetupManager::currentRoutingSetupFilePathChangedTo, this,
            &SetupContentsView::_refreshSLOT);
}

void SetupContentsView::_currentSetupSwitchedToSLOT(MIDIRoutingSetup* setup)
{
    if (_setup)
        disconnect(_setup, nullptr, this, nullptr);
    _setup = setup;
    if (setup) {
        connect(setup, &MIDIRoutingSetup::midiRouteAdded, this, &SetupContentsView::_refreshSLOT);
        connect(setup, &MIDIRoutingSetup::midiRouteRemoved, this, &SetupContentsView::_refreshSLOT);
        connect(setup, &MIDIRoutingSetup::midiRouteMovedTo, this, &SetupContentsView::_refreshSLOT);
        connect(setup, &MIDIRoutingSetup::activeRouteChangedTo, this, &SetupContentsView::_refreshSLOT);
    }
    _setWidgetValuesFromData();
}

void SetupContentsView::_refreshSLOT()
{
    // Several changes in a row (a new input with its output and patch) are shown once.
    if (_refreshScheduled)
        return;
    _refreshScheduled = true;
    QTimer::singleShot(0, this, [this] {
        _refreshScheduled = false;
        _setWidgetValuesFromData();
    });
}

void SetupContentsView::_setWidgetValuesFromData()
{
    if (!_setup) {
        _titleLabel->setText(QStringLiteral("No setup open"));
        _text->setPlainText(QStringLiteral("Use File > New or File > Open... to start, or drop a setup "
                                           "file (.ms) here."));
        return;
    }
    const QString name =
        _setup->hasBeenSaved() ? QFileInfo(_setup->getFilePath()).fileName() : QStringLiteral("Untitled");
    const int inputs = _setup->getNumMIDIRoutes();
    QString title = QStringLiteral("%1: %2 %3").arg(name).arg(inputs).arg(inputs == 1 ? "input" : "inputs");
    if (MIDIRoute* active = _setup->getActiveRoute())
        title += QStringLiteral(", playing \"%1\"").arg(active->getName());
    _titleLabel->setText(title);
    const QString contents = SetupReport::describe(_setup);
    if (_text->toPlainText() != contents)
        _text->setPlainText(contents);
}

QString SetupContentsView::shownText() const
{
    return _titleLabel->text() + QLatin1Char('\n') + _text->toPlainText();
}

void SetupContentsView::setKeyboardVisible(bool visible)
{
    if (visible == _keyboardVisible)
        return;
    _keyboardVisible = visible;
    emit keyboardVisibilityChangedTo(visible);
}

void SetupContentsView::dragEnterEvent(QDragEnterEvent* event)
{
    if (doesMIMEDataContainSetupFile(event->mimeData())) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void SetupContentsView::dragMoveEvent(QDragMoveEvent* event)
{
    if (doesMIMEDataContainSetupFile(event->mimeData())) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void SetupContentsView::dropEvent(QDropEvent* event)
{
    const QString path = getSetupFilePathFromMimeData(event->mimeData());
    if (path.isEmpty()) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    emit setupFileOpenRequested(path);
}
