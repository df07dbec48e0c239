#include "app/MIDIPortPrefsTreeWidget.h"

#include "app/PortAliasEditorDelegate.h"
#include "midi/MIDIPortInfo.h"
#include "widgets/PlainTextToolTip.h"

#include <QCheckBox>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMenu>

namespace {

constexpr int kPortNameColumn = 0;
constexpr int kUseColumn = 1;
constexpr int kDisplayNameColumn = 2;

} // namespace

MIDIPortPrefsTreeWidget::MIDIPortPrefsTreeWidget(QWidget* parent) : QTreeWidget(parent)
{
    setColumnCount(3);
    setHeaderLabels({QStringLiteral("Port Name"), QStringLiteral("Use"), QStringLiteral("Display Name")});
    setRootIsDecorated(false);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked);
    setWhatsThis(QStringLiteral("<b>MIDI ports.</b>  Untick a port to leave it out of the port menus. "
                                "Double-click a display name to give the port a name of your own."));
}

void MIDIPortPrefsTreeWidget::_initFromPortInfo()
{
    clear();
    for (const QString& name : _portNames()) {
        auto* item = new QTreeWidgetItem(this);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
        item->setText(kPortNameColumn, name);
        item->setToolTip(kPortNameColumn, plainTextToolTip(name));
        item->setText(kDisplayNameColumn, _doesPortHaveAnAlias(name) ? _portAlias(name) : name);
        item->setToolTip(kDisplayNameColumn,
                         QStringLiteral("Double-click to edit the name shown for this port."));
        auto* useBox = new QCheckBox(this);
        useBox->setChecked(_shouldPortBeUsed(name));
        useBox->setToolTip(QStringLiteral("Use this port."));
        setItemWidget(item, kUseColumn, useBox);
    }
    resizeColumnToContents(kPortNameColumn);
    resizeColumnToContents(kUseColumn);
}

QMap<QString, QString> MIDIPortPrefsTreeWidget::getPortAliases() const
{
    QMap<QString, QString> aliases;
    for (int row = 0; row < topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = topLevelItem(row);
        aliases.insert(item->text(kPortNameColumn), item->text(kDisplayNameColumn));
    }
    return aliases;
}

QStringList MIDIPortPrefsTreeWidget::getDisplayNames() const
{
    QStringList names;
    for (int row = 0; row < topLevelItemCount(); ++row)
        names << topLevelItem(row)->text(kDisplayNameColumn);
    return names;
}

QStringList MIDIPortPrefsTreeWidget::getPortsToNotUse() const
{
    QStringList names;
    for (int row = 0; row < topLevelItemCount(); ++row) {
        const QCheckBox* useBox = useCheckBoxAt(row);
        if (useBox && !useBox->isChecked())
            names << topLevelItem(row)->text(kPortNameColumn);
    }
    return names;
}

QCheckBox* MIDIPortPrefsTreeWidget::useCheckBoxAt(int row) const
{
    QTreeWidgetItem* item = topLevelItem(row);
    return item ? qobject_cast<QCheckBox*>(itemWidget(item, kUseColumn)) : nullptr;
}

void MIDIPortPrefsTreeWidget::contextMenuEvent(QContextMenuEvent* event)
{
    event->accept();
    if (selectedItems().isEmpty())
        return;
    // The action reaches this tree through a connection, which Qt drops should the tree be gone
    // when the menu's event loop returns.
    QMenu menu;
    QAction* reset = menu.addAction(QStringLiteral("Reset Display Names of Selected"));
    connect(reset, &QAction::triggered, this, &MIDIPortPrefsTreeWidget::_resetDisplayNamesOfSelected);
    menu.exec(event->globalPos());
}

void MIDIPortPrefsTreeWidget::_resetDisplayNamesOfSelected()
{
    const QList<QTreeWidgetItem*> selected = selectedItems();
    for (QTreeWidgetItem* item : selected)
        item->setText(kDisplayNameColumn, item->text(kPortNameColumn));
}

MIDIInputPortPrefsTreeWidget::MIDIInputPortPrefsTreeWidget(QWidget* parent) : MIDIPortPrefsTreeWidget(parent)
{
    setItemDelegate(new InputAliasEditorDelegate(this));
    _initFromPortInfo();
}

QStringList MIDIInputPortPrefsTreeWidget::_portNames() const
{
    return MIDIPortInfo::GetInstance()->getInputPortNames();
}

bool MIDIInputPortPrefsTreeWidget::_shouldPortBeUsed(const QString& portName) const
{
    return MIDIPortInfo::GetInstance()->shouldInputPortBeUsed(portName);
}

bool MIDIInputPortPrefsTreeWidget::_doesPortHaveAnAlias(const QString& portName) const
{
    return MIDIPortInfo::GetInstance()->doesInputPortHaveAnAlias(portName);
}

QString MIDIInputPortPrefsTreeWidget::_portAlias(const QString& portName) const
{
    return MIDIPortInfo::GetInstance()->getInputPortAlias(portName);
}

MIDIOutputPortPrefsTreeWidget::MIDIOutputPortPrefsTreeWidget(QWidget* parent)
    : MIDIPortPrefsTreeWidget(parent)
{
    setItemDelegate(new OutputAliasEditorDelegate(this));
    _initFromPortInfo();
}

QStringList MIDIOutputPortPrefsTreeWidget::_portNames() const
{
    return MIDIPortInfo::GetInstance()->getOutputPortNames();
}

bool MIDIOutputPortPrefsTreeWidget::_shouldPortBeUsed(const QString& portName) const
{
    return MIDIPortInfo::GetInstance()->shouldOutputPortBeUsed(portName);
}

bool MIDIOutputPortPrefsTreeWidget::_doesPortHaveAnAlias(const QString& portName) const
{
    return MIDIPortInfo::GetInstance()->doesOutputPortHaveAnAlias(portName);
}

QString MIDIOutputPortPrefsTreeWidget::_portAlias(const QString& portName) const
{
    return MIDIPortInfo::GetInstance()->getOutputPortAlias(portName);
}
