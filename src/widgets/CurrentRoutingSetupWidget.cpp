#include "widgets/CurrentRoutingSetupWidget.h"
#include "model/edits/ModelEdits.h"

#include "app/LocalWaitCursor.h"
#include "app/SetupFileMimeData.h"
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "model/routing/MIDIRoutingSetupManager.h"
#include "widgets/ArrowKeyPressSignalingScrollArea.h"
#include "widgets/ArrowPixmapProvider.h"
#include "widgets/ClickableLabel.h"
#include "widgets/CurrentRouteKeyboardWidget.h"
#include "widgets/DropShadowLabel.h"
#include "widgets/LookAndFeel.h"
#include "widgets/MIDIOutputStackWidget.h"
#include "widgets/MIDIOutputWidget.h"
#include "widgets/MIDIRouteInputStackWidget.h"
#include "widgets/MIDIRouteInputWidget.h"
#include "widgets/NewPanelScroller.h"
#include "widgets/SetupArrowKeyNavigator.h"
#include "widgets/ShrinkableDropShadowLabel.h"

#include <QDragEnterEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kNoSetupText = QStringLiteral("No current setup.");
const QString kGetStartedText = QStringLiteral("Create a new setup or open an existing one to get started.");
constexpr int kVisibleMargin = NewPanelScroller::kVisibleMargin;

QPushButton* makeAddButton(QWidget* parent, const QString& toolTip, const QString& whatsThis)
{
    auto* button = new QPushButton(parent);
    button->setIcon(QIcon(QStringLiteral(":/icons/generic_add_16x16.png")));
    button->setAutoDefault(false);
    button->setDefault(false);
    button->setFocusPolicy(Qt::NoFocus);
    button->setToolTip(toolTip);
    button->setWhatsThis(whatsThis);
    button->setAccessibleName(toolTip);
    return button;
}

QLabel* makePlaceholder(const QString& text)
{
    auto* label = new QLabel(text);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    label->setBackgroundRole(QPalette::Dark);
    label->setAutoFillBackground(true);
    return label;
}

QFont headingFont()
{
    QFont font = getTitleFont();
    font.setPixelSize(font.pixelSize() > 0 ? font.pixelSize() + 1 : 15);
    font.setBold(true);
    return font;
}

// Puts a placeholder back into a scroll area, taking out (not deleting) what it held.
void showPlaceholderIn(QScrollArea* area, QLabel* placeholder)
{
    if (area->widget() == placeholder)
        return;
    QWidget* old = area->takeWidget();
    if (old && old != placeholder) {
        // Old stacks are hidden, unparented and deleted later, never reused.
        old->hide();
        old->setParent(nullptr);
        old->deleteLater();
    }
    area->setWidget(placeholder);
    placeholder->show();
}

} // namespace

CurrentRoutingSetupWidget::CurrentRoutingSetupWidget(QWidget* parent) : QWidget(parent)
{
    setAcceptDrops(true);
    _scroller = new NewPanelScroller(this);
    _buildUI();
    _makeConnections();
    _buildFromCurrentSetup();
}

CurrentRoutingSetupWidget::~CurrentRoutingSetupWidget() = default;

MIDIRouteInputStackWidget* CurrentRoutingSetupWidget::getInputStack() const
{
    return _inputStack;
}

MIDIOutputStackWidget* CurrentRoutingSetupWidget::getOutputStack() const
{
    return _outputStack;
}

void CurrentRoutingSetupWidget::_buildUI()
{
    auto* mainLayout = new QVBoxLayout(this);
    mainLayout->setSpacing(0);
    auto* columns = new QHBoxLayout;
    columns->setSpacing(5);
    mainLayout->addLayout(columns, 1);

    auto* inputColumn = new QVBoxLayout;
    auto* inputHeader = new QHBoxLayout;
    _addInputButton =
        makeAddButton(this, QStringLiteral("Add MIDI Input"),
                      QStringLiteral("<b>Add MIDI input button.</b>  Click to create a new MIDI input."));
    _inputHeading = new DropShadowLabel(QStringLiteral("Inputs"), this);
    _inputHeading->setFont(headingFont());
    inputHeader->addWidget(_addInputButton, 0, Qt::AlignVCenter);
    inputHeader->addWidget(_inputHeading, 0, Qt::AlignVCenter);
    inputHeader->addStretch();
    inputColumn->addLayout(inputHeader);
    _inputScrollArea = new ArrowKeyPressSignalingScrollArea(this);
    _inputScrollArea->setWidgetResizable(true);
    _inputScrollArea->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    _inputScrollArea->setFixedWidth(325);
    _inputScrollArea->setAccessibleName(QStringLiteral("Inputs"));
    _inputPlaceholder = makePlaceholder(kNoSetupText);
    _inputScrollArea->setWidget(_inputPlaceholder);
    inputColumn->addWidget(_inputScrollArea, 1);
    columns->addLayout(inputColumn, 1);

    auto* outputColumn = new QVBoxLayout;
    auto* outputHeader = new QHBoxLayout;
    _addOutputButton =
        makeAddButton(this, QStringLiteral("Add MIDI Output"),
                      QStringLiteral("<b>Add MIDI output button.</b>  Click to create a new MIDI output."));
    _outputHeading = new ShrinkableDropShadowLabel(QStringLiteral("Outputs"), this);
    _outputHeading->setTextElideMode(Qt::ElideMiddle);
    _outputHeading->setFont(headingFont());
    outputHeader->addWidget(_addOutputButton, 0, Qt::AlignVCenter);
    outputHeader->addWidget(_outputHeading, 1, Qt::AlignVCenter);
    outputColumn->addLayout(outputHeader);
    _outputScrollArea = new ArrowKeyPressSignalingScrollArea(this);
    _outputScrollArea->setWidgetResizable(true);
    _outputScrollArea->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    _outputScrollArea->setFixedWidth(516);
    _outputScrollArea->setAccessibleName(QStringLiteral("Outputs"));
    _outputPlaceholder = makePlaceholder(kGetStartedText);
    _outputScrollArea->setWidget(_outputPlaceholder);
    outputColumn->addWidget(_outputScrollArea, 1);
    columns->addLayout(outputColumn, 1);

    _keyboardToggle = new ClickableLabel(this);
    _keyboardToggle->setAlignment(Qt::AlignCenter);
    _keyboardToggle->setPixmap(ArrowPixmapProvider::GetInstance()->getLittleDownArrowPixmap());
    _keyboardToggle->setToolTip(QStringLiteral("Hide Keyboard"));
    _keyboardToggle->setAccessibleName(QStringLiteral("Hide Keyboard"));
    mainLayout->addWidget(_keyboardToggle);
    _keyboard = new CurrentRouteKeyboardWidget(this);
    mainLayout->addWidget(_keyboard);

    setFixedWidth(sizeHint().width());
}

void CurrentRoutingSetupWidget::_makeConnections()
{
    MIDIRoutingSetupManager* manager = MIDIRoutingSetupManager::GetInstance();
    connect(manager, &MIDIRoutingSetupManager::currentRoutingSetupSwitchedTo, this,
            &CurrentRoutingSetupWidget::_currentSetupSwitchedToSLOT);
    connect(manager, &MIDIRoutingSetupManager::currentRoutingSetupCleared, this,
            &CurrentRoutingSetupWidget::_currentSetupClearedSLOT);
    connect(_addInputButton, &QPushButton::clicked, this, &CurrentRoutingSetupWidget::_addInputClickedSLOT);
    connect(_addOutputButton, &QPushButton::clicked, this, &CurrentRoutingSetupWidget::_addOutputClickedSLOT);
    connect(_keyboardToggle, &ClickableLabel::clicked, this,
            &CurrentRoutingSetupWidget::toggleKeyboardVisibility);
    _navigator = new SetupArrowKeyNavigator(_inputScrollArea, _outputScrollArea, this);
}

QString CurrentRoutingSetupWidget::getOutputHeadingText() const
{
    return _outputHeading->getFullText();
}

QString CurrentRoutingSetupWidget::getOutputPlaceholderText() const
{
    return _outputPlaceholder->text();
}

void CurrentRoutingSetupWidget::_clearOutputSide()
{
    _addOutputButton->setEnabled(false);
    _outputHeading->setEnabled(false);
    _outputHeading->setText(QStringLiteral("Outputs"));
    _outputPlaceholder->setText(kGetStartedText);
    showPlaceholderIn(_outputScrollArea, _outputPlaceholder);
    _outputStack = nullptr;
}

void CurrentRoutingSetupWidget::_clearColumns()
{
    _addInputButton->setEnabled(false);
    _inputHeading->setEnabled(false);
    showPlaceholderIn(_inputScrollArea, _inputPlaceholder);
    _inputStack = nullptr;
    _clearOutputSide();
}

void CurrentRoutingSetupWidget::_currentSetupSwitchedToSLOT()
{
    _buildFromCurrentSetup();
}

void CurrentRoutingSetupWidget::_buildFromCurrentSetup()
{
    if (_setup)
        disconnect(_setup, nullptr, this, nullptr);
    _disconnectActiveRoute();
    _activeRoute = nullptr;
    _navigator->setRoute(nullptr);
    _clearColumns();
    _setup = MIDIRoutingSetupManager::GetInstance()->getCurrentRoutingSetup();
    _navigator->setSetup(_setup);
    if (!_setup)
        return;

    if (!_inputStack || _inputStack->getMIDIRoutingSetup() != _setup) {
        _inputStack = new MIDIRouteInputStackWidget(_setup, nullptr);
        _inputScrollArea->takeWidget(); // the placeholder stays ours
        _inputPlaceholder->setParent(this);
        _inputPlaceholder->hide();
        _inputScrollArea->setWidget(_inputStack);
        connect(_inputStack, &ReorderWidget::widgetAdded, this,
                &CurrentRoutingSetupWidget::_inputWidgetAddedSLOT);
        connect(_inputStack, &ReorderWidget::draggingToPoint, this,
                &CurrentRoutingSetupWidget::_inputDraggingToPointSLOT);
    }
    _addInputButton->setEnabled(true);
    _inputHeading->setEnabled(true);

    if (_setup->getNumMIDIRoutes() == 0) {
        _outputPlaceholder->setText(QString());
    } else {
        MIDIRoute* shown =
            _setup->getActiveRoute() ? _setup->getActiveRoute() : _setup->getMIDIRouteAtIndex(0);
        _activeRouteChangedToSLOT(shown);
    }
    connect(_setup, &MIDIRoutingSetup::activeRouteChangedTo, this,
            &CurrentRoutingSetupWidget::_activeRouteChangedToSLOT);
}

void CurrentRoutingSetupWidget::_currentSetupClearedSLOT()
{
    _activeRouteChangedToSLOT(nullptr);
    if (_setup)
        disconnect(_setup, nullptr, this, nullptr);
    _disconnectActiveRoute();
    _clearColumns();
    _setup = nullptr;
    _navigator->setSetup(nullptr);
}

void CurrentRoutingSetupWidget::_disconnectActiveRoute()
{
    if (_activeRoute)
        disconnect(_activeRoute, nullptr, this, nullptr);
}

void CurrentRoutingSetupWidget::_activeRouteChangedToSLOT(MIDIRoute* route)
{
    if (route == _activeRoute && (!route || _outputStack))
        return;
    _disconnectActiveRoute();
    _activeRoute = route;
    _navigator->setRoute(route);
    if (!route && !_outputStack) {
        _outputPlaceholder->setText(QString());
        return;
    }
    if (route) {
        _showOutputsOf(route);
        if (_inputStack) {
            if (QWidget* widget = _inputStack->getWidgetForRoute(route))
                _inputScrollArea->ensureWidgetVisible(widget, kVisibleMargin, kVisibleMargin);
        }
        connect(route, &BaseMIDIObject::nameChangedTo, this,
                &CurrentRoutingSetupWidget::_activeRouteNameChangedToSLOT);
        connect(route, &MIDIRoute::activeMIDIOutputChangedTo, this,
                &CurrentRoutingSetupWidget::_activeOutputChangedToSLOT);
    } else {
        _clearOutputSide();
        _outputPlaceholder->setText(QString());
    }
}

void CurrentRoutingSetupWidget::_showOutputsOf(MIDIRoute* route)
{
    if (_outputStack && _outputStack->getMIDIRoute() == route)
        return;
    LocalWaitCursor waitCursor;
    _clearOutputSide();
    _outputStack = new MIDIOutputStackWidget(route, nullptr);
    _outputScrollArea->takeWidget();
    _outputPlaceholder->setParent(this);
    _outputPlaceholder->hide();
    _outputScrollArea->setWidget(_outputStack);
    connect(_outputStack, &ReorderWidget::widgetAdded, this,
            &CurrentRoutingSetupWidget::_outputWidgetAddedSLOT);
    connect(_outputStack, &MIDIOutputStackWidget::patchWidgetAdded, this,
            &CurrentRoutingSetupWidget::_patchWidgetAddedSLOT);
    connect(_outputStack, &ReorderWidget::draggingToPoint, this,
            &CurrentRoutingSetupWidget::_outputDraggingToPointSLOT);
    _outputHeading->setEnabled(true);
    _outputHeading->setText(QStringLiteral("Outputs: ") + route->getName());
    _addOutputButton->setEnabled(true);
    _activeOutputChangedToSLOT(route->getActiveMIDIOutput());
}

void CurrentRoutingSetupWidget::_activeRouteNameChangedToSLOT(const QString& name)
{
    _outputHeading->setText(QStringLiteral("Outputs: ") + name);
}

void CurrentRoutingSetupWidget::_activeOutputChangedToSLOT(MIDIOutput* output)
{
    if (!_outputStack || !output)
        return;
    if (QWidget* widget = _outputStack->getWidgetForOutput(output))
        _outputScrollArea->ensureWidgetVisible(widget, kVisibleMargin, kVisibleMargin);
}

void CurrentRoutingSetupWidget::_addInputClickedSLOT()
{
    if (!_setup)
        return;
    MIDIRoutingSetup* setup = _setup;
    MIDIRoute* route = ModelEdits::insert<MIDIRoute>(QStringLiteral("Add"), setup,
                                                     [setup] { return setup->createNewMIDIRoute(true); });
    if (route && _setup)
        _setup->setActiveRoute(route);
}

void CurrentRoutingSetupWidget::_addOutputClickedSLOT()
{
    if (!_setup || !_activeRoute)
        return;
    MIDIRoute* route = _activeRoute;
    ModelEdits::insert<MIDIOutput>(QStringLiteral("Add"), route,
                                   [route] { return route->createNewMIDIOutput(true); });
}

void CurrentRoutingSetupWidget::_inputWidgetAddedSLOT(QWidget* widget)
{
    _scroller->scrollIntoViewLater(widget, _inputScrollArea);
}

void CurrentRoutingSetupWidget::_outputWidgetAddedSLOT(QWidget* widget)
{
    _scroller->scrollIntoViewLater(widget, _outputScrollArea);
}

void CurrentRoutingSetupWidget::_patchWidgetAddedSLOT(QWidget* widget)
{
    _scroller->scrollIntoViewLater(widget, _outputScrollArea);
}

void CurrentRoutingSetupWidget::_inputDraggingToPointSLOT(QPoint position)
{
    _inputScrollArea->ensureVisible(position.x(), position.y(), 5, 5);
}

void CurrentRoutingSetupWidget::_outputDraggingToPointSLOT(QPoint position)
{
    _outputScrollArea->ensureVisible(position.x(), position.y(), 5, 5);
}

void CurrentRoutingSetupWidget::toggleKeyboardVisibility()
{
    setKeyboardVisible(!_keyboardVisible);
}

void CurrentRoutingSetupWidget::setKeyboardVisible(bool vis)
{
    if (vis == _keyboardVisible)
        return;
    _keyboard->setVisible(vis);
    ArrowPixmapProvider* arrows = ArrowPixmapProvider::GetInstance();
    _keyboardToggle->setPixmap(vis ? arrows->getLittleDownArrowPixmap() : arrows->getLittleUpArrowPixmap());
    const QString tip = vis ? QStringLiteral("Hide Keyboard") : QStringLiteral("Show Keyboard");
    _keyboardToggle->setToolTip(tip);
    _keyboardToggle->setAccessibleName(tip);
    update();
    _keyboardVisible = vis;
    emit keyboardVisibilityChangedTo(vis);
}

void CurrentRoutingSetupWidget::setKeyboardXScrollAmount(int scrollX)
{
    _keyboard->setHorizontalScrollAmount(scrollX);
}

int CurrentRoutingSetupWidget::getKeyboardXScrollAmount() const
{
    return _keyboard->getHorizontalScrollAmount();
}

void CurrentRoutingSetupWidget::dragEnterEvent(QDragEnterEvent* event)
{
    if (doesMIMEDataContainSetupFile(event->mimeData())) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void CurrentRoutingSetupWidget::dragMoveEvent(QDragMoveEvent* event)
{
    if (doesMIMEDataContainSetupFile(event->mimeData())) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void CurrentRoutingSetupWidget::dropEvent(QDropEvent* event)
{
    if (!doesMIMEDataContainSetupFile(event->mimeData())) {
        event->ignore();
        return;
    }
    emit setupFileOpenRequested(getSetupFilePathFromMimeData(event->mimeData()));
    event->acceptProposedAction();
}
