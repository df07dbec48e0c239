#include "widgets/MIDIPortChannelSelector.h"

#include "midi/MIDIPortInfo.h"
#include "widgets/MIDIPortChannelUsageMole.h"
#include "widgets/PlainTextToolTip.h"

#include <QApplication>
#include <QIcon>
#include <QMenu>
#include <QPointer>

namespace {

// Fonts in this application are sized in pixels or points; grow whichever is set.
QFont enlarged(QFont font, int by)
{
    if (font.pixelSize() > 0)
        font.setPixelSize(font.pixelSize() + by);
    else
        font.setPointSizeF(font.pointSizeF() + by);
    font.setBold(true);
    font.setItalic(true);
    return font;
}

QString menuText(QString text)
{
    return text.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

constexpr BYTE kAnyChannel = 127;

} // namespace

MIDIPortChannelSelector::MIDIPortChannelSelector(MIDIPortType portType, QWidget* parent)
    : ShrinkableTextMenuButton(parent), _portType(portType)
{
    MIDIPortInfo* info = MIDIPortInfo::GetInstance();
    _portName =
        portType == MIDIPortType::Input ? info->getNameOfFirstInputPort() : info->getNameOfFirstOutputPort();
    connect(this, &MenuButton::menuRequested, this, &MIDIPortChannelSelector::_menuRequestedSLOT);
    if (portType == MIDIPortType::Input)
        connect(info, &MIDIPortInfo::inputPortAliasedTo, this, &MIDIPortChannelSelector::_portAliasedToSLOT);
    else
        connect(info, &MIDIPortInfo::outputPortAliasedTo, this, &MIDIPortChannelSelector::_portAliasedToSLOT);
    // Whether the port is present shows in the text's style: follow ports that come and go.
    connect(info, &MIDIPortInfo::portCatalogueChanged, this, &MIDIPortChannelSelector::_refresh);
    _refresh();
}

QString MIDIPortChannelSelector::getDisplayNameOfPort(const QString& portName) const
{
    const MIDIPortInfo* info = MIDIPortInfo::GetInstance();
    QString alias;
    if (_portType == MIDIPortType::Input) {
        alias = info->doesInputPortHaveAnAlias(portName)
                    ? info->getInputPortAlias(portName)
                    : info->getAliasOfUnavailableInputPortNamed(portName);
    } else {
        alias = info->doesOutputPortHaveAnAlias(portName)
                    ? info->getOutputPortAlias(portName)
                    : info->getAliasOfUnavailableOutputPortNamed(portName);
    }
    return alias.isEmpty() ? portName : alias;
}

void MIDIPortChannelSelector::setMIDIPortNameAndChannel(const QString& portName, BYTE channel,
                                                        Qt::KeyboardModifiers modifiers, bool emitChange)
{
    _portName = portName;
    _channel = channel;
    _refresh();
    if (emitChange)
        emit portAndChannelChangedTo(_portName, _channel, modifiers);
}

void MIDIPortChannelSelector::indicatePortOpen(bool open)
{
    _portOpen = open;
    _refresh();
}

QString MIDIPortChannelSelector::_channelText() const
{
    return QString::number(int(_channel) + 1);
}

void MIDIPortChannelSelector::_refresh()
{
    const bool input = _portType == MIDIPortType::Input;
    if (_portName.isEmpty()) {
        setDisplayText(QStringLiteral("(none)"));
        setFont(QApplication::font());
        setToolTip(input ? QStringLiteral("(no MIDI input)") : QStringLiteral("(no MIDI output)"));
        return;
    }
    const QString display = getDisplayNameOfPort(_portName);
    setDisplayText(_channel == kAnyChannel ? display : display + QStringLiteral(", Ch. ") + _channelText());

    // A port that went away since the setup was made cannot be open either.
    const bool present = input ? hasInputPortNamed(_portName) : hasOutputPortNamed(_portName);
    const bool open = _portOpen && present;
    QFont font = QApplication::font();
    font.setItalic(!open);
    setFont(font);

    QString tip = (input ? QStringLiteral("Input From ") : QStringLiteral("Output To ")) + display;
    tip += _channel == kAnyChannel ? QStringLiteral(", Any Channel")
                                   : QStringLiteral(", Channel ") + _channelText();
    if (!open)
        tip += QStringLiteral("\n(not currently open)");
    setToolTip(plainTextToolTip(tip));
}

void MIDIPortChannelSelector::_portAliasedToSLOT(const QString& portName, const QString& /*aliasedTo*/)
{
    if (portName == _portName)
        _refresh();
}

QMenu* MIDIPortChannelSelector::createPortMenu()
{
    const bool input = _portType == MIDIPortType::Input;
    const MIDIPortInfo* info = MIDIPortInfo::GetInstance();
    const QStringList ports = input ? info->getInputPortNames() : info->getOutputPortNames();
    const QIcon marker(input ? QStringLiteral(":/icons/midi_input_16x16.png")
                             : QStringLiteral(":/icons/midi_output_16x16.png"));
    const MIDIPortChannelUsageMole usage(_portType);
    const QFont usedPortFont = enlarged(font(), 1);
    const QFont usedChannelFont = enlarged(font(), 2);

    // No parent: the button may go while its menu is open.
    auto* menu = new QMenu(nullptr);
    menu->setMinimumWidth(width());
    QAction* none = menu->addAction(QStringLiteral("(none)"));
    none->setObjectName(QStringLiteral("none"));
    if (_portName.isEmpty())
        none->setIcon(marker);
    menu->addSeparator();

    for (const QString& port : ports) {
        if (!(input ? info->shouldInputPortBeUsed(port) : info->shouldOutputPortBeUsed(port)))
            continue;
        const bool current = port == _portName;
        QMenu* portMenu = menu->addMenu(menuText(getDisplayNameOfPort(port)));
        portMenu->setObjectName(port);
        if (current)
            portMenu->setIcon(marker);
        if (usage.isPortBeingUsed(port))
            portMenu->menuAction()->setFont(usedPortFont);
        QAction* any = portMenu->addAction(QStringLiteral("Any"));
        any->setData(int(kAnyChannel));
        if (current && _channel == kAnyChannel)
            any->setIcon(marker);
        if (usage.isPortChannelBeingUsed(port, kAnyChannel))
            any->setFont(usedChannelFont);
        portMenu->addSeparator();
        for (int channel = 0; channel < 16; ++channel) {
            QAction* entry = portMenu->addAction(QString::number(channel + 1));
            entry->setData(channel);
            if (current && _channel == channel)
                entry->setIcon(marker);
            if (usage.isPortChannelBeingUsed(port, BYTE(channel)))
                entry->setFont(usedChannelFont);
        }
    }
    return menu;
}

void MIDIPortChannelSelector::applyMenuChoice(QAction* chosen, Qt::KeyboardModifiers modifiers)
{
    if (!chosen)
        return;
    if (chosen->objectName() == QLatin1String("none")) {
        // No port, the channel kept for when a port is chosen again.
        setMIDIPortNameAndChannel(QString(), _channel, modifiers, true);
        return;
    }
    auto* portMenu = qobject_cast<QMenu*>(chosen->parent());
    if (!portMenu || !chosen->data().isValid())
        return;
    setMIDIPortNameAndChannel(portMenu->objectName(), BYTE(chosen->data().toInt()), modifiers, true);
}

void MIDIPortChannelSelector::_menuRequestedSLOT()
{
    QPointer<MIDIPortChannelSelector> self(this);
    QMenu* menu = createPortMenu();
    QAction* chosen = menu->exec(mapToGlobal(QPoint(0, 0)));
    const Qt::KeyboardModifiers modifiers = QApplication::keyboardModifiers();
    menu->deleteLater();
    // The setup (and this button with it) may have gone while the menu was open.
    if (self)
        applyMenuChoice(chosen, modifiers);
}
