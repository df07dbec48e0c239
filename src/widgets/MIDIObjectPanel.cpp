#include "widgets/MIDIObjectPanel.h"

#include "app/StatusManager.h"
#include "editors/ModifierKeys.h"
#include "model/routing/ColorLabeledMIDIObject.h"
#include "widgets/ColorChoiceMenu.h"
#include "widgets/ColorChoiceRegistry.h"
#include "widgets/ColorLabelApplier.h"
#include "widgets/LookAndFeel.h"
#include "widgets/MIDIObjNameLabel.h"
#include "widgets/VisibilityToggler.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <memory>

MIDIObjectPanel::MIDIObjectPanel(ColorLabeledMIDIObject* object, QWidget* parent)
    : QFrame(parent), _object(object)
{
    setFocusPolicy(Qt::StrongFocus);
    connect(object, &ColorLabeledMIDIObject::colorLabelChangedTo, this,
            &MIDIObjectPanel::_colorLabelChangedSLOT);
    connect(object, &ColorLabeledMIDIObject::colorLabelCleared, this,
            &MIDIObjectPanel::_colorLabelChangedSLOT);
    connect(object, &BaseMIDIObject::nameChangedTo, this, &MIDIObjectPanel::refreshAccessibleNames);
    connect(getColorChoiceRegistryInstance(), &ColorChoiceRegistry::colorChoiceAtIndexChangedColorTo, this,
            &MIDIObjectPanel::_registryColorChangedSLOT);
}

MIDIObjectPanel::~MIDIObjectPanel() = default;

ColorLabeledMIDIObject* MIDIObjectPanel::panelObject() const
{
    return _object;
}

MIDIObjectPanel::TitleRow MIDIObjectPanel::buildTitleRow(const QString& togglerWhatsThis,
                                                         const QString& nameToolTip,
                                                         const QString& nameWhatsThis)
{
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(1);
    setMidLineWidth(1);
    setBackgroundRole(QPalette::Window);
    setAutoFillBackground(true);

    TitleRow title;
    title.layout = new QVBoxLayout(this);
    title.layout->setContentsMargins(11, 5, 5, 5);
    title.layout->setSpacing(5);

    title.row = new QHBoxLayout;
    title.toggler = new VisibilityToggler(this);
    title.toggler->setWhatsThis(togglerWhatsThis);
    title.nameLabel = new MIDIObjNameLabel(_object, this);
    QFont titleFont = getTitleFont();
    titleFont.setBold(true);
    title.nameLabel->setFont(titleFont);
    title.nameLabel->setToolTip(nameToolTip);
    title.nameLabel->setWhatsThis(nameWhatsThis);
    _nameLabel = title.nameLabel;
    title.row->addWidget(title.toggler, 0, Qt::AlignVCenter);
    title.row->addWidget(title.nameLabel, 1, Qt::AlignVCenter);
    title.layout->addLayout(title.row);
    return title;
}

void MIDIObjectPanel::finishBuilding()
{
    for (QWidget* child : findChildren<QWidget*>()) {
        if (_isOwnControl(child))
            child->installEventFilter(this);
    }
    refreshAccessibleNames();
}

void MIDIObjectPanel::refreshAccessibleNames()
{
    if (!_object)
        return;
    const QString name = _object->getName();
    QString kind = objectKindName();
    if (!kind.isEmpty())
        kind[0] = kind[0].toUpper();
    setAccessibleName(kind + QLatin1Char(' ') + name);
    for (QWidget* child : findChildren<QWidget*>()) {
        if (!_isOwnControl(child))
            continue;
        // Only the first line of a tool tip names the control ("(not currently open)" is a detail).
        const QString tip = child->toolTip().section(QLatin1Char('\n'), 0, 0);
        if (!tip.isEmpty())
            child->setAccessibleName(tip + QLatin1Char(' ') + name);
    }
}

bool MIDIObjectPanel::_isOwnControl(const QWidget* child) const
{
    // The patch panels inside an output panel look after their own controls.
    for (const QWidget* up = child->parentWidget(); up; up = up->parentWidget()) {
        if (qobject_cast<const MIDIObjectPanel*>(up))
            return up == this;
    }
    return false;
}

void MIDIObjectPanel::addColorLabelMenu(QMenu* menu)
{
    auto* colorMenu = new ColorChoiceMenu(menu);
    colorMenu->setTitle(QStringLiteral("Set Color Label"));
    colorMenu->setIcon(QIcon(QStringLiteral(":/icons/labels_16x16.png")));
    menu->addMenu(colorMenu);
    // The modifiers are read when the label is chosen, not when the menu opened.
    QPointer<ColorLabeledMIDIObject> object = _object;
    connect(colorMenu, &ColorChoiceMenu::colorChoiceSelected, menu, [object](ColorChoice* choice) {
        const int index = getColorChoiceRegistryInstance()->getIndexOfColorChoice(choice);
        if (object && index >= 0)
            ColorLabelApplier::apply(object, index, significantModifiers(QApplication::keyboardModifiers()));
    });
    connect(colorMenu, &ColorChoiceMenu::noColorSelected, menu, [object] {
        if (object)
            ColorLabelApplier::apply(object, -1, significantModifiers(QApplication::keyboardModifiers()));
    });
}

QString MIDIObjectPanel::menuText(QString text)
{
    return text.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

void MIDIObjectPanel::addRemoveEntry(QMenu* menu, const QString& menuName)
{
    QPointer<MIDIObjectPanel> self(this);
    menu->addAction(QIcon(QStringLiteral(":/icons/remove_16x16.png")), QStringLiteral("Remove ") + menuName,
                    menu, [self] {
                        // The Alt bit alone decides, read as the entry is chosen.
                        if (self)
                            self->requestRemoval(QApplication::keyboardModifiers().testFlag(Qt::AltModifier));
                    });
}

int MIDIObjectPanel::removalCount(int index, int count, bool alsoFollowing, int minimumCount)
{
    if (index < 0 || count < minimumCount)
        return 0;
    if (!alsoFollowing || index == 0)
        return 1;
    return count - index;
}

void MIDIObjectPanel::openContextMenuAt(const QPoint& pos)
{
    if (!_object)
        return;
    QPointer<MIDIObjectPanel> self(this);
    // No parent: the panel may be deleted while the menu is open (a file opened by a drop, an
    // input switched from a port), and the menu must outlive it until exec returns.
    auto menu = std::make_unique<QMenu>();
    menu->setPalette(palette());
    fillContextMenu(menu.get());
    if (menu->isEmpty())
        return;
    menu->exec(mapToGlobal(pos));
    if (!self)
        return;
    update();
}

void MIDIObjectPanel::_openColorMenuAt(const QPoint& globalPos)
{
    auto menu = std::make_unique<QMenu>();
    addColorLabelMenu(menu.get());
    // The colour menu alone: the submenu is the one to show.
    QMenu* colorMenu = menu->actions().constFirst()->menu();
    colorMenu->exec(globalPos);
}

void MIDIObjectPanel::requestRemoval(bool alsoFollowing)
{
    // After the menu (or the key press) is done with: the removal deletes this panel.
    QTimer::singleShot(0, this, [this, alsoFollowing] { _removeNow(alsoFollowing); });
}

void MIDIObjectPanel::_removeNow(bool alsoFollowing)
{
    const int count = numObjectsRemovedBy(alsoFollowing);
    if (!_object)
        return;
    if (count <= 0) {
        // A Delete that cannot remove anything says why instead of doing nothing in silence.
        const QString why = removalRefusedText();
        if (!why.isEmpty())
            postStatusMessage(why, 5000);
        return;
    }
    if (count > 1) {
        // A slip of the Alt key on stage must not wipe half a setup unasked (Ctrl+Z still restores it).
        QPointer<MIDIObjectPanel> self(this);
        QPointer<ColorLabeledMIDIObject> object = _object;
        const QString kind = objectKindName();
        QMessageBox box(
            QMessageBox::Warning, QStringLiteral("Remove %1s").arg(kind),
            QStringLiteral(
                "Remove the %1 \"%2\" and the %3 %4s after it?\n\nEdit > Undo (Ctrl+Z) brings them back.")
                .arg(kind, object->getName())
                .arg(count - 1)
                .arg(kind),
            QMessageBox::Cancel, window());
        box.setTextFormat(Qt::PlainText);
        QPushButton* removeButton =
            box.addButton(QStringLiteral("Remove %1 %2s").arg(count).arg(kind), QMessageBox::DestructiveRole);
        box.setDefaultButton(QMessageBox::Cancel);
        box.exec();
        if (!self || !object)
            return;
        const bool confirmed = box.clickedButton() == removeButton;
        emit bulkRemovalAnswered(confirmed);
        if (!confirmed || numObjectsRemovedBy(alsoFollowing) <= 0)
            return;
    }
    removeObjects(alsoFollowing);
}

void MIDIObjectPanel::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    if (!_object)
        return;
    QPainter painter(this);
    ColorLabelApplier::paintStrip(&painter, this, frameWidth(), _object->getColorLabel());
    if (hasFocus()) {
        // Where the keyboard is, visible from a distance.
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(1, 1, -1, -1));
    }
}

void MIDIObjectPanel::contextMenuEvent(QContextMenuEvent* event)
{
    event->accept();
    if (ColorLabelApplier::isInColorStrip(event->pos().x(), frameWidth()))
        _openColorMenuAt(event->globalPos());
    else
        openContextMenuAt(event->pos());
}

void MIDIObjectPanel::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers modifiers = significantModifiers(event->modifiers());
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        activatePanel();
        break;
    case Qt::Key_F2:
        if (_nameLabel)
            _nameLabel->startEditing();
        break;
    case Qt::Key_Menu:
        openContextMenuAt(QPoint(width() / 2, height() / 2));
        break;
    case Qt::Key_F10:
        if (modifiers != Qt::ShiftModifier) {
            QFrame::keyPressEvent(event);
            return;
        }
        openContextMenuAt(QPoint(width() / 2, height() / 2));
        break;
    case Qt::Key_Delete:
        requestRemoval(modifiers == Qt::AltModifier);
        break;
    default:
        QFrame::keyPressEvent(event);
        return;
    }
    event->accept();
}

void MIDIObjectPanel::focusInEvent(QFocusEvent* event)
{
    QFrame::focusInEvent(event);
    update();
}

void MIDIObjectPanel::focusOutEvent(QFocusEvent* event)
{
    QFrame::focusOutEvent(event);
    update();
}

bool MIDIObjectPanel::eventFilter(QObject* watched, QEvent* event)
{
    // A press on a child control (a combo box, the port button) still makes this panel the
    // active one; the control then goes on to do its own work.
    if (event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton && watched != this &&
        activatesOnPressOf(watched))
        activatePanel();
    return QFrame::eventFilter(watched, event);
}

void MIDIObjectPanel::_colorLabelChangedSLOT()
{
    update();
}

void MIDIObjectPanel::_registryColorChangedSLOT(int index)
{
    if (_object && _object->getColorLabel() == index)
        update();
}
